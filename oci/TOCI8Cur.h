#pragma once
// TOCI8Cur: runs one SQL statement at a time through its connection. Prepares the statement on
// its own statement handle, binds the variables of Binds by name, executes, and for a query
// describes and defines the select list and fetches row by row, rendering every value of the
// current row as text into Values.
//
// Operations return false on failure and leave the reason in ErrMsg and ErrCode; ErrCode is -1
// for a refusal of the cursor itself, 100 after the last row, else Oracle's error number.
//
// Values that cannot be rendered: a value whose conversion to text fails keeps the text it has
// always had (empty for dates and intervals, the Oracle message for numbers and timestamps), but
// the failure is no longer silent. After a Fetch that returned true:
//   - ConvertFailed() is true when at least one value of the row could not be converted;
//   - ErrCode then holds the Oracle error number of the first such value (-1 when OCI gave none),
//     ErrMsg its message, and ConvertFailedColumn() its index in Columns;
//   - otherwise ErrMsg is empty and ErrCode is the fetch status (0, or 1 for success with info).
// Anything that must not write a wrong value as data (an export) checks ConvertFailed() after
// every true Fetch.

#include <functional>
#include <string>
#include <vector>

#include "oci/BindAttr.h"
#include "oci/ColumnList.h"
#include "oci/TOCI8Base.h"

namespace tabrook {

class TOCI8Lob;

class TOCI8Cur : public TOCI8Base {
public:
    TOCI8Cur();
    ~TOCI8Cur() override;

    const std::string& SQL() const { return sql_; }
    void SetSQL(const std::string& text);

    bool Parse(sb4 arg = 0);
    bool Execute(sb4 arg = 0);
    bool ExecuteWithBind(sb4 arg = 0);
    bool Fetch();
    bool CleanUp() override;
    // Throws TOCIException while a statement handle is open.
    void SetParent(TOCI8Ctrl* parent) override;
    // Copies the rowid of the last row touched into a rowid descriptor.
    // Throws TOCIException without a connection.
    bool GetRowid(OCIRowid* rowid);

    // Column description and rendering.
    bool DescrCur(ub4 index, describe& d);
    bool DefineCur(ub4 index, OCILobLocator** lob);
    std::string ValToStr(DataAttr& column);
    // Same, into `out` (its contents replaced): Fetch renders each row into the strings of
    // the previous one.
    void ValToStr(DataAttr& column, std::string& out);

    bool Opened() const { return opened_; }
    bool Parsed() const { return parsed_; }
    // Rows fetched so far (a query) or processed by the last execute (any other statement).
    sb4 RowCount() const { return rowCount_; }
    ub2 StmtType() const { return stmtType_; }
    bool ConvertFailed() const { return convertFailed_; }
    int ConvertFailedColumn() const { return convertFailedColumn_; }

    std::vector<std::string> Values;
    ColumnList Columns;
    BindList Binds;
    bool DataString = true;
    // Called after a successful prepare with the statement type and Parse's argument; false cancels.
    std::function<bool(ub2 stmtType, sb4 arg)> OnParse;
    // Called for each CLOB, BLOB or BFILE column of a query; may hand out a LOB component.
    std::function<bool(DataAttr& column, sb4 arg, TOCI8Lob*& lob)> OnNeedLob;

private:
    bool GoExecute(sb4 arg);
    bool GoExecuteSelect(sb4 arg);
    bool GoExecuteSQL() { return ExecuteCur(); }
    bool BindValues();
    bool ParseCur(const std::string& text);
    bool ExecuteCur();
    // Asks the client library to prefetch a query's rows in blocks (see kPrefetchRows).
    void SetPrefetch();
    bool FetchCur();
    bool DefineLobColumn(DataAttr& column, ub4 index, sb4 arg, bool& defined);
    void ClearResults();
    // Records a failed conversion of the current value (ErrCode/ErrMsg as the failure left them).
    void NoteConvertFailure();

    std::string sql_;
    bool opened_ = false;
    bool parsed_ = false;
    sb4 rowCount_ = 0;
    ub2 stmtType_ = 0;
    bool convertFailed_ = false;
    int convertFailedColumn_ = -1;
    bool valueFailed_ = false;
};

}  // namespace tabrook
