-- Values as the console prints them
CREATE TABLE t(
  id NUMBER(5) PRIMARY KEY,
  amount NUMBER(10,2),
  ratio NUMBER,
  code CHAR(4),
  name VARCHAR2(20),
  nname NVARCHAR2(10),
  born DATE,
  seen TIMESTAMP(3),
  seenz TIMESTAMP(2) WITH TIME ZONE,
  age INTERVAL YEAR TO MONTH,
  up INTERVAL DAY(3) TO SECOND(2),
  bits RAW(4),
  dbl BINARY_DOUBLE
);
INSERT INTO t VALUES(1, 12.50, 0.05, 'ab', 'Smith', N'Grüße',
  TO_DATE('2024-02-29 13:45:10', 'YYYY-MM-DD HH24:MI:SS'),
  TO_TIMESTAMP('2024-02-29 13:45:10.5', 'YYYY-MM-DD HH24:MI:SS.FF'),
  TO_TIMESTAMP_TZ('2024-02-29 13:45:10.25 +05:30', 'YYYY-MM-DD HH24:MI:SS.FF TZH:TZM'),
  TO_YMINTERVAL('02-03'), TO_DSINTERVAL('1 02:03:04.5'), HEXTORAW('00FF10'), 2.5);
INSERT INTO t(id, amount, ratio) VALUES(2, -1000, -0.5);
INSERT INTO t(id, name) VALUES(3, '');
select * from t order by id;
SELECT id, amount * 2 AS twice, ratio + 1 FROM t WHERE amount IS NOT NULL ORDER BY 1;
SELECT 'it''s' AS quote, 1/8 AS eighth, 12345678901234567890.123456 AS big FROM dual;
