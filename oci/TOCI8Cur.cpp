#include "oci/TOCI8Cur.h"

#include <algorithm>
#include <cstring>

#include "oci/ColumnKind.h"
#include "oci/TOCI8Ctrl.h"
#include "oci/TOCI8Lob.h"

namespace tabrook {

namespace {

// Rows the client library brings per round trip to the server for a query. Fetch still takes
// one row a call; the library hands them out of its buffer, so a query of many rows costs one
// round trip per kPrefetchRows rows instead of one a row (OCI's default prefetch is one row).
constexpr ub4 kPrefetchRows = 5000;
// And at most this much memory for one round trip's rows: a table of wide rows (many long
// columns) gets fewer rows a trip instead of hundreds of megabytes of buffer. Rows of up to
// 3 KB still come 5000 at a time.
constexpr ub4 kPrefetchMemory = 16 * 1024 * 1024;


// Frees the parameter descriptor OCIParamGet handed out, whatever path DescrCur leaves by.
class ParamGuard {
public:
    ParamGuard(const OciEntryTable& fn, void* param) : fn_(fn), param_(param) {}
    ~ParamGuard() {
        if (param_ != nullptr) fn_.OCIDescriptorFree(param_, OCI_DTYPE_PARAM);
    }
    ParamGuard(const ParamGuard&) = delete;
    ParamGuard& operator=(const ParamGuard&) = delete;

private:
    const OciEntryTable& fn_;
    void* param_;
};

}  // namespace

TOCI8Cur::TOCI8Cur() = default;

TOCI8Cur::~TOCI8Cur() {
    Columns.Clear();
    CleanUp();
    if (parent_ != nullptr) parent_->CtrlFree(this);
}

void TOCI8Cur::SetSQL(const std::string& text) {
    if (text != sql_) {
        parsed_ = false;
        Binds.clear();
    }
    sql_ = text;
}

void TOCI8Cur::SetParent(TOCI8Ctrl* parent) {
    if (opened_) throw TOCIException("Cursorがオープンしている間はOCI-Controlへのバインドは変更できません");
    Columns.SetOwner(parent);
    TOCI8Base::SetParent(parent);
}

void TOCI8Cur::ClearResults() {
    Values.clear();
    Columns.Clear();
    rowCount_ = 0;
}

bool TOCI8Cur::CleanUp() {
    parsed_ = false;
    if (!opened_) return true;
    if (parent_ != nullptr && !parent_->Activated) {
        // The environment was freed and took the statement handle with it.
        hStmt = nullptr;
        opened_ = false;
        ClearResults();
        return true;
    }
    const bool ok = FreeHandle();
    if (ok) opened_ = false;
    ClearResults();
    return ok;
}

bool TOCI8Cur::Parse(sb4 arg) {
    if (sql_.empty()) {
        SetError(-1, "SQLが未入力です");
        return false;
    }
    rowCount_ = 0;
    if (!CleanUp()) return false;
    if (!AllocHandle()) return false;
    opened_ = true;
    std::string text = sql_;
    // OCI takes one statement without its terminator; a blank after the semicolon keeps it.
    if (text.back() == ';') text.pop_back();
    if (!ParseCur(text)) return false;
    parsed_ = true;
    if (OnParse && !OnParse(stmtType_, arg)) {
        SetError(0, "ユーザーによるキャンセル");  // refused by the caller, not by OCI
        return false;
    }
    return true;
}

bool TOCI8Cur::ParseCur(const std::string& text) {
    if (!ConnChk()) return false;
    const OciEntryTable& fn = parent_->Entries();
    sword status = fn.OCIStmtPrepare(hStmt, parent_->hErr, reinterpret_cast<const OraText*>(text.c_str()),
                                     static_cast<ub4>(text.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
    SetError(parent_->Check(status));
    if (status != 0) return false;
    ub2 type = 0;
    status = fn.OCIAttrGet(hStmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, parent_->hErr);
    SetError(parent_->Check(status));
    stmtType_ = type;
    return status == 0;
}

bool TOCI8Cur::Execute(sb4 arg) {
    if (!Parse(arg)) return false;
    Values.clear();
    Columns.Clear();
    return GoExecute(arg);
}

bool TOCI8Cur::ExecuteWithBind(sb4 arg) {
    if (!parsed_) {
        SetError(-1, "SQLが解析されていません。");
        return false;
    }
    Values.clear();
    Columns.Clear();
    return GoExecute(arg);
}

bool TOCI8Cur::GoExecute(sb4 arg) {
    switch (stmtType_) {
        case OCI_STMT_SELECT: return BindValues() && GoExecuteSelect(arg);
        case OCI_STMT_BEGIN:
        case OCI_STMT_DECLARE:
            SetError(-1, "PL/SQLは実行できません");
            return false;
        default: return BindValues() && GoExecuteSQL();
    }
}

bool TOCI8Cur::BindValues() {
    if (!ConnChk()) return false;
    const OciEntryTable& fn = parent_->Entries();
    // One bind handle variable per pass; the handles belong to the statement.
    OCIBind* bind = nullptr;
    for (auto& entry : Binds) {
        BindAttr& b = *entry;
        void* value = nullptr;
        sb4 size = 0;
        ub2 type = 0;
        switch (b.BindType) {
            case kBindText:
                type = SQLT_STR;
                value = b.Text.data();
                size = b.IsNull ? 0 : static_cast<sb4>(b.Text.size() + 1);
                break;
            case kBindInteger:
                type = SQLT_INT;
                value = &b.Integer;
                size = b.IsNull ? 0 : static_cast<sb4>(sizeof b.Integer);
                break;
            case kBindDate:
                type = SQLT_ODT;
                value = &b.Date;
                size = b.IsNull ? 0 : static_cast<sb4>(sizeof b.Date);
                break;
            case kBindDouble:
                type = SQLT_FLT;
                value = &b.Double;
                size = b.IsNull ? 0 : static_cast<sb4>(sizeof b.Double);
                break;
            case kBindFloat:
                type = SQLT_FLT;
                value = &b.Float;
                size = b.IsNull ? 0 : static_cast<sb4>(sizeof b.Float);
                break;
            case kBindRowid:
                type = SQLT_RDD;
                value = &b.Rowid;
                size = static_cast<sb4>(sizeof(OCIRowid*));
                break;
            case kBindBlob:
            case kBindClob:
            case kBindBFile:
                type = b.BindType == kBindBlob ? SQLT_BLOB : b.BindType == kBindClob ? SQLT_CLOB : SQLT_BFILEE;
                value = b.Lob;
                size = static_cast<sb4>(sizeof(OCILobLocator*));
                break;
            default: return false;
        }
        sword status = fn.OCIBindByName(hStmt, &bind, parent_->hErr, reinterpret_cast<const OraText*>(b.Name.c_str()),
                                        static_cast<sb4>(b.Name.size()), value, size, type, nullptr, nullptr, nullptr,
                                        0, nullptr, OCI_DEFAULT);
        SetError(parent_->Check(status));
        if (status != 0) return false;
    }
    return true;
}

bool TOCI8Cur::ExecuteCur() {
    if (!ConnChk()) return false;
    const ub4 iterations = stmtType_ == OCI_STMT_SELECT ? 0 : 1;
    sword status = parent_->Entries().OCIStmtExecute(parent_->hSvc, hStmt, parent_->hErr, iterations, 0, nullptr,
                                                     nullptr, OCI_DEFAULT);
    SetError(parent_->Check(status));
    return status == 0 || status == static_cast<sword>(OCI_NO_DATA);
}

void TOCI8Cur::SetPrefetch() {
    if (!ConnChk()) return;
    // Prefetching only changes how many rows travel per round trip, never which rows a fetch
    // returns: a client library that refuses either attribute leaves the query as it was, so
    // the status is ignored and ErrCode/ErrMsg are left alone.
    const OciEntryTable& fn = parent_->Entries();
    ub4 rows = kPrefetchRows;
    ub4 memory = kPrefetchMemory;
    fn.OCIAttrSet(hStmt, OCI_HTYPE_STMT, &rows, 0, OCI_ATTR_PREFETCH_ROWS, parent_->hErr);
    fn.OCIAttrSet(hStmt, OCI_HTYPE_STMT, &memory, 0, OCI_ATTR_PREFETCH_MEMORY, parent_->hErr);
}

bool TOCI8Cur::GoExecuteSelect(sb4 arg) {
    SetPrefetch();
    if (!ExecuteCur()) return false;
    const OciEntryTable& fn = parent_->Entries();
    ub4 count = 0;
    sword status = fn.OCIAttrGet(hStmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, parent_->hErr);
    SetError(parent_->Check(status));
    if (status != 0) return false;

    for (ub4 i = 0; i < count; ++i) {
        describe d;
        if (!DescrCur(i, d)) {
            if (ErrCode() == static_cast<sb4>(OCI_NO_DATA)) break;
            if (ErrCode() != 0) return false;
            continue;
        }
        if (!SizeForFetch(d)) {
            SetError(-1, "抽出不可能なカラムが選択されました");
            return false;
        }
        std::unique_ptr<DataAttr> column;
        try {
            column = BuildColumnRecord(d, *parent_);
        } catch (const TOCIException& e) {
            SetError(parent_->ErrCode(), e.what());
            return false;
        }
        if (DataString) Values.emplace_back(d.Name, std::min<std::size_t>(d.NameLen, sizeof d.Name - 1));
        Columns.Add(std::move(column));
    }

    bool anyDefined = false;
    for (ub4 i = 0; i < Columns.size(); ++i) {
        DataAttr& column = Columns[i];
        if (KindOf(column.DataType).Lob) {
            // An NCLOB travels as a CLOB locator (its charset form says national), so it is
            // defined like a CLOB and shows as "(NCLOB)" instead of silently as nothing.
            if (!DefineLobColumn(column, i, arg, anyDefined)) return false;
        } else {
            if (!DefineCur(i, nullptr)) return false;
            anyDefined = true;
        }
    }
    if (!anyDefined) {
        SetError(-1, "項目がDefineされてません");
        return false;
    }
    return true;
}

bool TOCI8Cur::DefineLobColumn(DataAttr& column, ub4 index, sb4 arg, bool& defined) {
    if (!OnNeedLob) return false;
    TOCI8Lob* lob = nullptr;
    try {
        if (!OnNeedLob(column, arg, lob)) return false;
        if (lob == nullptr) return true;
        const auto type = column.DataType == kTypeNClob ? entLob::Clob : static_cast<entLob>(column.DataType);
        if (lob->LobType() != type) {
            if (!lob->Terminate()) {
                SetError(lob->LastError());
                return false;
            }
            lob->SetLobType(type);
        }
        // Also allocates a locator for a component of the right type that has none yet.
        if (!lob->Initialize()) {
            SetError(lob->LastError());
            return false;
        }
        if (!DefineCur(index, lob->GetLobLocator())) return false;
        defined = true;
        return true;
    } catch (const std::exception&) {
        SetError(-1, "不正なTOCI8Lobが渡されました");
        return false;
    }
}

bool TOCI8Cur::DescrCur(ub4 index, describe& d) {
    if (!ConnChk()) return false;
    const OciEntryTable& fn = parent_->Entries();
    OCIError* err = parent_->hErr;
    void* param = nullptr;
    sword status = fn.OCIParamGet(hStmt, OCI_HTYPE_STMT, err, &param, index + 1);
    SetError(parent_->Check(status));
    if (ErrCode() == 24334 || status == static_cast<sword>(OCI_NO_DATA)) {
        // No parameter at that position: the end of the select list.
        SetError(OciError{static_cast<sb4>(OCI_NO_DATA), std::string(), ErrorAction::NoData});
        return false;
    }
    if (status != 0) return false;
    ParamGuard guard(fn, param);

    auto get = [&](void* target, ub4 attribute, ub4* size = nullptr) {
        sword st = fn.OCIAttrGet(param, OCI_DTYPE_PARAM, target, size, attribute, err);
        SetError(parent_->Check(st));
        return st == 0;
    };

    // Each attribute goes into a variable of the width OCI writes for it.
    ub2 dataSize = 0;
    ub2 dataType = 0;
    OraText* name = nullptr;
    ub4 nameLen = 255;
    sb2 precision = 0;
    sb1 scale = 0;
    ub1 isNull = 0;
    ub1 form = 0;
    ub2 charsetId = 0;
    if (!get(&dataSize, OCI_ATTR_DATA_SIZE)) return false;
    d.DataSize = dataSize;
    if (!get(&dataType, OCI_ATTR_DATA_TYPE)) return false;
    d.DataType = dataType;
    if (!get(&name, OCI_ATTR_NAME, &nameLen)) return false;
    const ub4 copied = name != nullptr ? std::min<ub4>(nameLen, sizeof d.Name - 1) : 0;
    if (copied > 0) std::memcpy(d.Name, name, copied);
    d.Name[copied] = '\0';
    d.NameLen = copied;
    if (!get(&precision, OCI_ATTR_PRECISION)) return false;
    d.Precision = precision;
    if (!get(&scale, OCI_ATTR_SCALE)) return false;
    d.Scale = scale;
    if (!get(&isNull, OCI_ATTR_IS_NULL)) return false;
    d.NullOk = isNull;
    if (!get(&form, OCI_ATTR_CHARSET_FORM)) return false;
    d.CharSetForm = form;
    RemapDescribedType(d);
    const bool ok = get(&charsetId, OCI_ATTR_CHARSET_ID);
    d.CharSetID = charsetId;
    if (!ok) return false;
    // The length in characters sizes the text buffer for the client's character set; a client
    // that does not tell it leaves the byte length to go by.
    ub2 charSize = 0;
    if (fn.OCIAttrGet(param, OCI_DTYPE_PARAM, &charSize, nullptr, OCI_ATTR_CHAR_SIZE, err) == 0) d.CharSize = charSize;
    ClearError();
    return true;
}

bool TOCI8Cur::DefineCur(ub4 index, OCILobLocator** lob) {
    if (!ConnChk()) return false;
    DataAttr& column = Columns[index];
    void* value = nullptr;
    sb4 size = 0;
    ub2 type = 0;
    auto plain = [&](ub2 externalType) {
        if (column.Buffer.empty()) column.Buffer.assign(1, 0);
        value = column.Buffer.data();
        size = static_cast<sb4>(column.Buffer.size());
        type = externalType;
    };
    const ColumnKind& kind = KindOf(column.DataType);
    switch (kind.Fetch) {
        case FetchAs::Descriptor:
            value = &column.Descriptor;
            size = static_cast<sb4>(sizeof(void*));
            type = kind.ExternalType;
            break;
        case FetchAs::Locator:
            // An NCLOB travels as a CLOB locator; its charset form says national.
            value = lob;
            size = -1;
            type = kind.ExternalType;
            break;
        case FetchAs::Text:
            plain(kind.Known ? kind.ExternalType : static_cast<ub2>(column.DataType));
            break;
    }
    const OciEntryTable& fn = parent_->Entries();
    OCIDefine* define = nullptr;
    sword status = fn.OCIDefineByPos(hStmt, &define, parent_->hErr, index + 1, value, size, type, &column.Indicator,
                                     &column.RetLen, nullptr, OCI_DEFAULT);
    SetError(parent_->Check(status));
    if (status != 0) return false;
    if (kind.National && !kind.Lob) {
        // Only the form: the client then converts the national characters into its own
        // character set. Setting the column's described set (AL16UTF16) here would make it
        // deliver UTF-16 into a buffer read as single-byte text.
        status = fn.OCIAttrSet(define, OCI_HTYPE_DEFINE, &column.CharSetForm, 0, OCI_ATTR_CHARSET_FORM, parent_->hErr);
        SetError(parent_->Check(status));
        if (status != 0) return false;
    }
    return true;
}

bool TOCI8Cur::FetchCur() {
    if (!ConnChk()) return false;
    // The fetch writes every defined column's indicator; none may be left from the describe
    // (which keeps the nullable flag there) to read as a truncation.
    for (std::size_t i = 0; i < Columns.size(); ++i) Columns[i].Indicator = 0;
    sword status = parent_->Entries().OCIStmtFetch(hStmt, parent_->hErr, 1, OCI_FETCH_NEXT, OCI_DEFAULT);
    SetError(parent_->Check(status));
    return status == 0 || status == 1;
}

bool TOCI8Cur::Fetch() {
    convertFailed_ = false;
    convertFailedColumn_ = -1;
    if (!FetchCur()) {
        if (DataString) {
            Values.assign(Columns.size(), std::string());
        }
        return false;
    }
    const sb4 fetchStatus = ErrCode();
    ++rowCount_;
    if (fetchStatus == 1) {
        // A value that did not fit its buffer arrives cut short (indicator: its full length):
        // like a value that cannot be converted, it must not pass as data.
        for (std::size_t i = 0; i < Columns.size(); ++i) {
            if (Columns[i].Indicator > 0 || Columns[i].Indicator == -2) {
                if (DataString) Values.assign(Columns.size(), std::string());
                convertFailed_ = true;
                convertFailedColumn_ = static_cast<int>(i);
                SetError(1406, "ORA-01406: fetched column value was truncated");
                return true;
            }
        }
    }
    if (DataString) {
        Values.resize(Columns.size());
        sb4 failedCode = 0;
        std::string failedMsg;
        for (std::size_t i = 0; i < Columns.size(); ++i) {
            ValToStr(Columns[i], Values[i]);  // into the string of the previous row: no allocation
            if (valueFailed_ && !convertFailed_) {
                convertFailed_ = true;
                convertFailedColumn_ = static_cast<int>(i);
                failedCode = ErrCode();
                failedMsg = ErrMsg();
            }
        }
        if (convertFailed_) {
            SetError(failedCode, failedMsg);
            return true;
        }
    }
    SetError(OciError{fetchStatus, std::string(), ActionOf(fetchStatus, 0)});
    return true;
}

void TOCI8Cur::NoteConvertFailure() {
    valueFailed_ = true;
    if (ErrCode() == 0) SetError(-1, ErrMsg());
}

std::string TOCI8Cur::ValToStr(DataAttr& column) {
    std::string text;
    ValToStr(column, text);
    return text;
}

void TOCI8Cur::ValToStr(DataAttr& column, std::string& out) {
    ClearError();
    valueFailed_ = false;
    out.clear();
    if (column.Indicator == -1) return;
    if (parent_ == nullptr || !parent_->Activated) return;
    switch (column.DataType) {
        case 96: {
            // Fixed-width text comes blank-padded to the whole buffer, which is sized for the
            // client's character set: the padding past the column's own width is dropped.
            if (column.Buffer.empty()) return;
            std::size_t end = column.Buffer.size() - 1;
            if (column.RetLen > 0 && column.RetLen < end) end = column.RetLen;
            const std::size_t width = static_cast<std::size_t>(std::max(column.Precision, 0));
            while (end > width && column.Buffer[end - 1] == ' ') --end;
            out.assign(reinterpret_cast<const char*>(column.Buffer.data()), end);
            return;
        }
        case 1:
        case 8:
        case 9:
        case kTypeNVarchar2:
        case kTypeNChar: {
            if (column.Buffer.empty()) return;
            // The buffer holds the value in the client's character set, which may take more
            // bytes than the column's declared length: the returned length bounds it.
            std::size_t end = column.Buffer.size() - 1;
            if (column.RetLen > 0 && column.RetLen < end) end = column.RetLen;
            column.Buffer[end] = 0;
            out.assign(reinterpret_cast<const char*>(column.Buffer.data()));
            return;
        }
        case 2:
        case 4: {
            if (column.Buffer.size() < sizeof(OCINumber)) return;
            OCINumber number;
            std::memcpy(&number, column.Buffer.data(), sizeof number);
            std::string computed;
            const std::string* mask = &column.Format;
            if (mask->empty()) {
                try {
                    const NumberDigitsResult digits = parent_->NumberDigits(number);
                    computed = ComputedNumberMask(digits.Digits, digits.HasFraction);
                    mask = &computed;
                } catch (const TOCIException& e) {
                    SetError(parent_->ErrCode(), e.what());
                    NoteConvertFailure();
                    out = ErrMsg();
                    return;
                }
            }
            OraText buffer[101] = {};
            ub4 size = sizeof buffer;
            sword status = parent_->Entries().OCINumberToText(
                parent_->hErr, &number, reinterpret_cast<const oratext*>(mask->c_str()), static_cast<ub4>(mask->size()),
                nullptr, 0, &size, buffer);
            if (status != 0) {
                SetError(parent_->Check(status));
                NoteConvertFailure();
                out = ErrMsg();
                return;
            }
            out.assign(reinterpret_cast<const char*>(buffer), std::min<ub4>(size, sizeof buffer));
            return;
        }
        case 12: {
            if (column.Buffer.size() < sizeof(OCIDate)) return;
            OCIDate date;
            std::memcpy(&date, column.Buffer.data(), sizeof date);
            try {
                parent_->DateToStr(date, "", out);
            } catch (const TOCIException& e) {
                SetError(parent_->ErrCode(), e.what());
                NoteConvertFailure();
                out.clear();
            }
            return;
        }
        case 187:
        case 188:
        case 232:
            try {
                parent_->DateTimeToStr(static_cast<const OCIDateTime*>(column.Descriptor),
                                       static_cast<ub1>(column.Precision), "", out);
            } catch (const TOCIException& e) {
                SetError(parent_->ErrCode(), e.what());
                NoteConvertFailure();
                out = ErrMsg();
            }
            return;
        case 189:
        case 190:
            try {
                // Precision holds the leading precision minus the scale (what the table display
                // shows); the conversion needs the leading precision itself.
                out = parent_->IntervalToStr(static_cast<const OCIInterval*>(column.Descriptor),
                                             static_cast<ub1>(column.Precision + column.Scale),
                                             static_cast<ub1>(column.Scale));
            } catch (const TOCIException& e) {
                SetError(parent_->ErrCode(), e.what());
                NoteConvertFailure();
                out.clear();
            }
            return;
        case 23: out = "(RAW)"; return;
        case 24: out = "(LONG RAW)"; return;
        case 104: out = "(ROWID)"; return;
        case 112: out = "(CLOB)"; return;
        case 113: out = "(BLOB)"; return;
        case 114: out = "(BFILE)"; return;
        case kTypeNClob: out = "(NCLOB)"; return;
        default: return;
    }
}

bool TOCI8Cur::GetRowid(OCIRowid* rowid) {
    if (parent_ == nullptr) throw TOCIException("TOCI8Ctrlが指定されていません");
    if (!ConnChk()) return false;
    sword status = parent_->Entries().OCIAttrGet(hStmt, OCI_HTYPE_STMT, rowid, nullptr, OCI_ATTR_ROWID, parent_->hErr);
    SetError(parent_->Check(status));
    return status == 0;
}

}  // namespace tabrook
