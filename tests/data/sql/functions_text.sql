-- Character functions with the results their pages in the SQL Language Reference give.
-- LPAD and RPAD: padded on the left/right to n characters, cut to n when longer, NULL for n < 1
SELECT LPAD('Page 1', 15, '*.') AS lpad, RPAD('Page 1', 15, '*.') AS rpad FROM dual;
SELECT '[' || LPAD('abc', 5) || ']' AS blank_left, '[' || RPAD('abc', 5) || ']' AS blank_right,
       LPAD('abcdef', 3) AS cut_left, RPAD('abcdef', 3) AS cut_right FROM dual;
SELECT LPAD('abc', 0) AS zero, LPAD(NULL, 5, 'x') AS null_text, LPAD('abc', 5, NULL) AS null_pad,
       LPAD(42, 6, '0') AS number_arg, LPAD('Grüße', 7, 'ä') AS multibyte FROM dual;
-- INSTR: position of the nth occurrence, searching backwards from a negative start
SELECT INSTR('CORPORATE FLOOR', 'OR', 3, 2) AS instring, INSTR('CORPORATE FLOOR', 'OR', -3, 2) AS reversed,
       INSTR('CORPORATE FLOOR', 'OR') AS first FROM dual;
SELECT INSTR('abc', 'z') AS missing, INSTR('abc', NULL) AS null_search, INSTR('Grüße', 'ß') AS multibyte,
       INSTR('aaa', 'a', 1, 3) AS third, INSTR('aaa', 'a', 1, 4) AS fourth FROM dual;
SELECT INSTR('abc', 'a', 1, 0) FROM dual;
