-- The script goes on after each error; the exit status reports that one failed.
CREATE TABLE emp(id NUMBER(3) CONSTRAINT emp_pk PRIMARY KEY, name VARCHAR2(5) NOT NULL);
INSERT INTO emp VALUES(1, 'Ann');
INSERT INTO emp VALUES(1, 'Bob');
INSERT INTO emp VALUES(2, NULL);
INSERT INTO emp VALUES(3, 'Christopher');
INSERT INTO emp VALUES(1000, 'Dan');
INSERT INTO emp VALUES('x', 'Eve');
SELECT * FROM nosuch;
SELECT nosuch FROM emp;
SELEC 1 FROM dual;
CREATE TABLE emp(a NUMBER);
INSERT INTO emp VALUES(4, 'Fay');
SELECT * FROM emp ORDER BY id;
