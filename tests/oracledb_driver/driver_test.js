// Oracle's Node.js driver (oracledb, Thick mode) against the embedded engine: ordinary
// application work on a fresh database, each result as the driver's documentation says
// Oracle returns it. Usage: node driver_test.js <folder with libclntsh.so> <database file>
'use strict';
const assert = require('assert');
const oracledb = require('oracledb');

const [libDir, database] = process.argv.slice(2);
const account = {user: 'scott', password: 'tiger', connectString: database};
let checks = 0;
const check = (name, fn) => fn().then(() => { checks++; }, (e) => { e.message = `${name}: ${e.message}`; throw e; });

async function expectError(promise, errorNum, offset) {
  try { await promise; } catch (e) {
    assert.strictEqual(e.errorNum, errorNum, e.message);
    if (offset !== undefined) assert.strictEqual(e.offset, offset, e.message);
    return e;
  }
  assert.fail(`ORA-${errorNum} expected`);
}

async function main() {
  oracledb.initOracleClient({libDir});
  assert.match(oracledb.oracleClientVersionString, /^19\./);
  const conn = await oracledb.getConnection(account);
  assert.match(conn.oracleServerVersionString, /^19\./);

  await check('ping', () => conn.ping());
  await check('common types', async () => {
    await conn.execute(`create table t (id number(5) primary key, n number(10,2), v varchar2(10) not null,
        c char(3), nc nchar(3), d date, ts timestamp(6), tz timestamp(6) with time zone,
        ym interval year(2) to month, ds interval day(2) to second(3), r raw(8))`);
    await conn.execute(`insert into t values (1, 12.5, 'abc', 'x', 'y', date '2024-02-29',
        timestamp '2024-02-29 13:14:15.123456', timestamp '2024-02-29 13:14:15 +05:30',
        interval '1-2' year to month, interval '3 04:05:06.789' day to second, hextoraw('0aff'))`);
    const r = await conn.execute('select * from t', [], {outFormat: oracledb.OUT_FORMAT_OBJECT});
    const row = r.rows[0];
    assert.strictEqual(row.N, 12.5);
    assert.strictEqual(row.V, 'abc');
    assert.strictEqual(row.C, 'x  ');   // CHAR blank-padded to its length
    assert.strictEqual(row.D.getFullYear(), 2024);
    assert.strictEqual(row.D.getDate(), 29);
    assert.strictEqual(row.TS.getMilliseconds(), 123);
    assert.strictEqual(row.TZ.toISOString(), '2024-02-29T07:44:15.000Z');
    assert.deepStrictEqual([row.YM.years, row.YM.months], [1, 2]);
    assert.deepStrictEqual([row.DS.days, row.DS.hours, row.DS.minutes, row.DS.seconds], [3, 4, 5, 6]);
    assert.deepStrictEqual(row.R, Buffer.from([0x0a, 0xff]));
    assert.strictEqual(r.metaData[2].dbTypeName, 'VARCHAR2');
  });
  await check('binds by position and name', async () => {
    await conn.execute('insert into t (id, v) values (:1, :2)', [2, 'two']);
    await conn.execute('insert into t (id, v, d) values (:id, :v, :d)', {id: 3, v: 'three', d: new Date(2020, 0, 2)});
    const r = await conn.execute('select v, d from t where id = :id', {id: 3});
    assert.strictEqual(r.rows[0][0], 'three');
    assert.strictEqual(r.rows[0][1].getMonth(), 0);
  });
  await check('executeMany with batchErrors and dmlRowCounts', async () => {
    const r = await conn.executeMany('insert into t (id, v) values (:1, :2)',
        [[10, 'a'], [1, 'dup'], [11, null], [12, 'b']], {batchErrors: true, dmlRowCounts: true});
    assert.deepStrictEqual(r.batchErrors.map((e) => [e.errorNum, e.offset]), [[1, 1], [1400, 2]]);
    assert.deepStrictEqual(r.dmlRowCounts, [1, 0, 0, 1]);
  });
  await check('commit, rollback and close rolling back', async () => {
    await conn.commit();
    await conn.execute("update t set v = 'changed' where id = 2");
    await conn.rollback();
    assert.strictEqual((await conn.execute('select v from t where id = 2')).rows[0][0], 'two');
    const other = await oracledb.getConnection(account);
    await other.execute("update t set v = 'lost' where id = 2");
    await other.close();
    assert.strictEqual((await conn.execute('select v from t where id = 2')).rows[0][0], 'two');
  });
  await check('fetchArraySize, prefetchRows, result sets and streams', async () => {
    const sql = 'select id from t order by id';
    const r = await conn.execute(sql, [], {fetchArraySize: 2, prefetchRows: 1});
    assert.deepStrictEqual(r.rows.map((x) => x[0]), [1, 2, 3, 10, 12]);
    const rs = (await conn.execute(sql, [], {resultSet: true})).resultSet;
    assert.deepStrictEqual((await rs.getRows(2)).map((x) => x[0]), [1, 2]);
    assert.deepStrictEqual((await rs.getRows(10)).map((x) => x[0]), [3, 10, 12]);
    await rs.close();
    const ids = [];
    await new Promise((resolve, reject) => {
      conn.queryStream(sql).on('data', (x) => ids.push(x[0])).on('error', reject).on('close', resolve);
    });
    assert.deepStrictEqual(ids, [1, 2, 3, 10, 12]);
  });
  await check('errors with errorNum and offset', async () => {
    await expectError(conn.execute("insert into t (id, v) values (1, 'x')"), 1);
    await expectError(conn.execute('insert into t (id) values (5)'), 1400);
    await expectError(conn.execute("insert into t (id, v) values (5, 'much too long')"), 12899);
    await expectError(conn.execute("select to_number('x') from dual"), 1722);
    await expectError(conn.execute('select * from no_such_table'), 942, 14);
    await expectError(conn.execute('select nosuch from dual'), 904, 7);
  });
  await check('getStatementInfo', async () => {
    const info = await conn.getStatementInfo('select v from t where id = :id and v <> :v');
    assert.deepStrictEqual(info.bindNames, ['ID', 'V']);
    assert.strictEqual(info.statementType, oracledb.STMT_TYPE_SELECT);
    assert.strictEqual(info.metaData[0].name, 'V');
  });
  await check('CLOB offsets and lengths count characters', async () => {
    await conn.execute('create table doc (id number, c clob)');
    const text = '日本語の文書 ' + 'x'.repeat(70000) + ' 終わり';
    await conn.execute('insert into doc values (1, :c)', {c: {val: text, type: oracledb.CLOB}});
    const lob = (await conn.execute('select c from doc')).rows[0][0];
    assert.strictEqual(lob.length, text.length);
    assert.strictEqual(await lob.getData(3, 4), text.substr(2, 4));
    assert.strictEqual(await lob.getData(), text);
    await lob.close();
    // a stream reads chunks at growing offsets until a read past the end brings nothing
    const streamed = (await conn.execute('select c from doc')).rows[0][0];
    streamed.setEncoding('utf8');
    let read = '';
    await new Promise((resolve, reject) => {
      streamed.on('data', (d) => { read += d; }).on('end', resolve).on('error', reject);
    });
    assert.strictEqual(read, text);
  });
  await conn.close();
  console.log(`oracledb ${oracledb.versionString}: ${checks} checks passed`);
}

main().catch((e) => { console.error(e); process.exit(1); });
