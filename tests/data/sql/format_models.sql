-- Format models, checked against the SQL Language Reference, "Format Models".
-- "Number Format Elements", X: a leading 0 returns leading zeros; FM removes the blank.
SELECT TO_CHAR(10, '0XXX') AS hex0, TO_CHAR(10, 'FM0XXX') AS hexfm, TO_CHAR(255, 'xx') AS lower FROM dual;
SELECT TO_CHAR(10, 'XXXX') AS padded, TO_CHAR(65535, 'XXX') AS overflow FROM dual;
-- "Results of Number Conversions": 1E+123 under 9.9EEEE is ' 1.0E+123'.
SELECT TO_CHAR(1e123, '9.9EEEE') AS big, TO_CHAR(123.456, '9.9EEEE') AS small,
       TO_CHAR(-1e123, '9.9EEEE') AS negative FROM dual;
-- "TO_TIMESTAMP_TZ" example: the default text shows the nine fraction digits of the type.
SELECT TO_CHAR(TO_TIMESTAMP_TZ('1999-12-01 11:00:00 -8:00', 'YYYY-MM-DD HH:MI:SS TZH:TZM')) AS tz_default FROM dual;
SELECT TO_CHAR(TO_TIMESTAMP('10-Sep-02 14:10:10.123000', 'DD-Mon-RR HH24:MI:SS.FF')) AS ts_default FROM dual;
-- "Datetime Format Element Suffixes": SP spells, SPTH spells the ordinal, the case follows
-- the element.
SELECT TO_CHAR(DATE '2021-03-04', 'DDSP') AS sp, TO_CHAR(DATE '2021-03-04', 'DDSPTH') AS spth,
       TO_CHAR(DATE '2021-03-04', 'Ddsp') AS initial, TO_CHAR(DATE '2021-03-04', 'ddspth') AS lower FROM dual;
SELECT TO_CHAR(DATE '2021-03-21', 'DdSpTh "of" Month') AS spoken, TO_CHAR(DATE '2021-03-12', 'DDTH DDSPTH') AS twelfth,
       TO_CHAR(DATE '2021-03-30', 'fmDdspth') AS thirtieth FROM dual;
SELECT TO_CHAR(TO_DATE('1312324', 'J'), 'JSP') AS j_spelled FROM dual;
SELECT TO_CHAR(DATE '2021-03-04', 'YYYYSP') AS year_spelled, TO_CHAR(DATE '2021-03-04', 'MMSPTH') AS month_ordinal FROM dual;
-- "Datetime Format Elements", J: the number of days since January 1, 4712 BC.
SELECT TO_CHAR(TO_DATE('-4712-01-01', 'SYYYY-MM-DD'), 'J') AS j_first,
       TO_CHAR(TO_DATE('-4712-01-01', 'SYYYY-MM-DD'), 'FMJ') AS j_fm,
       TO_CHAR(TO_DATE('1', 'J'), 'SYYYY-MM-DD') AS first_day FROM dual;
SELECT TO_CHAR(DATE '2000-01-01', 'J') AS j_2000, TO_CHAR(DATE '0001-01-01', 'J') AS j_ad1,
       TO_CHAR(TO_DATE('2451545', 'J'), 'YYYY-MM-DD') AS back FROM dual;
SELECT TO_CHAR(TO_DATE('0001-12-31 BC', 'YYYY-MM-DD BC'), 'J') AS j_1bc FROM dual;
-- SP is for output only
SELECT TO_DATE('FOUR', 'DDSP') FROM dual;
