-- SQL functions with the results their pages in the SQL Language Reference give.
-- q-quoting ("Text Literals"): the delimiters may enclose single quotes.
SELECT q'[it's]' AS bracket, Q'{a 'b' c}' AS brace, q'!x'y!' AS bang FROM dual;
SELECT q'(multi;
line)' AS across_lines FROM dual;
-- COALESCE, NULLIF, GREATEST, LEAST
SELECT COALESCE(NULL, NULL, 'third', 'fourth') AS coalesce_text, COALESCE(NULL, 2) AS coalesce_num FROM dual;
SELECT NULLIF(1, 1) AS same, NULLIF(1, 2) AS differ, NULLIF('a', 'b') AS text FROM dual;
SELECT GREATEST(1, 3, 2) AS g_num, GREATEST('HARRY', 'HARRIOT', 'HAROLD') AS g_text,
       LEAST(1, 3, 2) AS l_num, LEAST('HARRY', 'HARRIOT', 'HAROLD') AS l_text, GREATEST(1, NULL) AS g_null FROM dual;
-- INITCAP, LTRIM, RTRIM, CONCAT, ASCII, LENGTHB, RAWTOHEX, TO_NCHAR
SELECT INITCAP('the soap') AS initcap, INITCAP('it''s o''neil-smith') AS apostrophes FROM dual;
SELECT LTRIM('<=====>BROWNING<=====>', '<>=') AS ltrim, RTRIM('<=====>BROWNING<=====>', '<>=') AS rtrim,
       '[' || LTRIM('   x  ') || ']' AS ltrim_blank, '[' || RTRIM('   x  ') || ']' AS rtrim_blank FROM dual;
SELECT CONCAT('Smith', '''s job category is ') AS concat, CONCAT(NULL, 'x') AS with_null, CONCAT(12, 3) AS numbers FROM dual;
SELECT ASCII('K') AS ascii, ASCII('Kings') AS first_char FROM dual;
SELECT LENGTHB('CANDIDE') AS lengthb, LENGTHB('Grüße') AS utf8_bytes, LENGTH('Grüße') AS chars FROM dual;
SELECT RAWTOHEX(HEXTORAW('7D00ff')) AS rawtohex FROM dual;
SELECT TO_NCHAR('Grüße') AS to_nchar FROM dual;
-- an unaliased expression is headed by its text in upper case, letters beyond ASCII too
SELECT LOWER('ÄÖ') FROM dual;
-- LAST_DAY, MONTHS_BETWEEN, NEXT_DAY
SELECT LAST_DAY(DATE '2024-02-10') AS leap, LAST_DAY(DATE '2021-12-31') AS december FROM dual;
SELECT MONTHS_BETWEEN(TO_DATE('02-02-1995', 'MM-DD-YYYY'), TO_DATE('01-01-1995', 'MM-DD-YYYY')) AS months FROM dual;
SELECT MONTHS_BETWEEN(DATE '2021-03-31', DATE '2021-02-28') AS last_days, MONTHS_BETWEEN(DATE '2021-01-01', DATE '2021-03-01') AS negative FROM dual;
SELECT NEXT_DAY(DATE '2009-10-15', 'TUESDAY') AS next_tuesday, NEXT_DAY(DATE '2021-03-04', 'thu') AS a_week_on,
       NEXT_DAY(TIMESTAMP '2021-03-04 13:14:15', 'Monday') AS keeps_time FROM dual;
SELECT NEXT_DAY(DATE '2021-03-04', 'Funday') FROM dual;
-- CURRENT_DATE, CURRENT_TIMESTAMP, LOCALTIMESTAMP: the session's clock, typed as documented
SELECT CASE WHEN ABS(CURRENT_DATE - SYSDATE) < 1 / 24 THEN 'near' ELSE 'far' END AS current_date,
       CASE WHEN CURRENT_TIMESTAMP - SYSTIMESTAMP < INTERVAL '0 00:01:00' DAY TO SECOND THEN 'near' ELSE 'far' END AS current_ts,
       CASE WHEN EXTRACT(YEAR FROM LOCALTIMESTAMP) >= 2024 THEN 'this era' ELSE 'past' END AS local_ts FROM dual;
CREATE TABLE clock AS SELECT CURRENT_DATE AS d, CURRENT_TIMESTAMP AS ts, LOCALTIMESTAMP AS lts FROM dual;
SELECT column_name, data_type FROM user_tab_columns WHERE table_name = 'CLOCK' ORDER BY column_id;
-- ROUND and TRUNC of dates ("ROUND and TRUNC Date Functions"); 2021-05-17 is a Monday
SELECT TRUNC(DATE '2021-05-17', 'Q') AS q, ROUND(DATE '2021-05-17', 'Q') AS round_q,
       ROUND(DATE '2021-05-15', 'Q') AS round_q_early FROM dual;
SELECT TRUNC(DATE '2021-05-20', 'DAY') AS day_sunday, ROUND(DATE '2021-05-20', 'DAY') AS round_day,
       TRUNC(DATE '2021-05-20', 'IW') AS iw_monday, TRUNC(DATE '2021-05-20', 'WW') AS ww, TRUNC(DATE '2021-05-20', 'W') AS w FROM dual;
SELECT TRUNC(DATE '2021-05-20', 'CC') AS cc, ROUND(DATE '2051-01-01', 'CC') AS round_cc,
       TRUNC(DATE '2021-01-02', 'IYYY') AS iso_year, TRUNC(DATE '2021-05-20', 'YEAR') AS year,
       ROUND(DATE '2021-07-01', 'YYYY') AS round_year FROM dual;
SELECT ROUND(TO_DATE('27-OCT-00', 'DD-MON-YY'), 'YEAR') AS doc_round, TRUNC(TO_DATE('27-OCT-92', 'DD-MON-YY'), 'YEAR') AS doc_trunc FROM dual;
SELECT TRUNC(TO_DATE('2021-05-20 13:47:31', 'YYYY-MM-DD HH24:MI:SS'), 'HH') AS hh,
       ROUND(TO_DATE('2021-05-20 13:47:31', 'YYYY-MM-DD HH24:MI:SS'), 'MI') AS mi FROM dual;
SELECT TRUNC(DATE '2021-05-20', 'XX') FROM dual;
-- EXTRACT: a DATE has no HOUR (ORA-30076)
SELECT EXTRACT(YEAR FROM DATE '2021-05-17') AS year, EXTRACT(HOUR FROM TIMESTAMP '2021-05-17 13:00:00') AS hour FROM dual;
SELECT EXTRACT(HOUR FROM DATE '2021-05-17') FROM dual;
SELECT EXTRACT(TIMEZONE_HOUR FROM TIMESTAMP '2021-05-17 13:00:00') FROM dual;
-- GROUP BY: every selected column must be grouped (ORA-00979, ORA-00937)
CREATE TABLE emp(dept NUMBER, name VARCHAR2(10), sal NUMBER);
INSERT INTO emp VALUES(10, 'Ann', 100);
INSERT INTO emp VALUES(10, 'Bob', 200);
INSERT INTO emp VALUES(20, 'Cy', 300);
SELECT dept, SUM(sal) AS total FROM emp GROUP BY dept ORDER BY dept;
SELECT e.dept + 1 AS next_dept, COUNT(*) AS n FROM emp e GROUP BY e.dept + 1 ORDER BY 1;
SELECT dept, name, SUM(sal) FROM emp GROUP BY dept;
SELECT name, COUNT(*) FROM emp;
SELECT dept FROM emp GROUP BY dept HAVING MAX(name) > 'A' ORDER BY sal;
-- a primary key or unique constraint shows its index under the constraint's name
CREATE TABLE keyed(id NUMBER CONSTRAINT keyed_pk PRIMARY KEY, code VARCHAR2(5) UNIQUE);
SELECT object_type, CASE WHEN object_name LIKE 'SYS\_C%' ESCAPE '\' THEN 'SYS_Cnnnnnnn' ELSE object_name END AS name
  FROM user_objects ORDER BY object_type, name;
SELECT index_name, table_name, uniqueness FROM user_indexes WHERE index_name = 'KEYED_PK';
SELECT COUNT(*) AS indexes FROM user_indexes WHERE table_name = 'KEYED';
