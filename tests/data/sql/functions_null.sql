-- NULL handling and comparison functions with the results the SQL Language Reference gives.
-- DECODE: the first search equal to the expression gives its result; two NULLs are equal here
SELECT DECODE(2, 1, 'one', 2, 'two', 'other') AS found, DECODE(3, 1, 'one', 2, 'two', 'other') AS dflt,
       DECODE(3, 1, 'one') AS no_default FROM dual;
SELECT DECODE(NULL, NULL, 'null matches', 'no match') AS null_match, DECODE('a', 'A', 'upper', 'a', 'lower') AS exact,
       DECODE(2, 1, 10, 20) AS number_result FROM dual;
CREATE TABLE inventory (product_id NUMBER, warehouse_id NUMBER);
INSERT INTO inventory VALUES (1, 1);
INSERT INTO inventory VALUES (2, 2);
INSERT INTO inventory VALUES (3, 4);
INSERT INTO inventory VALUES (4, NULL);
SELECT product_id, DECODE(warehouse_id, 1, 'Southlake', 2, 'San Francisco', 3, 'New Jersey', 4, 'Seattle',
       'Non domestic') AS location_name FROM inventory ORDER BY product_id;
-- NVL and NVL2
SELECT NVL(NULL, 'x') AS nvl_null, NVL('a', 'x') AS nvl_value, NVL2(NULL, 'set', 'unset') AS nvl2_null,
       NVL2(1, 'set', 'unset') AS nvl2_value FROM dual;
SELECT DECODE(1, 1) FROM dual;
