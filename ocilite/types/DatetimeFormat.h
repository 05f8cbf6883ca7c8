#pragma once
// A compiled datetime format model (TO_DATE, TO_TIMESTAMP, TO_TIMESTAMP_TZ, TO_CHAR and the OCI
// date-to-text services). Compiling checks the model once and throws the format errors Oracle
// raises (ORA-01821, ORA-01810, ...); the compiled model is immutable and cheap to copy, so the
// import can parse millions of values with one model. Month and day names are American English.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ocilite/types/OraTimestamp.h"

namespace ocilite {

// Astronomical day number of 1 January 1 AD. The J element counts days before it 365 lower
// (J 1 is 1 January 4712 BC), as if a year 0 of 365 days came between 1 BC and 1 AD.
constexpr int64_t kJulianFirstAd = 1721424;

enum class DatetimeKind { Date, Timestamp, TimestampTz, TimestampLtz };
enum class FormatUse { Parse, Render };

// The elements of a format model.
enum class DtElement : uint8_t {
    Literal,      // quoted text or punctuation, copied on output, matched on input
    Punctuation,  // run of non-alphanumeric characters
    SYYYY,
    YYYY,
    YYY,
    YY,
    Y,
    YCommaYYY,
    RRRR,
    RR,
    IYYY,
    IYY,
    IY,
    I,
    YEAR,
    SYEAR,
    CC,
    SCC,
    Q,
    MM,
    MON,
    MONTH,
    RM,
    WW,
    W,
    IW,
    DDD,
    DD,
    D,
    DY,
    DAY,
    J,
    HH,
    HH12,
    HH24,
    MI,
    SS,
    SSSSS,
    FF,
    AM,
    AMDots,  // AM/PM and A.M./P.M.
    AD,
    ADDots,  // AD/BC and A.D./B.C.
    X,
    TZH,
    TZM,
    TZR,
    TZD,
};

// How a name or indicator is capitalised on output, taken from the spelling in the model.
enum class DtCase : uint8_t { Upper, Lower, Initial };

struct DtItem {
    DtElement element = DtElement::Literal;
    DtCase letterCase = DtCase::Upper;
    bool fillMode = false;  // FM in force: no padding on output, FX width rule relaxed on input
    bool exact = false;     // FX in force on input
    uint8_t digits = 0;     // FFn: n (0 = the value's precision)
    uint8_t suffix = 0;     // 1: TH ordinal suffix (case in suffixCase)
    DtCase suffixCase = DtCase::Upper;
    std::string text;  // Literal / Punctuation text
};

// One step of a plain model (DatetimeFormat::IsPlain) as RenderPlain runs it: literal text
// from DatetimeFormat::PlainLiterals, then a number field of a fixed width.
struct DtPlainStep {
    enum Field : uint8_t { None, Year, Month, Day, Hour, Minute, Second, Fraction, ZoneHour, ZoneMinute };
    uint16_t literalStart = 0;
    uint16_t literalLength = 0;
    Field field = None;
    uint8_t width = 0;  // digits; 0 for Fraction means the precision given to RenderPlain
};

class DatetimeFormat {
public:
    // Throws OraError: ORA-01821 unknown element or one the kind cannot hold (FF on DATE, zone
    // elements without a zone), and for parsing ORA-01810/01811/01812/01813/01816/01817/01818/
    // 01819/01820 for duplicate, conflicting and output-only elements.
    static DatetimeFormat Compile(std::string_view fmt, FormatUse use, DatetimeKind kind);

    const std::vector<DtItem>& Items() const noexcept { return items_; }
    DatetimeKind Kind() const noexcept { return kind_; }
    FormatUse Use() const noexcept { return use_; }
    const std::string& Text() const noexcept { return text_; }
    bool HasTimeZone() const noexcept { return hasZone_; }
    // A parse model made only of fixed-width numbers (years, months, days, 24-hour time, zone
    // hours and minutes), fractions, X and punctuation between numbers, without FX or
    // suffixes: the shape Parse can read in one pass when the text follows it to the letter.
    bool PlainNumeric() const noexcept { return plainNumeric_; }
    // Only elements RenderPlain writes: literals, YYYY, RRRR, MM, DD, HH24, MI, SS, FF, X,
    // TZH and TZM, none with FM or a suffix.
    bool IsPlain() const noexcept { return plain_; }
    const std::vector<DtPlainStep>& PlainSteps() const noexcept { return plainSteps_; }
    const std::string& PlainLiterals() const noexcept { return plainLiterals_; }

private:
    std::vector<DtItem> items_;
    DatetimeKind kind_ = DatetimeKind::Date;
    FormatUse use_ = FormatUse::Render;
    std::string text_;
    bool hasZone_ = false;
    bool plainNumeric_ = false;
    bool plain_ = false;
    std::vector<DtPlainStep> plainSteps_;  // the plain model as steps (literals merged, X as '.')
    std::string plainLiterals_;
};

// Whether items have the shape of DatetimeFormat::PlainNumeric.
bool IsPlainNumericModel(const std::vector<DtItem>& items);

// TO_DATE / TO_TIMESTAMP / TO_TIMESTAMP_TZ. `now` supplies the current year and month for
// missing elements (day defaults to 1, time to midnight) and, for a zoned result without zone
// elements, the session offset (now.tzMinutes). Throws OraError as Oracle does.
OraTimestamp Parse(std::string_view text, const DatetimeFormat& fmt, DatetimeKind kind, const OraTimestamp& now);
// The same by the general reader alone. Parse takes a one-pass route for text that follows a
// PlainNumeric model exactly and comes here for everything else; both give the same result
// (value or error), which the tests hold them to.
OraTimestamp ParseGeneral(std::string_view text, const DatetimeFormat& fmt, DatetimeKind kind, const OraTimestamp& now);

// TO_CHAR / OCIDateToText / OCIDateTimeToText. `fsprec` is the number of fraction digits for an
// FF without digits (the value's precision, 0..9).
std::string Render(const OraTimestamp& value, const DatetimeFormat& fmt, int fsprec);
// Same, appending to `out` (lets a caller reuse one buffer per row).
void RenderTo(std::string& out, const OraTimestamp& value, const DatetimeFormat& fmt, int fsprec);
// The fast path of Render for plain models (DatetimeFormat::IsPlain, which the usual numeric
// formats such as RRRR-MM-DD HH24:MI:SSXFF TZH:TZM are): writes the same text into `out`
// without building strings and returns true; false, leaving the length unset, for a model
// that is not plain or text that might not fit `capacity`. Render stays the general path.
bool RenderPlain(const OraTimestamp& value, const DatetimeFormat& fmt, int fsprec, char* out, size_t capacity,
                 size_t& length);

}  // namespace ocilite
