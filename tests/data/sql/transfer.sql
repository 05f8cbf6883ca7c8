-- The statements the transfer program sends, on a table and a view.
CREATE TABLE "EMP"(ID NUMBER(10), NAME NVARCHAR2(10), BORN DATE, CODE CHAR(2));
CREATE VIEW "EMP_V" AS SELECT ID, NAME FROM "EMP" WHERE ID > 1;
INSERT INTO "EMP" VALUES(1, N'Ann', TO_DATE('2001-01-01', 'YYYY-MM-DD'), 'A');
INSERT INTO "EMP" VALUES(2, N'Bö', NULL, NULL);
select * from "EMP";
select "ID",TRANSLATE("NAME" USING CHAR_CS) "NAME" ,"BORN","CODE" from "EMP" where rownum <= 30;
select OBJECT_TYPE from user_objects where OBJECT_NAME = 'EMP' and SUBOBJECT_NAME is NULL;
select OBJECT_TYPE from user_objects where OBJECT_NAME = 'EMP_V' and SUBOBJECT_NAME is NULL;
select count(*) from "EMP";
select TABLE_name from user_TABLEs;
select VIEW_name from user_VIEWs;
select * from "EMP_V";
truncate table EMP;
select count(*) from "EMP";
