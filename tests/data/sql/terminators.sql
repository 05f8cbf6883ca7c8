-- A statement ends with ';' at the end of a line or with a line holding only '/'.
create table "Notes"(
  "Id" number,
  body varchar2(100)
)
/
insert into "Notes" values(1, 'ends with a semicolon;
inside the text')
/
insert into "Notes"
  values(2, 'two lines');


insert into "Notes" values(3, 'x'); -- a comment after the statement
select "Id", body from "Notes" order by "Id";
select count(*) from "Notes"
/
