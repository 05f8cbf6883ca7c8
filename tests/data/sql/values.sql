-- Values stored, compared and accepted as Oracle does.
-- SQL Language Reference, "Datetime and Interval Data Types" / "TIMESTAMP WITH TIME ZONE Data
-- Type": two values with time zones are equal when they represent the same instant in UTC.
SELECT CASE WHEN TIMESTAMP '2021-01-01 10:00:00 +02:00' = TIMESTAMP '2021-01-01 08:00:00 +00:00'
            THEN 'equal' ELSE 'different' END AS same_instant FROM dual;
SELECT CASE WHEN TIMESTAMP '2021-01-01 10:00:00 +02:00' < TIMESTAMP '2021-01-01 08:00:00 +00:00'
            THEN 'less' ELSE 'not less' END AS not_before FROM dual;
CREATE TABLE meet(id NUMBER, at TIMESTAMP WITH TIME ZONE);
INSERT INTO meet VALUES(1, TIMESTAMP '2021-01-01 10:00:00 +02:00');
INSERT INTO meet VALUES(2, TIMESTAMP '2021-01-01 08:00:00 +00:00');
INSERT INTO meet VALUES(3, TIMESTAMP '2021-01-01 03:00:00 -05:00');
INSERT INTO meet VALUES(4, TIMESTAMP '2021-01-01 09:00:00 +00:00');
SELECT id FROM meet WHERE at = TIMESTAMP '2021-01-01 09:00:00 +01:00' ORDER BY id;
SELECT id FROM meet WHERE at IN (SELECT at FROM meet WHERE id = 2) ORDER BY id;
SELECT COUNT(DISTINCT at) AS instants FROM meet;
SELECT COUNT(*) AS groups FROM (SELECT at FROM meet GROUP BY at);
SELECT COUNT(*) AS distinct_rows FROM (SELECT DISTINCT at FROM meet);
SELECT COUNT(*) AS n, MIN(id) AS first_id FROM meet GROUP BY at ORDER BY n;
-- SQL Language Reference, "Literals" / "TIMESTAMP Literals": the zone may follow the seconds
-- without a fraction, as an offset or a region name.
SELECT TIMESTAMP '2021-03-04 05:06:07 -08:00' AS offset_zone FROM dual;
SELECT TIMESTAMP '2021-03-04 05:06:07.5 +05:30' AS with_fraction FROM dual;
SELECT TIMESTAMP '2021-03-04 05:06:07 UTC' AS region FROM dual;
SELECT TIMESTAMP '2021-03-04 05:06:07' AS no_zone FROM dual;
-- "Datetime/Interval Arithmetic": ADD_MONTHS keeps its last-day rule; interval arithmetic
-- does not (the day must exist in the resulting month: ORA-01839).
SELECT ADD_MONTHS(DATE '2021-01-31', 1) AS add_months FROM dual;
SELECT DATE '2021-01-28' + INTERVAL '0-1' YEAR TO MONTH AS plus_month FROM dual;
SELECT DATE '2021-01-31' + INTERVAL '0-1' YEAR TO MONTH AS fails FROM dual;
SELECT DATE '2024-02-29' - INTERVAL '1-0' YEAR TO MONTH AS fails FROM dual;
-- "ROWNUM Pseudocolumn": ROWNUM is assigned as rows pass the WHERE clause, before grouping.
CREATE TABLE three(n NUMBER);
INSERT INTO three VALUES(1);
INSERT INTO three VALUES(2);
INSERT INTO three VALUES(3);
SELECT COUNT(*) AS le_two FROM three WHERE ROWNUM <= 2;
SELECT COUNT(*) AS eq_one FROM three WHERE ROWNUM = 1;
SELECT COUNT(*) AS gt_one FROM three WHERE ROWNUM > 1;
SELECT SUM(n) AS sum_two FROM three WHERE n > 1 AND ROWNUM <= 1;
SELECT COUNT(*) AS distinct_two FROM (SELECT DISTINCT n FROM three WHERE ROWNUM < 3);
SELECT n FROM three WHERE ROWNUM <= 2 ORDER BY n DESC;
-- "Format Models", table "Matching Character Data and Format Models with the FX Format Model
-- Modifier" (every row of it), and a doubled separator.
SELECT TO_DATE('15/ JAN /1998', 'DD-MON-YYYY') AS match1 FROM dual;
SELECT TO_DATE(' 15! JAN % /1998', 'DD-MON-YYYY') AS error1 FROM dual;
SELECT TO_DATE('15/JAN/1998', 'FXDD-MON-YYYY') AS error2 FROM dual;
SELECT TO_DATE('15-JAN-1998', 'FXDD-MON-YYYY') AS match2 FROM dual;
SELECT TO_DATE('1-JAN-1998', 'FXDD-MON-YYYY') AS error3 FROM dual;
SELECT TO_DATE('01-JAN-1998', 'FXDD-MON-YYYY') AS match3 FROM dual;
SELECT TO_DATE('1-JAN-1998', 'FXFMDD-MON-YYYY') AS match4 FROM dual;
SELECT TO_DATE('2021--03-04', 'YYYY-MM-DD') AS doubled FROM dual;
SELECT TO_DATE('2021 - 03 - 04', 'YYYY-MM-DD') AS spaced FROM dual;
-- TO_CHAR of intervals: the type's precisions ("TO_DSINTERVAL" example: +000000001 ...).
SELECT TO_CHAR(INTERVAL '1 02:03:04.5' DAY TO SECOND) AS ds_literal FROM dual;
SELECT TO_CHAR(TO_DSINTERVAL('1 02:03:04.5')) AS to_ds FROM dual;
SELECT TO_CHAR(TO_YMINTERVAL('01-02')) AS to_ym FROM dual;
SELECT TO_CHAR(INTERVAL '1-2' YEAR TO MONTH) AS ym_literal FROM dual;
SELECT TO_CHAR(TIMESTAMP '2021-01-02 03:00:00' - TIMESTAMP '2021-01-01 00:00:00') AS ts_diff FROM dual;
-- UPPER, LOWER, INITCAP on letters beyond ASCII ("UPPER", "INITCAP").
SELECT UPPER('éàüñ') AS up, LOWER('ÉÀÜÑ ΣΩ') AS low, INITCAP('élan ÉCOLE') AS cap FROM dual;
-- Database Reference, "ALL_TAB_COLUMNS": DATA_SCALE is NULL for FLOAT.
CREATE TABLE kinds(f FLOAT, f10 FLOAT(10), n52 NUMBER(5,2), n NUMBER, i INTEGER);
SELECT column_name, data_type, data_precision, data_scale FROM user_tab_columns
 WHERE table_name = 'KINDS' ORDER BY column_id;
