#include "oci/TOCI8Func.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "oci/ClientCharsets.h"

namespace tabrook {

namespace {

// Entries that must exist, each with its own message, in the order they are checked
// (the statement fetch before the two bind functions).
constexpr const char* kRequiredOwnMessage[] = {
    "OCIInitialize",      "OCIEnvInit",        "OCIHandleAlloc",   "OCILogon",      "OCILogoff",     "OCIStmtPrepare",
    "OCIStmtExecute",     "OCIDefineByPos",    "OCIStmtFetch",     "OCIHandleFree", "OCIErrorGet",   "OCIAttrGet",
    "OCIAttrSet",         "OCITransCommit",    "OCITransRollback", "OCIParamGet",   "OCIBindByName", "OCIBindByPos",
    "OCIDescriptorAlloc", "OCIDescriptorFree", "OCIDateToText",    "OCIRawPtr",     "OCIStringPtr",
};

constexpr const char* kDateGroup[] = {"OCIDateFromText", "OCIDateToText",  "OCIDateSysDate",
                                      "OCIDateCheck",    "OCIDateLastDay", "OCIDateNextDay"};

constexpr const char* kNumberGroup[] = {"OCINumberAbs",     "OCINumberAdd",      "OCINumberAssign",   "OCINumberCeil",
                                        "OCINumberCmp",     "OCINumberDiv",      "OCINumberExp",      "OCINumberFloor",
                                        "OCINumberFromInt", "OCINumberFromReal", "OCINumberIntPower", "OCINumberIsZero",
                                        "OCINumberLog",     "OCINumberMod",      "OCINumberMul",      "OCINumberRound",
                                        "OCINumberSetZero", "OCINumberSub",      "OCINumberToInt",    "OCINumberToReal",
                                        "OCINumberToText",  "OCINumberTrunc"};

constexpr const char* kLobGroup[] = {"OCILobEnableBuffering",
                                     "OCILobDisableBuffering",
                                     "OCILobFileExists",
                                     "OCILobGetLength",
                                     "OCILobFileIsOpen",
                                     "OCILobCharSetForm",
                                     "OCILobCharSetId",
                                     "OCILobWrite",
                                     "OCILobFileOpen",
                                     "OCILobFileClose",
                                     "OCILobRead",
                                     "OCILobCopy",
                                     "OCILobTrim",
                                     "OCILobFlushBuffer",
                                     "OCILobFileGetName",
                                     "OCILobFileSetName"};

constexpr const char* kLoadFailure = "libclntsh.so or libocilite.soのロードに失敗しました";
constexpr const char* kInitFailure = "OCIの初期化に失敗しました";
constexpr const char* kErrorHandleFailure = "OCIのエラーハンドル初期化に失敗しました";
constexpr const char* kAmerican = "American";

template <std::size_t N>
bool AnyMissing(const OciEntryTable& fn, const char* const (&names)[N]) {
    for (const char* name : names) {
        if (fn.ByName(name) == nullptr) return true;
    }
    return false;
}

}  // namespace

TOCI8Func::TOCI8Func() : ProgramFolder(OciLibrary::ExecutableFolder()) {}

TOCI8Func::~TOCI8Func() = default;

void TOCI8Func::Raise(const std::string& message, sb4 code) {
    SetError(code, message);
    throw TOCIException(message);
}

void TOCI8Func::InitOCI() {
    ClearError();
    if (Activated) return;
    OCIVersion = "9.2";

    if (!library_.Load(ProgramFolder)) {
        // The loader's own reason tells a broken client from a missing one.
        std::string message = kLoadFailure;
        for (const std::string& reason : library_.LoadFailures()) message += " (" + reason + ")";
        Raise(message);
    }
    fn_.Resolve(library_);
    CheckEntries();
    DetectLevel();

    sword status = fn_.OCIInitialize(OCI_OBJECT, nullptr, nullptr, nullptr, nullptr);
    if (status != 0) Raise(kInitFailure, status);
    status = fn_.OCIEnvInit(&hEnv, OCI_DEFAULT, 0, nullptr);
    if (status != 0) {
        hEnv = nullptr;
        Raise(kInitFailure, status);
    }
    void* err = nullptr;
    status = fn_.OCIHandleAlloc(hEnv, &err, OCI_HTYPE_ERROR, 0, nullptr);
    if (status != 0) {
        fn_.OCIHandleFree(hEnv, OCI_HTYPE_ENV);
        hEnv = nullptr;
        Raise(kErrorHandleFailure, status);
    }
    hErr = static_cast<OCIError*>(err);
    Activated = true;
}

void TOCI8Func::CheckEntries() {
    for (const char* name : kRequiredOwnMessage) {
        if (fn_.ByName(name) == nullptr) Raise(std::string("エントリ") + name + "のロードに失敗しました");
    }
    if (AnyMissing(fn_, kDateGroup)) Raise("Date系エントリのロードに失敗しました");
    if (AnyMissing(fn_, kNumberGroup)) Raise("Number系エントリのロードに失敗しました");
    if (AnyMissing(fn_, kLobGroup)) Raise("Lob系エントリのロードに失敗しました");
}

void TOCI8Func::DetectLevel() {
    // Each step overrides the previous one: the oldest missing feature decides the level.
    if (library_.Symbol(kOciLevelProbeName) == nullptr) OCIVersion = "9.0";
    if (fn_.OCIDateTimeToText == nullptr || fn_.OCIDateTimeSysTimeStamp == nullptr ||
        fn_.OCIIntervalToText == nullptr) {
        OCIVersion = " 8.1";
    }
    if (fn_.OCILobIsOpen == nullptr) OCIVersion = "8.0";
}

void TOCI8Func::TermOCI() {
    ClearError();
    if (!Activated) return;
    if (library_.Loaded()) {
        if (hEnv != nullptr) fn_.OCIHandleFree(hEnv, OCI_HTYPE_ENV);
        library_.Unload();
    }
    // Freeing the environment freed every handle under it; nothing may call into the library now.
    hEnv = nullptr;
    hErr = nullptr;
    maxBytesPerChar_ = 0;
    messageCharset_.clear();
    fn_.Clear();
    Activated = false;
}

std::string TOCI8Func::ClientCharsetName() {
    if (const char* nlsLang = std::getenv("NLS_LANG"); nlsLang != nullptr) {
        std::string_view value(nlsLang);
        if (const std::size_t dot = value.rfind('.'); dot != std::string_view::npos) {
            value.remove_prefix(dot + 1);
            while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.remove_suffix(1);
            while (!value.empty() && std::isspace(static_cast<unsigned char>(value.front()))) value.remove_prefix(1);
            std::string name(value);
            for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (!name.empty()) return name;
        }
    }
    if (hEnv != nullptr && fn_.OCIAttrGet != nullptr) {
        ub2 id = 0;
        if (fn_.OCIAttrGet(hEnv, OCI_HTYPE_ENV, &id, nullptr, OCI_ATTR_ENV_CHARSET_ID, hErr) == OCI_SUCCESS) {
            if (const KnownCharset* known = FindCharsetById(id)) return known->Oracle;
        }
    }
    return "AL32UTF8";
}

std::string TOCI8Func::ClientTextToUtf8(std::string_view text) {
    bool ascii = true;
    for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(text);
    if (messageCharset_.empty()) messageCharset_ = ClientCharsetName();
    const KnownCharset* known = FindCharsetByName(messageCharset_);
    return ConvertToUtf8(text, known != nullptr ? known->Iconv : nullptr);
}

std::string TOCI8Func::WarningText() {
    sb4 code = 0;
    char buffer[512] = {};
    if (fn_.OCIErrorGet != nullptr && hErr != nullptr) {
        fn_.OCIErrorGet(hErr, 1, nullptr, &code, reinterpret_cast<OraText*>(buffer), sizeof buffer, OCI_HTYPE_ERROR);
    }
    buffer[sizeof buffer - 1] = '\0';
    std::string text = ClientTextToUtf8(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text.empty() ? "OCI_SUCCESS_WITH_INFO" : text;
}

int TOCI8Func::ClientMaxBytesPerChar() {
    // The client converts character data into its own character set; a text buffer must hold
    // the longest character of that set for every character of the column.
    using NumericInfoGet = sword (*)(void*, OCIError*, sb4*, ub2);
    if (maxBytesPerChar_ > 0) return maxBytesPerChar_;
    maxBytesPerChar_ = kDefaultMaxBytesPerChar;
    if (auto get = reinterpret_cast<NumericInfoGet>(library_.Symbol("OCINlsNumericInfoGet"));
        get != nullptr && hEnv != nullptr) {
        sb4 value = 0;
        if (get(hEnv, hErr, &value, OCI_NLS_CHARSET_MAXBYTESZ) == 0 && value >= 1 && value <= 8)
            maxBytesPerChar_ = value;
    }
    return maxBytesPerChar_;
}

OciError TOCI8Func::Check(sword status) {
    OciError error;
    error.Code = status;
    error.Action = ActionOf(status, 0);
    switch (status) {
        case 0: break;
        case 1: error.Message = "Error - OCI_SUCCESS_WITH_INFO"; break;
        case 99: error.Message = "Error - OCI_NEED_DATA"; break;
        case 100: error.Message = "Error - OCI_NODATA"; break;
        case -2: error.Message = "Error - OCI_INVALID_HANDLE"; break;
        case -3123: error.Message = "Error - OCI_STILL_EXECUTE"; break;
        case -24200: error.Message = "Error - OCI_CONTINUE"; break;
        case -1: {
            sb4 code = 0;
            char buffer[512] = {};
            // Oracle's client records some failures (OCIHandleAlloc among them) on the
            // environment handle rather than on the error handle: both are asked.
            if (fn_.OCIErrorGet != nullptr && hErr != nullptr) {
                fn_.OCIErrorGet(hErr, 1, nullptr, &code, reinterpret_cast<OraText*>(buffer), sizeof buffer,
                                OCI_HTYPE_ERROR);
            }
            if (code == 0 && fn_.OCIErrorGet != nullptr && hEnv != nullptr) {
                buffer[0] = '\0';
                fn_.OCIErrorGet(hEnv, 1, nullptr, &code, reinterpret_cast<OraText*>(buffer), sizeof buffer,
                                OCI_HTYPE_ENV);
            }
            buffer[sizeof buffer - 1] = '\0';
            if (code == 0) {
                // No record anywhere: the call still failed, and the status says how.
                error.Message = "Error - OCI_ERROR";
                break;
            }
            error.Message = ClientTextToUtf8(buffer);
            error.Code = code;
            error.Action = ActionOf(status, code);
            break;
        }
        default: break;
    }
    return error;
}

void TOCI8Func::Require(const void* entry, const char* name) {
    // A service called before activation, or on a client without the entry, fails with the
    // entry's load message instead of calling through a null pointer.
    if (entry == nullptr) Raise(std::string("エントリ") + name + "のロードに失敗しました");
}

void TOCI8Func::RequireFormatLength(const std::string& format) {
    // The client takes a format's length in one byte: a longer one would arrive cut short and
    // render as a different format. It is refused as Oracle refuses it.
    if (format.size() > kMaxFormatLength) Raise("ORA-01801: date format is too long for internal buffer", 1801);
}

void TOCI8Func::RaiseOnStatus(sword status) {
    if (status == 0) return;
    SetError(Check(status));
    throw TOCIException(ErrMsg());
}

std::string TOCI8Func::DateToStr(const OCIDate& date, const std::string& format) {
    std::string text;
    DateToStr(date, format, text);
    return text;
}

void TOCI8Func::DateToStr(const OCIDate& date, const std::string& format, std::string& out) {
    Require(reinterpret_cast<const void*>(fn_.OCIDateToText), "OCIDateToText");
    const std::string& fmt = format.empty() ? DateFormat : format;
    RequireFormatLength(fmt);
    oratext buffer[256] = {};
    ub4 size = sizeof buffer;
    // The language name is passed with its own length (the terminator is not part of it).
    sword status = fn_.OCIDateToText(hErr, &date, reinterpret_cast<const oratext*>(fmt.data()),
                                     static_cast<ub1>(fmt.size()), reinterpret_cast<const oratext*>(kAmerican),
                                     static_cast<ub4>(std::strlen(kAmerican)), &size, buffer);
    RaiseOnStatus(status);
    out.assign(reinterpret_cast<const char*>(buffer), std::min<ub4>(size, sizeof buffer));
}

OCIDate TOCI8Func::SysDate() {
    Require(reinterpret_cast<const void*>(fn_.OCIDateSysDate), "OCIDateSysDate");
    OCIDate date{};
    RaiseOnStatus(fn_.OCIDateSysDate(hErr, &date));
    return date;
}

void TOCI8Func::SysTimeStamp(OCIDateTime* datetime) {
    Require(reinterpret_cast<const void*>(fn_.OCIDateTimeSysTimeStamp), "OCIDateTimeSysTimeStamp");
    RaiseOnStatus(fn_.OCIDateTimeSysTimeStamp(hEnv, hErr, datetime));
}

void* TOCI8Func::DescAlloc(ub4 type) {
    Require(reinterpret_cast<const void*>(fn_.OCIDescriptorAlloc), "OCIDescriptorAlloc");
    void* descriptor = nullptr;
    RaiseOnStatus(fn_.OCIDescriptorAlloc(hEnv, &descriptor, type, 0, nullptr));
    return descriptor;
}

void TOCI8Func::DescFree(void*& descriptor, ub4 type) {
    Require(reinterpret_cast<const void*>(fn_.OCIDescriptorFree), "OCIDescriptorFree");
    RaiseOnStatus(fn_.OCIDescriptorFree(descriptor, type));
    descriptor = nullptr;
}

NumberDigitsResult TOCI8Func::NumberDigits(const OCINumber& number) {
    Require(reinterpret_cast<const void*>(fn_.OCINumberAbs), "OCINumberAbs");
    OCINumber a{};
    RaiseOnStatus(fn_.OCINumberAbs(hErr, &number, &a));
    boolean zero = 0;
    RaiseOnStatus(fn_.OCINumberIsZero(hErr, &a, &zero));
    if (zero) return {1, false};

    const sb4 ten = 10;
    const sb4 one = 1;
    OCINumber nTen{}, nOne{}, log{}, sum{}, floorSum{}, floorA{};
    RaiseOnStatus(fn_.OCINumberFromInt(hErr, &ten, sizeof ten, OCI_NUMBER_SIGNED, &nTen));
    RaiseOnStatus(fn_.OCINumberFromInt(hErr, &one, sizeof one, OCI_NUMBER_SIGNED, &nOne));
    RaiseOnStatus(fn_.OCINumberLog(hErr, &nTen, &a, &log));
    RaiseOnStatus(fn_.OCINumberAdd(hErr, &log, &nOne, &sum));
    RaiseOnStatus(fn_.OCINumberFloor(hErr, &sum, &floorSum));
    sb4 digits = 0;
    RaiseOnStatus(fn_.OCINumberToInt(hErr, &floorSum, sizeof digits, OCI_NUMBER_SIGNED, &digits));

    RaiseOnStatus(fn_.OCINumberFloor(hErr, &a, &floorA));
    sword cmp = 0;
    RaiseOnStatus(fn_.OCINumberCmp(hErr, &a, &floorA, &cmp));
    return {digits, cmp != 0};
}

std::string TOCI8Func::DateTimeToStr(const OCIDateTime* datetime, ub1 fsprec, const std::string& format) {
    std::string text;
    DateTimeToStr(datetime, fsprec, format, text);
    return text;
}

void TOCI8Func::DateTimeToStr(const OCIDateTime* datetime, ub1 fsprec, const std::string& format, std::string& out) {
    Require(reinterpret_cast<const void*>(fn_.OCIDateTimeToText), "OCIDateTimeToText");
    const std::string& fmt = format.empty() ? TimeStampFormat : format;
    RequireFormatLength(fmt);
    OraText buffer[256] = {};
    ub4 size = sizeof buffer;
    RaiseOnStatus(fn_.OCIDateTimeToText(hEnv, hErr, datetime, reinterpret_cast<const OraText*>(fmt.data()),
                                        static_cast<ub1>(fmt.size()), fsprec, nullptr, 0, &size, buffer));
    out.assign(reinterpret_cast<const char*>(buffer), std::min<ub4>(size, sizeof buffer));
}

std::string TOCI8Func::IntervalToStr(const OCIInterval* interval, ub1 lfprec, ub1 fsprec) {
    Require(reinterpret_cast<const void*>(fn_.OCIIntervalToText), "OCIIntervalToText");
    OraText buffer[256] = {};
    size_t size = 0;
    RaiseOnStatus(fn_.OCIIntervalToText(hEnv, hErr, interval, lfprec, fsprec, buffer, sizeof buffer, &size));
    return std::string(reinterpret_cast<const char*>(buffer), std::min<size_t>(size, sizeof buffer));
}

}  // namespace tabrook
