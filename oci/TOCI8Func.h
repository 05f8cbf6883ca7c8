#pragma once
// TOCI8Func: owns the OCI library loaded at run time, its entry table, the environment and error
// handles; turns OCI statuses into message text and offers the date, timestamp, interval and
// number conversions. TOCI8Ctrl derives from it; one instance per process is the usual case,
// but nothing here is global, so several can coexist.

#include <string>
#include <string_view>

#include "oci/OciEntryTable.h"
#include "oci/OciError.h"
#include "oci/OciLibrary.h"
#include "oci/TOCIException.h"

namespace tabrook {

// Integer digits of a number and whether it has a fractional part (NumberDigits).
struct NumberDigitsResult {
    int Digits = 0;
    bool HasFraction = false;
    bool operator==(const NumberDigitsResult&) const = default;
};

class TOCI8Func : public OciErrorHolder {
public:
    TOCI8Func();
    virtual ~TOCI8Func();
    TOCI8Func(const TOCI8Func&) = delete;
    TOCI8Func& operator=(const TOCI8Func&) = delete;

    // Loads the library, resolves and checks the entries, detects the client level and creates
    // the handles. Does nothing when already activated. Throws TOCIException on failure.
    void InitOCI();
    // Frees the environment and unloads the library.
    virtual void TermOCI();

    // The error value of an OCI status: after OCI_ERROR the Oracle error number and text of the
    // first record on the error handle (or the environment's), else the status and its name.
    OciError Check(sword status);

    // Conversion services; each throws TOCIException (message = ErrMsg) on a non-zero status.
    std::string DateToStr(const OCIDate& date, const std::string& format);
    // Same, into `out` (its contents replaced), so a caller can reuse one string per column.
    void DateToStr(const OCIDate& date, const std::string& format, std::string& out);
    OCIDate SysDate();
    void SysTimeStamp(OCIDateTime* datetime);
    void* DescAlloc(ub4 type);
    void DescFree(void*& descriptor, ub4 type);
    NumberDigitsResult NumberDigits(const OCINumber& number);
    std::string DateTimeToStr(const OCIDateTime* datetime, ub1 fsprec, const std::string& format);
    void DateTimeToStr(const OCIDateTime* datetime, ub1 fsprec, const std::string& format, std::string& out);
    std::string IntervalToStr(const OCIInterval* interval, ub1 lfprec, ub1 fsprec);

    // The text of the first record on the error handle after OCI_SUCCESS_WITH_INFO (a warning
    // such as ORA-28002), without its line end.
    std::string WarningText();
    // The most bytes one character takes in the client's character set (OCI_NLS_CHARSET_MAXBYTESZ
    // where the client tells it, else kDefaultMaxBytesPerChar).
    int ClientMaxBytesPerChar();
    static constexpr int kDefaultMaxBytesPerChar = 4;
    // The Oracle name of the client's character set (upper case, such as "JA16SJIS"): the one
    // NLS_LANG names (the client library itself follows it), else the environment's, else
    // "AL32UTF8".
    std::string ClientCharsetName();
    // Text the client library produced (an error message, which may quote a column name or a
    // value) as the program's UTF-8.
    std::string ClientTextToUtf8(std::string_view text);

    // The longest date or timestamp format the client takes (its length travels in a ub1).
    static constexpr std::size_t kMaxFormatLength = 255;

    const OciEntryTable& Entries() const { return fn_; }
    // The path of the loaded library (empty when none is loaded).
    const std::string& LibraryPath() const { return library_.Path(); }
    // The loader's reasons for client libraries that were found but could not be loaded, and
    // whether the embedded engine stands in for such a client.
    const std::vector<std::string>& LibraryLoadFailures() const { return library_.LoadFailures(); }
    bool FellBackToEmbedded() const { return library_.FellBack(); }
    // Folder searched for libocilite.so; the executable's folder unless set (tests set it).
    std::string ProgramFolder;

    // Read by callers; written only by this layer.
    OCIEnv* hEnv = nullptr;
    OCIError* hErr = nullptr;
    bool Activated = false;
    std::string OCIVersion;
    std::string DateFormat = "YYYY/MM/DD HH24:MI:SS";
    std::string TimeStampFormat = "YYYY/MM/DD HH24:MI:SSXFF TZH:TZM";

protected:
    OciEntryTable fn_;

private:
    [[noreturn]] void Raise(const std::string& message, sb4 code = -1);
    void CheckEntries();
    void DetectLevel();
    // Runs CheckErr on a non-zero status and throws its text.
    void RaiseOnStatus(sword status);
    void Require(const void* entry, const char* name);
    // Raises ORA-01801 for a format longer than kMaxFormatLength.
    void RequireFormatLength(const std::string& format);

    OciLibrary library_;
    int maxBytesPerChar_ = 0;
    std::string messageCharset_;  // ClientCharsetName() as of the first non-ASCII message
};

}  // namespace tabrook
