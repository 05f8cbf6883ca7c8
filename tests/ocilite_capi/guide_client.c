/* A client written the way Oracle's OCI Programmer's Guide shows, with its own declarations of
 * the OCI types, constants and functions (as a program built without any of this project's
 * headers), linked against libocilite.so. It logs on with OCIServerAttach and
 * OCISessionBegin, runs a bound UPDATE and an INSERT ... SELECT, inserts an array of
 * structures, fetches with OCIStmtFetch2 into an array of structures, describes a table with
 * OCIDescribeAny, compares CHAR binds, and runs two loader processes into one table at once.
 * Every check that fails prints what it saw; the exit status is the number of failures. */

#define _GNU_SOURCE
#include <ftw.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <sys/wait.h>

typedef unsigned char ub1;
typedef signed char sb1;
typedef unsigned short ub2;
typedef signed short sb2;
typedef unsigned int ub4;
typedef signed int sb4;
typedef int sword;
typedef unsigned char OraText;

typedef struct OCIEnv OCIEnv;
typedef struct OCIError OCIError;
typedef struct OCISvcCtx OCISvcCtx;
typedef struct OCIStmt OCIStmt;
typedef struct OCIBind OCIBind;
typedef struct OCIDefine OCIDefine;
typedef struct OCIDescribe OCIDescribe;
typedef struct OCIServer OCIServer;
typedef struct OCISession OCISession;
typedef struct OCIParam OCIParam;
typedef struct OCISnapshot OCISnapshot;

#define OCI_SUCCESS 0
#define OCI_SUCCESS_WITH_INFO 1
#define OCI_NO_DATA 100
#define OCI_ERROR (-1)
#define OCI_DEFAULT 0
#define OCI_NTV_SYNTAX 1
#define OCI_COMMIT_ON_SUCCESS 0x20
#define OCI_CRED_RDBMS 1
#define OCI_FETCH_NEXT 2
#define OCI_FETCH_PRIOR 0x10
#define OCI_HTYPE_ENV 1
#define OCI_HTYPE_ERROR 2
#define OCI_HTYPE_SVCCTX 3
#define OCI_HTYPE_STMT 4
#define OCI_HTYPE_DESCRIBE 7
#define OCI_HTYPE_SERVER 8
#define OCI_HTYPE_SESSION 9
#define OCI_DTYPE_PARAM 53
#define OCI_ATTR_DATA_SIZE 1
#define OCI_ATTR_DATA_TYPE 2
#define OCI_ATTR_NAME 4
#define OCI_ATTR_SERVER 6
#define OCI_ATTR_SESSION 7
#define OCI_ATTR_ROW_COUNT 9
#define OCI_ATTR_USERNAME 22
#define OCI_ATTR_PASSWORD 23
#define OCI_ATTR_NUM_COLS 102
#define OCI_ATTR_LIST_COLUMNS 103
#define OCI_ATTR_PTYPE 123
#define OCI_ATTR_PARAM 124
#define OCI_OTYPE_NAME 1
#define OCI_PTYPE_TABLE 1
#define SQLT_CHR 1
#define SQLT_NUM 2
#define SQLT_INT 3
#define SQLT_STR 5
#define SQLT_AFC 96

sword OCIEnvCreate(OCIEnv** envp, ub4 mode, void* ctxp, void* (*malocfp)(void*, size_t),
                   void* (*ralocfp)(void*, void*, size_t), void (*mfreefp)(void*, void*), size_t xtramem_sz,
                   void** usrmempp);
sword OCIHandleAlloc(const void* parenth, void** hndlpp, ub4 type, size_t xtramem_sz, void** usrmempp);
sword OCIHandleFree(void* hndlp, ub4 type);
sword OCIErrorGet(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep, OraText* bufp, ub4 bufsiz, ub4 type);
sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const OraText* dblink, sb4 dblink_len, ub4 mode);
sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4 mode);
sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4 mode);
sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 mode);
sword OCILogon2(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp, const OraText* username, ub4 uname_len,
                const OraText* password, ub4 passwd_len, const OraText* dbname, ub4 dbname_len, ub4 mode);
sword OCILogoff(OCISvcCtx* svchp, OCIError* errhp);
sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype, OCIError* errhp);
sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep, ub4 attrtype, OCIError* errhp);
sword OCIStmtPrepare2(OCISvcCtx* svchp, OCIStmt** stmtp, OCIError* errhp, const OraText* stmt, ub4 stmt_len,
                      const OraText* key, ub4 key_len, ub4 language, ub4 mode);
sword OCIStmtRelease(OCIStmt* stmtp, OCIError* errhp, const OraText* key, ub4 key_len, ub4 mode);
sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                     const OCISnapshot* snap_in, OCISnapshot* snap_out, ub4 mode);
sword OCIStmtFetch2(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, sb4 scrollOffset, ub4 mode);
sword OCIBindByPos(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position, void* valuep, sb4 value_sz, ub2 dty,
                   void* indp, ub2* alenp, ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode);
sword OCIBindArrayOfStruct(OCIBind* bindp, OCIError* errhp, ub4 pvskip, ub4 indskip, ub4 alskip, ub4 rcskip);
sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position, void* valuep, sb4 value_sz,
                     ub2 dty, void* indp, ub2* rlenp, ub2* rcodep, ub4 mode);
sword OCIDefineArrayOfStruct(OCIDefine* defnp, OCIError* errhp, ub4 pvskip, ub4 indskip, ub4 rlskip, ub4 rcskip);
sword OCIDescribeAny(OCISvcCtx* svchp, OCIError* errhp, void* objptr, ub4 objnm_len, ub1 objptr_typ, ub1 info_level,
                     ub1 objtyp, OCIDescribe* dschp);
sword OCIParamGet(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp, ub4 pos);
sword OCITransCommit(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
sword OCIPing(OCISvcCtx* svchp, OCIError* errhp, ub4 mode);
sword OCIServerVersion(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz, ub1 hndltype);
void OCIClientVersion(sword* major_version, sword* minor_version, sword* update_num, sword* patch_num,
                      sword* port_update_num);
sword OCITerminate(ub4 mode);
sword OCIEnvNlsCreate(OCIEnv** envp, ub4 mode, void* ctxp, void* (*malocfp)(void*, size_t),
                      void* (*ralocfp)(void*, void*, size_t), void (*mfreefp)(void*, void*), size_t xtramem_sz,
                      void** usrmempp, ub2 charset, ub2 ncharset);

static int failures = 0;
static OCIEnv* env;
static OCIError* err;
static OCISvcCtx* svc;

#define EXPECT(cond, ...)                                                            \
    do {                                                                             \
        if (!(cond)) {                                                               \
            ++failures;                                                              \
            fprintf(stderr, "%s:%d: check failed: %s: ", __FILE__, __LINE__, #cond); \
            fprintf(stderr, __VA_ARGS__);                                            \
            fputc('\n', stderr);                                                     \
        }                                                                            \
    } while (0)

/* The Oracle error of the last failed call, 0 when there is none. */
static sb4 LastError(char* text, size_t size) {
    sb4 code = 0;
    char buf[512] = "";
    OCIErrorGet(err, 1, NULL, &code, (OraText*)buf, sizeof buf, OCI_HTYPE_ERROR);
    if (text != NULL) snprintf(text, size, "%s", buf);
    return code;
}

/* Stops the program when a call that has to work fails. */
static void Check(sword status, const char* what) {
    if (status == OCI_SUCCESS || status == OCI_SUCCESS_WITH_INFO) return;
    char text[512];
    LastError(text, sizeof text);
    fprintf(stderr, "%s failed (%d): %s\n", what, status, text);
    exit(100);
}

static OCIStmt* Prepare(const char* sql) {
    OCIStmt* st = NULL;
    Check(OCIStmtPrepare2(svc, &st, err, (const OraText*)sql, (ub4)strlen(sql), NULL, 0, OCI_NTV_SYNTAX, OCI_DEFAULT),
          sql);
    return st;
}

static void Run(const char* sql) {
    OCIStmt* st = Prepare(sql);
    Check(OCIStmtExecute(svc, st, err, 1, 0, NULL, NULL, OCI_DEFAULT), sql);
    OCIStmtRelease(st, err, NULL, 0, OCI_DEFAULT);
}

/* One number from a query without binds. */
static int QueryInt(const char* sql) {
    OCIStmt* st = Prepare(sql);
    OCIDefine* def = NULL;
    int value = -1;
    Check(OCIDefineByPos(st, &def, err, 1, &value, sizeof value, SQLT_INT, NULL, NULL, NULL, OCI_DEFAULT), sql);
    Check(OCIStmtExecute(svc, st, err, 0, 0, NULL, NULL, OCI_DEFAULT), sql);
    Check(OCIStmtFetch2(st, err, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT), sql);
    OCIStmtRelease(st, err, NULL, 0, OCI_DEFAULT);
    return value;
}

static void LogonWithAttach(OCIServer** srv, OCISession** usr) {
    Check(OCIHandleAlloc(env, (void**)srv, OCI_HTYPE_SERVER, 0, NULL), "server handle");
    Check(OCIHandleAlloc(env, (void**)&svc, OCI_HTYPE_SVCCTX, 0, NULL), "service context");
    Check(OCIServerAttach(*srv, err, (const OraText*)"", 0, OCI_DEFAULT), "OCIServerAttach");
    Check(OCIAttrSet(svc, OCI_HTYPE_SVCCTX, *srv, 0, OCI_ATTR_SERVER, err), "OCI_ATTR_SERVER");
    Check(OCIHandleAlloc(env, (void**)usr, OCI_HTYPE_SESSION, 0, NULL), "session handle");
    Check(OCIAttrSet(*usr, OCI_HTYPE_SESSION, "scott", 5, OCI_ATTR_USERNAME, err), "OCI_ATTR_USERNAME");
    Check(OCIAttrSet(*usr, OCI_HTYPE_SESSION, "tiger", 5, OCI_ATTR_PASSWORD, err), "OCI_ATTR_PASSWORD");
    Check(OCISessionBegin(svc, err, *usr, OCI_CRED_RDBMS, OCI_DEFAULT), "OCISessionBegin");
    Check(OCIAttrSet(svc, OCI_HTYPE_SVCCTX, *usr, 0, OCI_ATTR_SESSION, err), "OCI_ATTR_SESSION");
}

static void VersionsAndPing(void) {
    char banner[200] = "";
    sword major = 0, minor = -1, update = -1, patch = -1, port = -1;
    Check(OCIServerVersion(svc, err, (OraText*)banner, sizeof banner, OCI_HTYPE_SVCCTX), "OCIServerVersion");
    EXPECT(strstr(banner, "Release") != NULL, "banner '%s'", banner);
    OCIClientVersion(&major, &minor, &update, &patch, &port);
    EXPECT(major >= 11 && minor >= 0 && update >= 0 && patch >= 0 && port >= 0, "client version %d.%d", major, minor);
    EXPECT(OCIPing(svc, err, OCI_DEFAULT) == OCI_SUCCESS, "ping");
}

/* Logons that must fail, each with Oracle's error, and the environment calls' checks. */
static void RefusedLogons(void) {
    OCISvcCtx* other = NULL;
    OCIServer* srv = NULL;
    OCISession* usr = NULL;
    Check(OCIHandleAlloc(env, (void**)&other, OCI_HTYPE_SVCCTX, 0, NULL), "service context");
    Check(OCIHandleAlloc(env, (void**)&usr, OCI_HTYPE_SESSION, 0, NULL), "session handle");
    Check(OCIAttrSet(usr, OCI_HTYPE_SESSION, "scott", 5, OCI_ATTR_USERNAME, err), "OCI_ATTR_USERNAME");
    Check(OCIAttrSet(usr, OCI_HTYPE_SESSION, "wrong", 5, OCI_ATTR_PASSWORD, err), "OCI_ATTR_PASSWORD");
    EXPECT(OCISessionBegin(other, err, usr, OCI_CRED_RDBMS, OCI_DEFAULT) == OCI_ERROR, "a session without a server");
    EXPECT(LastError(NULL, 0) == 24327, "error %d", LastError(NULL, 0));
    Check(OCIHandleAlloc(env, (void**)&srv, OCI_HTYPE_SERVER, 0, NULL), "server handle");
    Check(OCIServerAttach(srv, err, (const OraText*)"", 0, OCI_DEFAULT), "OCIServerAttach");
    Check(OCIAttrSet(other, OCI_HTYPE_SVCCTX, srv, 0, OCI_ATTR_SERVER, err), "OCI_ATTR_SERVER");
    EXPECT(OCISessionBegin(other, err, usr, OCI_CRED_RDBMS, OCI_DEFAULT) == OCI_ERROR, "a wrong password");
    EXPECT(LastError(NULL, 0) == 1017, "error %d", LastError(NULL, 0));
    EXPECT(OCIPing(other, err, OCI_DEFAULT) == OCI_ERROR, "ping without a session");
    EXPECT(LastError(NULL, 0) == 3114, "error %d", LastError(NULL, 0));
    OCIHandleFree(usr, OCI_HTYPE_SESSION);
    OCIHandleFree(other, OCI_HTYPE_SVCCTX);
    OCIServerDetach(srv, err, OCI_DEFAULT);
    OCIHandleFree(srv, OCI_HTYPE_SERVER);

    OCIEnv* e = NULL;
    EXPECT(OCIEnvNlsCreate(&e, OCI_DEFAULT, NULL, NULL, NULL, NULL, 0, NULL, 0, 0) == OCI_SUCCESS && e != NULL,
           "OCIEnvNlsCreate from NLS_LANG");
    if (e != NULL) OCIHandleFree(e, OCI_HTYPE_ENV);
    e = NULL;
    /* 31 is WE8ISO8859P1, not the client character set of this run (NLS_LANG unset: AL32UTF8) */
    EXPECT(OCIEnvNlsCreate(&e, OCI_DEFAULT, NULL, NULL, NULL, NULL, 0, NULL, 31, 31) == OCI_ERROR && e == NULL,
           "a character set other than the client's");
}

struct Emp {
    int id;
    char name[21];
    sb2 nameInd;
    ub2 nameLen;
    char code[6];
    int sal;
};

static void ArrayInsert(void) {
    struct Emp rows[4] = {
        {1, "ADAMS", 0, 5, "ab", 100},
        {2, "BLAKE", 0, 5, "cd", 200},
        {3, "", -1, 0, "ab", 300},
        {4, "DAVIS", 0, 5, "x", 400},
    };
    OCIStmt* st = Prepare("insert into emp (id, name, code, sal) values (:id, :name, :code, :sal)");
    OCIBind* b[4] = {NULL, NULL, NULL, NULL};
    const ub4 skip = sizeof(struct Emp);
    Check(OCIBindByPos(st, &b[0], err, 1, &rows[0].id, sizeof(int), SQLT_INT, NULL, NULL, NULL, 0, NULL, OCI_DEFAULT),
          "bind id");
    Check(OCIBindByPos(st, &b[1], err, 2, rows[0].name, sizeof rows[0].name, SQLT_CHR, &rows[0].nameInd,
                       &rows[0].nameLen, NULL, 0, NULL, OCI_DEFAULT),
          "bind name");
    Check(OCIBindByPos(st, &b[2], err, 3, rows[0].code, sizeof rows[0].code, SQLT_STR, NULL, NULL, NULL, 0, NULL,
                       OCI_DEFAULT),
          "bind code");
    Check(OCIBindByPos(st, &b[3], err, 4, &rows[0].sal, sizeof(int), SQLT_INT, NULL, NULL, NULL, 0, NULL, OCI_DEFAULT),
          "bind sal");
    Check(OCIBindArrayOfStruct(b[0], err, skip, 0, 0, 0), "array id");
    Check(OCIBindArrayOfStruct(b[1], err, skip, skip, skip, 0), "array name");
    Check(OCIBindArrayOfStruct(b[2], err, skip, 0, 0, 0), "array code");
    Check(OCIBindArrayOfStruct(b[3], err, skip, 0, 0, 0), "array sal");
    Check(OCIStmtExecute(svc, st, err, 4, 0, NULL, NULL, OCI_COMMIT_ON_SUCCESS), "array insert");
    ub4 count = 0;
    Check(OCIAttrGet(st, OCI_HTYPE_STMT, &count, NULL, OCI_ATTR_ROW_COUNT, err), "row count");
    EXPECT(count == 4, "array insert row count %u", count);
    OCIStmtRelease(st, err, NULL, 0, OCI_DEFAULT);
    EXPECT(QueryInt("select count(*) from emp where name is null") == 1, "the NULL indicator of row 3");
    EXPECT(QueryInt("select sum(sal) from emp") == 1000, "the salaries");
}

static void BoundUpdateAndInsertSelect(void) {
    int sal = 250, id = 2, newId = 12, fromId = 1;
    char name[] = "COPY";
    OCIBind* b1 = NULL;
    OCIBind* b2 = NULL;
    OCIBind* b3 = NULL;
    OCIStmt* st = Prepare("update emp set sal = :1 + 0 where id = :2");
    Check(OCIBindByPos(st, &b1, err, 1, &sal, sizeof sal, SQLT_INT, NULL, NULL, NULL, 0, NULL, OCI_DEFAULT), "bind 1");
    Check(OCIBindByPos(st, &b2, err, 2, &id, sizeof id, SQLT_INT, NULL, NULL, NULL, 0, NULL, OCI_DEFAULT), "bind 2");
    EXPECT(OCIStmtExecute(svc, st, err, 1, 0, NULL, NULL, OCI_DEFAULT) == OCI_SUCCESS, "bound update");
    OCIStmtRelease(st, err, NULL, 0, OCI_DEFAULT);
    EXPECT(QueryInt("select sal from emp where id = 2") == 250, "updated salary");

    st = Prepare("insert into emp (id, name, sal) select :1, :2, sal * 2 from emp where id = :3");
    Check(OCIBindByPos(st, &b1, err, 1, &newId, sizeof newId, SQLT_INT, NULL, NULL, NULL, 0, NULL, OCI_DEFAULT),
          "bind 1");
    Check(OCIBindByPos(st, &b2, err, 2, name, sizeof name, SQLT_STR, NULL, NULL, NULL, 0, NULL, OCI_DEFAULT), "bind 2");
    Check(OCIBindByPos(st, &b3, err, 3, &fromId, sizeof fromId, SQLT_INT, NULL, NULL, NULL, 0, NULL, OCI_DEFAULT),
          "bind 3");
    EXPECT(OCIStmtExecute(svc, st, err, 1, 0, NULL, NULL, OCI_DEFAULT) == OCI_SUCCESS, "insert ... select");
    OCIStmtRelease(st, err, NULL, 0, OCI_DEFAULT);
    EXPECT(QueryInt("select sal from emp where id = 12 and name = 'COPY'") == 200, "copied row");

    st = Prepare("delete from emp where id in (select :1 from dual)");
    Check(OCIBindByPos(st, &b1, err, 1, &newId, sizeof newId, SQLT_INT, NULL, NULL, NULL, 0, NULL, OCI_DEFAULT),
          "bind 1");
    EXPECT(OCIStmtExecute(svc, st, err, 1, 0, NULL, NULL, OCI_DEFAULT) == OCI_SUCCESS, "delete with a subquery bind");
    OCIStmtRelease(st, err, NULL, 0, OCI_DEFAULT);
    EXPECT(QueryInt("select count(*) from emp") == 4, "row deleted");
    Check(OCITransCommit(svc, err, OCI_DEFAULT), "commit");
}

static void FetchArrayOfStruct(void) {
    struct Out {
        int id;
        char name[21];
        sb2 nameInd;
        ub2 nameLen;
    } out[3];
    memset(out, 0, sizeof out);
    OCIStmt* st = Prepare("select id, name from emp order by id");
    OCIDefine* d1 = NULL;
    OCIDefine* d2 = NULL;
    Check(OCIDefineByPos(st, &d1, err, 1, &out[0].id, sizeof(int), SQLT_INT, NULL, NULL, NULL, OCI_DEFAULT),
          "define 1");
    Check(OCIDefineByPos(st, &d2, err, 2, out[0].name, sizeof out[0].name, SQLT_STR, &out[0].nameInd, &out[0].nameLen,
                         NULL, OCI_DEFAULT),
          "define 2");
    Check(OCIDefineArrayOfStruct(d1, err, sizeof(struct Out), 0, 0, 0), "define array 1");
    Check(OCIDefineArrayOfStruct(d2, err, sizeof(struct Out), sizeof(struct Out), sizeof(struct Out), 0),
          "define array 2");
    Check(OCIStmtExecute(svc, st, err, 0, 0, NULL, NULL, OCI_DEFAULT), "query");
    sword rc = OCIStmtFetch2(st, err, 3, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
    EXPECT(rc == OCI_SUCCESS, "first fetch %d", rc);
    EXPECT(out[0].id == 1 && strcmp(out[0].name, "ADAMS") == 0 && out[0].nameInd == 0, "row 1: %d %s", out[0].id,
           out[0].name);
    EXPECT(out[1].id == 2 && strcmp(out[1].name, "BLAKE") == 0, "row 2: %d %s", out[1].id, out[1].name);
    EXPECT(out[2].id == 3 && out[2].nameInd == -1, "row 3: %d ind %d", out[2].id, out[2].nameInd);
    EXPECT(OCIStmtFetch2(st, err, 1, OCI_FETCH_PRIOR, 0, OCI_DEFAULT) == OCI_ERROR, "backwards on a forward cursor");
    EXPECT(LastError(NULL, 0) == 24391, "error %d", LastError(NULL, 0));
    rc = OCIStmtFetch2(st, err, 3, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
    EXPECT(rc == OCI_NO_DATA && out[0].id == 4 && strcmp(out[0].name, "DAVIS") == 0, "last fetch %d: %d", rc,
           out[0].id);
    OCIStmtRelease(st, err, NULL, 0, OCI_DEFAULT);
}

static void DescribeTable(void) {
    OCIDescribe* dsc = NULL;
    OCIParam* table = NULL;
    OCIParam* list = NULL;
    ub1 ptype = 0;
    ub2 ncols = 0;
    Check(OCIHandleAlloc(env, (void**)&dsc, OCI_HTYPE_DESCRIBE, 0, NULL), "describe handle");
    Check(OCIDescribeAny(svc, err, (void*)"emp", 3, OCI_OTYPE_NAME, 0, OCI_PTYPE_TABLE, dsc), "OCIDescribeAny");
    Check(OCIAttrGet(dsc, OCI_HTYPE_DESCRIBE, &table, NULL, OCI_ATTR_PARAM, err), "OCI_ATTR_PARAM");
    Check(OCIAttrGet(table, OCI_DTYPE_PARAM, &ptype, NULL, OCI_ATTR_PTYPE, err), "OCI_ATTR_PTYPE");
    Check(OCIAttrGet(table, OCI_DTYPE_PARAM, &ncols, NULL, OCI_ATTR_NUM_COLS, err), "OCI_ATTR_NUM_COLS");
    Check(OCIAttrGet(table, OCI_DTYPE_PARAM, &list, NULL, OCI_ATTR_LIST_COLUMNS, err), "OCI_ATTR_LIST_COLUMNS");
    EXPECT(ptype == OCI_PTYPE_TABLE, "ptype %u", ptype);
    EXPECT(ncols == 4, "%u columns", ncols);
    static const char* names[] = {"ID", "NAME", "CODE", "SAL"};
    static const ub2 types[] = {SQLT_NUM, SQLT_CHR, SQLT_AFC, SQLT_NUM};
    static const ub2 sizes[] = {22, 20, 5, 22};
    for (ub4 i = 1; i <= ncols && i <= 4; ++i) {
        OCIParam* col = NULL;
        OraText* name = NULL;
        ub4 nameLen = 0;
        ub2 type = 0, size = 0;
        Check(OCIParamGet(list, OCI_DTYPE_PARAM, err, (void**)&col, i), "OCIParamGet");
        Check(OCIAttrGet(col, OCI_DTYPE_PARAM, &name, &nameLen, OCI_ATTR_NAME, err), "column name");
        Check(OCIAttrGet(col, OCI_DTYPE_PARAM, &type, NULL, OCI_ATTR_DATA_TYPE, err), "column type");
        Check(OCIAttrGet(col, OCI_DTYPE_PARAM, &size, NULL, OCI_ATTR_DATA_SIZE, err), "column size");
        EXPECT(nameLen == strlen(names[i - 1]) && memcmp(name, names[i - 1], nameLen) == 0, "column %u is %.*s", i,
               (int)nameLen, (const char*)name);
        EXPECT(type == types[i - 1] && size == sizes[i - 1], "column %u type %u size %u", i, type, size);
    }
    OCIParam* none = NULL;
    EXPECT(OCIParamGet(list, OCI_DTYPE_PARAM, err, (void**)&none, 5) == OCI_ERROR, "a fifth column");
    EXPECT(OCIDescribeAny(svc, err, (void*)"nosuch", 6, OCI_OTYPE_NAME, 0, OCI_PTYPE_TABLE, dsc) == OCI_ERROR,
           "an unknown table");
    EXPECT(LastError(NULL, 0) == 4043, "error %d", LastError(NULL, 0));
    OCIHandleFree(dsc, OCI_HTYPE_DESCRIBE);
}

/* CHAR(5) holding 'ab' compares equal to a fixed-length (SQLT_AFC) bind of 'ab' and of 'ab   ',
 * and, with nonpadded semantics, unequal to a variable-length (SQLT_CHR, SQLT_STR) 'ab'. */
static void CharComparisons(void) {
    struct {
        const char* value;
        ub2 type;
        int rows;
    } cases[] = {
        {"ab", SQLT_AFC, 2}, {"ab   ", SQLT_AFC, 2}, {"ab", SQLT_CHR, 0}, {"ab", SQLT_STR, 0}, {"ab   ", SQLT_CHR, 2},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        char buf[16];
        int count = -1;
        OCIBind* b = NULL;
        OCIDefine* d = NULL;
        snprintf(buf, sizeof buf, "%s", cases[i].value);
        sb4 len = (sb4)strlen(buf) + (cases[i].type == SQLT_STR ? 1 : 0);
        OCIStmt* st = Prepare("select count(*) from emp where code = :c");
        Check(OCIBindByPos(st, &b, err, 1, buf, len, cases[i].type, NULL, NULL, NULL, 0, NULL, OCI_DEFAULT), "bind");
        Check(OCIDefineByPos(st, &d, err, 1, &count, sizeof count, SQLT_INT, NULL, NULL, NULL, OCI_DEFAULT), "define");
        Check(OCIStmtExecute(svc, st, err, 0, 0, NULL, NULL, OCI_DEFAULT), "execute");
        Check(OCIStmtFetch2(st, err, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT), "fetch");
        EXPECT(count == cases[i].rows, "'%s' as type %u matched %d rows", cases[i].value, cases[i].type, count);
        OCIStmtRelease(st, err, NULL, 0, OCI_DEFAULT);
    }
}

/* One loader: its own environment and logon, rows inserted in transactions of 200 rows that
 * stay open a while, so the other loader has to wait for the lock. */
static int Loader(int who) {
    OCIEnv* e = NULL;
    OCIError* er = NULL;
    OCISvcCtx* s = NULL;
    if (OCIEnvCreate(&e, OCI_DEFAULT, NULL, NULL, NULL, NULL, 0, NULL) != OCI_SUCCESS) return 2;
    OCIHandleAlloc(e, (void**)&er, OCI_HTYPE_ERROR, 0, NULL);
    if (OCILogon2(e, er, &s, (const OraText*)"scott", 5, (const OraText*)"tiger", 5, (const OraText*)"", 0,
                  OCI_DEFAULT) != OCI_SUCCESS)
        return 3;
    OCIStmt* st = NULL;
    const char* sql = "insert into load (who, n) values (:1, :2)";
    OCIStmtPrepare2(s, &st, er, (const OraText*)sql, (ub4)strlen(sql), NULL, 0, OCI_NTV_SYNTAX, OCI_DEFAULT);
    int n = 0;
    OCIBind* b1 = NULL;
    OCIBind* b2 = NULL;
    OCIBindByPos(st, &b1, er, 1, &who, sizeof who, SQLT_INT, NULL, NULL, NULL, 0, NULL, OCI_DEFAULT);
    OCIBindByPos(st, &b2, er, 2, &n, sizeof n, SQLT_INT, NULL, NULL, NULL, 0, NULL, OCI_DEFAULT);
    for (int batch = 0; batch < 3; ++batch) {
        for (int i = 0; i < 200; ++i, ++n) {
            if (OCIStmtExecute(s, st, er, 1, 0, NULL, NULL, OCI_DEFAULT) != OCI_SUCCESS) {
                char text[512] = "";
                sb4 code = 0;
                OCIErrorGet(er, 1, NULL, &code, (OraText*)text, sizeof text, OCI_HTYPE_ERROR);
                fprintf(stderr, "loader %d row %d: %s", who, n, text);
                return 4;
            }
        }
        usleep(150 * 1000);
        if (OCITransCommit(s, er, OCI_DEFAULT) != OCI_SUCCESS) return 5;
    }
    OCIStmtRelease(st, er, NULL, 0, OCI_DEFAULT);
    OCILogoff(s, er);
    OCIHandleFree(e, OCI_HTYPE_ENV);
    return 0;
}

static void TwoLoaders(void) {
    Run("create table load (who number(1), n number(6))");
    pid_t pids[2];
    for (int who = 0; who < 2; ++who) {
        fflush(NULL);
        pids[who] = fork();
        if (pids[who] == 0) _exit(Loader(who + 1));
    }
    for (int who = 0; who < 2; ++who) {
        int status = 0;
        waitpid(pids[who], &status, 0);
        EXPECT(WIFEXITED(status) && WEXITSTATUS(status) == 0, "loader %d ended with status %d", who + 1, status);
    }
    EXPECT(QueryInt("select count(*) from load where who = 1") == 600, "rows of loader 1");
    EXPECT(QueryInt("select count(*) from load where who = 2") == 600, "rows of loader 2");
}

static int RemoveEntry(const char* path, const struct stat* sb, int flag, struct FTW* ftw) {
    (void)sb;
    (void)flag;
    (void)ftw;
    return remove(path);
}

int main(void) {
    /* a private default database: the logon with an empty connect string creates it */
    char dir[] = "/tmp/ocilite-guide-XXXXXX";
    if (mkdtemp(dir) == NULL) return 100;
    setenv("XDG_DATA_HOME", dir, 1);
    setenv("OCILITE_LOCK_TIMEOUT_MS", "10000", 1);
    unsetenv("NLS_LANG");

    Check(OCIEnvCreate(&env, OCI_DEFAULT, NULL, NULL, NULL, NULL, 0, NULL), "OCIEnvCreate");
    Check(OCIHandleAlloc(env, (void**)&err, OCI_HTYPE_ERROR, 0, NULL), "error handle");
    OCIServer* srv = NULL;
    OCISession* usr = NULL;
    LogonWithAttach(&srv, &usr);
    VersionsAndPing();
    RefusedLogons();
    Run("create table emp (id number(5) primary key, name varchar2(20), code char(5), sal number)");
    ArrayInsert();
    BoundUpdateAndInsertSelect();
    FetchArrayOfStruct();
    DescribeTable();
    CharComparisons();
    TwoLoaders();

    Check(OCISessionEnd(svc, err, usr, OCI_DEFAULT), "OCISessionEnd");
    EXPECT(OCIPing(svc, err, OCI_DEFAULT) == OCI_ERROR, "ping after the session ended");
    Check(OCIServerDetach(srv, err, OCI_DEFAULT), "OCIServerDetach");
    OCIHandleFree(env, OCI_HTYPE_ENV);
    OCITerminate(OCI_DEFAULT);
    nftw(dir, RemoveEntry, 8, FTW_DEPTH | FTW_PHYS);
    if (failures == 0) printf("all checks passed\n");
    return failures > 100 ? 100 : failures;
}
