#include "ocilite/types/DatetimeFormat.h"

#include <array>

#include "ocilite/types/DatetimeErrors.h"
#include "ocilite/types/DatetimeNames.h"

namespace ocilite {
namespace {

struct Keyword {
    std::string_view text;  // upper case, as matched
    DtElement element;
};

// Longest spellings first wherever one keyword is a prefix of another.
constexpr std::array kKeywords = {
    Keyword{"SYYYY", DtElement::SYYYY},
    Keyword{"SYEAR", DtElement::SYEAR},
    Keyword{"SSSSS", DtElement::SSSSS},
    Keyword{"SCC", DtElement::SCC},
    Keyword{"SS", DtElement::SS},
    Keyword{"YEAR", DtElement::YEAR},
    Keyword{"Y,YYY", DtElement::YCommaYYY},
    Keyword{"YYYY", DtElement::YYYY},
    Keyword{"YYY", DtElement::YYY},
    Keyword{"YY", DtElement::YY},
    Keyword{"Y", DtElement::Y},
    Keyword{"RRRR", DtElement::RRRR},
    Keyword{"RR", DtElement::RR},
    Keyword{"RM", DtElement::RM},
    Keyword{"IYYY", DtElement::IYYY},
    Keyword{"IYY", DtElement::IYY},
    Keyword{"IY", DtElement::IY},
    Keyword{"IW", DtElement::IW},
    Keyword{"I", DtElement::I},
    Keyword{"CC", DtElement::CC},
    Keyword{"Q", DtElement::Q},
    Keyword{"MONTH", DtElement::MONTH},
    Keyword{"MON", DtElement::MON},
    Keyword{"MM", DtElement::MM},
    Keyword{"MI", DtElement::MI},
    Keyword{"WW", DtElement::WW},
    Keyword{"W", DtElement::W},
    Keyword{"DDD", DtElement::DDD},
    Keyword{"DD", DtElement::DD},
    Keyword{"DAY", DtElement::DAY},
    Keyword{"DY", DtElement::DY},
    Keyword{"D", DtElement::D},
    Keyword{"HH24", DtElement::HH24},
    Keyword{"HH12", DtElement::HH12},
    Keyword{"HH", DtElement::HH},
    Keyword{"FF", DtElement::FF},
    Keyword{"A.M.", DtElement::AMDots},
    Keyword{"P.M.", DtElement::AMDots},
    Keyword{"AM", DtElement::AM},
    Keyword{"PM", DtElement::AM},
    Keyword{"A.D.", DtElement::ADDots},
    Keyword{"B.C.", DtElement::ADDots},
    Keyword{"AD", DtElement::AD},
    Keyword{"BC", DtElement::AD},
    Keyword{"TZH", DtElement::TZH},
    Keyword{"TZM", DtElement::TZM},
    Keyword{"TZR", DtElement::TZR},
    Keyword{"TZD", DtElement::TZD},
    Keyword{"J", DtElement::J},
    Keyword{"X", DtElement::X},
};

bool IsAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsLower(char c) {
    return c >= 'a' && c <= 'z';
}
bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

DtCase CaseOf(std::string_view spelled) {
    if (IsLower(spelled[0])) return DtCase::Lower;
    if (spelled.size() > 1 && IsLower(spelled[1])) return DtCase::Initial;
    return DtCase::Upper;
}

bool IsNumeric(DtElement e) {
    switch (e) {
        case DtElement::SYYYY:
        case DtElement::YYYY:
        case DtElement::YYY:
        case DtElement::YY:
        case DtElement::Y:
        case DtElement::YCommaYYY:
        case DtElement::RRRR:
        case DtElement::RR:
        case DtElement::IYYY:
        case DtElement::IYY:
        case DtElement::IY:
        case DtElement::I:
        case DtElement::CC:
        case DtElement::SCC:
        case DtElement::Q:
        case DtElement::MM:
        case DtElement::WW:
        case DtElement::W:
        case DtElement::IW:
        case DtElement::DDD:
        case DtElement::DD:
        case DtElement::D:
        case DtElement::J:
        case DtElement::HH:
        case DtElement::HH12:
        case DtElement::HH24:
        case DtElement::MI:
        case DtElement::SS:
        case DtElement::SSSSS: return true;
        default: return false;
    }
}

bool IsTimeZone(DtElement e) {
    return e == DtElement::TZH || e == DtElement::TZM || e == DtElement::TZR || e == DtElement::TZD;
}

bool IsOutputOnly(DtElement e) {
    switch (e) {
        case DtElement::YEAR:
        case DtElement::SYEAR:
        case DtElement::CC:
        case DtElement::SCC:
        case DtElement::Q:
        case DtElement::WW:
        case DtElement::W:
        case DtElement::IW:
        case DtElement::IYYY:
        case DtElement::IYY:
        case DtElement::IY:
        case DtElement::I: return true;
        default: return false;
    }
}

enum Group { kNone, kYear, kHour, kMonth, kDayOfWeek, kMeridian, kEra };

Group GroupOf(DtElement e) {
    switch (e) {
        case DtElement::SYYYY:
        case DtElement::YYYY:
        case DtElement::YYY:
        case DtElement::YY:
        case DtElement::Y:
        case DtElement::YCommaYYY:
        case DtElement::RRRR:
        case DtElement::RR: return kYear;
        case DtElement::HH:
        case DtElement::HH12:
        case DtElement::HH24: return kHour;
        case DtElement::MM:
        case DtElement::MON:
        case DtElement::MONTH:
        case DtElement::RM: return kMonth;
        case DtElement::D:
        case DtElement::DY:
        case DtElement::DAY: return kDayOfWeek;
        case DtElement::AM:
        case DtElement::AMDots: return kMeridian;
        case DtElement::AD:
        case DtElement::ADDots: return kEra;
        default: return kNone;
    }
}

// Validation of an input model, raised before any input is read.
class InputModelChecker {
public:
    void Check(DtElement e) {
        if (e == DtElement::Literal || e == DtElement::Punctuation || e == DtElement::X) return;
        if (IsOutputOnly(e)) dterr::Raise(1820);
        const auto index = static_cast<size_t>(e);
        if (seen_[index]) dterr::Raise(1810);
        seen_[index] = true;
        const Group g = GroupOf(e);
        if (g != kNone) {
            if (groupSeen_[g]) {
                static constexpr int kGroupError[] = {0, 1812, 1813, 1816, 1817, 1814, 1815};
                dterr::Raise(kGroupError[g]);
            }
            groupSeen_[g] = true;
        }
        const bool hh24 = seen_[static_cast<size_t>(DtElement::HH24)];
        if (hh24 && groupSeen_[kMeridian]) dterr::Raise(1818);
        if (seen_[static_cast<size_t>(DtElement::SYYYY)] && groupSeen_[kEra]) dterr::Raise(1819);
        if (seen_[static_cast<size_t>(DtElement::J)] && seen_[static_cast<size_t>(DtElement::DDD)]) dterr::Raise(1811);
    }

private:
    std::array<bool, 64> seen_{};
    std::array<bool, 7> groupSeen_{};
};

struct Compiler {
    FormatUse use;
    DatetimeKind kind;
    std::vector<DtItem> items;
    bool fm = false, fx = false, hasZone = false;
    InputModelChecker checker;

    void AddText(DtElement e, std::string_view text) {
        if (!items.empty() && items.back().element == e && e == DtElement::Punctuation) {
            items.back().text.append(text);
            return;
        }
        DtItem item;
        item.element = e;
        item.text.assign(text);
        item.exact = fx;
        item.fillMode = fm;
        items.push_back(std::move(item));
    }

    void AddElement(DtElement e, std::string_view spelled, int ffDigits) {
        if (e == DtElement::FF && kind == DatetimeKind::Date) dterr::Raise(1821);
        if (IsTimeZone(e)) {
            const bool allowed =
                kind == DatetimeKind::TimestampTz || (kind == DatetimeKind::TimestampLtz && use == FormatUse::Render);
            if (!allowed) dterr::Raise(1821);
            hasZone = true;
        }
        if (use == FormatUse::Parse) checker.Check(e);
        DtItem item;
        item.element = e;
        item.letterCase = CaseOf(spelled);
        item.fillMode = fm;
        item.exact = fx;
        item.digits = static_cast<uint8_t>(ffDigits);
        items.push_back(std::move(item));
    }

    // Expands the short and long date and time formats of the American territory.
    void AddExpansion(std::string_view model) { Run(model); }

    void Run(std::string_view fmt) {
        size_t i = 0;
        while (i < fmt.size()) {
            const char c = fmt[i];
            if (c == '"') {
                const size_t end = fmt.find('"', i + 1);
                if (end == std::string_view::npos) dterr::Raise(1821);
                if (end > i + 1) AddText(DtElement::Literal, fmt.substr(i + 1, end - i - 1));
                i = end + 1;
                continue;
            }
            if (!IsAlnum(c)) {
                size_t j = i;
                while (j < fmt.size() && !IsAlnum(fmt[j]) && fmt[j] != '"') ++j;
                AddText(DtElement::Punctuation, fmt.substr(i, j - i));
                i = j;
                continue;
            }
            const std::string_view rest = fmt.substr(i);
            if (dtnames::StartsWithNoCase(rest, "FM")) {
                fm = !fm;
                i += 2;
                continue;
            }
            if (dtnames::StartsWithNoCase(rest, "FX")) {
                fx = !fx;
                i += 2;
                continue;
            }
            if (dtnames::StartsWithNoCase(rest, "DL")) {
                const bool saved = fm;
                AddExpansion("fmDay, Month dd, yyyy");
                fm = saved;
                i += 2;
                continue;
            }
            if (dtnames::StartsWithNoCase(rest, "DS")) {
                AddExpansion("MM/DD/YYYY");
                i += 2;
                continue;
            }
            if (dtnames::StartsWithNoCase(rest, "TS")) {
                const bool saved = fm;
                AddExpansion("fmHHfm:MI:SS AM");
                fm = saved;
                i += 2;
                continue;
            }
            const Keyword* match = nullptr;
            for (const Keyword& k : kKeywords) {
                if (dtnames::StartsWithNoCase(rest, k.text)) {
                    match = &k;
                    break;
                }
            }
            if (match == nullptr) dterr::Raise(1821);
            size_t len = match->text.size();
            int ffDigits = 0;
            if (match->element == DtElement::FF && len < rest.size() && rest[len] >= '1' && rest[len] <= '9') {
                ffDigits = rest[len] - '0';
                ++len;
            }
            AddElement(match->element, rest.substr(0, len), ffDigits);
            i += len;
            // Suffixes of a number element: TH ordinal ("DDTH" -> "05TH"), SP spelled
            // ("DDSP" -> "FIVE"), SPTH or THSP spelled ordinal ("DDSPTH" -> "FIFTH").
            if (IsNumeric(match->element)) {
                const std::string_view after = fmt.substr(i);
                if (dtnames::StartsWithNoCase(after, "SPTH") || dtnames::StartsWithNoCase(after, "THSP")) {
                    items.back().suffix = 3;
                    i += 4;
                } else if (dtnames::StartsWithNoCase(after, "TH")) {
                    items.back().suffix = 1;
                    items.back().suffixCase = IsUpper(fmt[i]) ? DtCase::Upper : DtCase::Lower;
                    i += 2;
                } else if (dtnames::StartsWithNoCase(after, "SP")) {
                    items.back().suffix = 2;
                    i += 2;
                }
                if (items.back().suffix >= 2 && use == FormatUse::Parse) dterr::Raise(1820);
            }
        }
    }
};

}  // namespace

DatetimeFormat DatetimeFormat::Compile(std::string_view fmt, FormatUse use, DatetimeKind kind) {
    Compiler c{use, kind, {}, false, false, false, {}};
    c.Run(fmt);
    DatetimeFormat result;
    result.items_ = std::move(c.items);
    result.kind_ = kind;
    result.use_ = use;
    result.text_.assign(fmt);
    result.hasZone_ = c.hasZone;
    result.plainNumeric_ = use == FormatUse::Parse && IsPlainNumericModel(result.items_);
    result.plain_ = use == FormatUse::Render;
    uint16_t literalStart = 0;
    for (const DtItem& item : result.items_) {
        DtPlainStep::Field field = DtPlainStep::None;
        uint8_t width = 2;
        const bool plainNumber = !item.fillMode && item.suffix == 0;
        switch (item.element) {
            case DtElement::Literal:
            case DtElement::Punctuation: result.plainLiterals_ += item.text; continue;
            case DtElement::X:
                if (!plainNumber) break;
                result.plainLiterals_ += '.';
                continue;
            case DtElement::YYYY:
            case DtElement::RRRR:
                field = DtPlainStep::Year;
                width = 4;
                break;
            case DtElement::MM: field = DtPlainStep::Month; break;
            case DtElement::DD: field = DtPlainStep::Day; break;
            case DtElement::HH24: field = DtPlainStep::Hour; break;
            case DtElement::MI: field = DtPlainStep::Minute; break;
            case DtElement::SS: field = DtPlainStep::Second; break;
            case DtElement::FF:
                field = item.digits <= 9 ? DtPlainStep::Fraction : DtPlainStep::None;
                width = item.digits;
                break;
            case DtElement::TZH: field = DtPlainStep::ZoneHour; break;
            case DtElement::TZM: field = DtPlainStep::ZoneMinute; break;
            default: break;
        }
        if (field == DtPlainStep::None || !plainNumber || result.plainLiterals_.size() > 0xFFFF) {
            result.plain_ = false;
            break;
        }
        const auto end = static_cast<uint16_t>(result.plainLiterals_.size());
        result.plainSteps_.push_back({literalStart, static_cast<uint16_t>(end - literalStart), field, width});
        literalStart = end;
    }
    if (result.plainLiterals_.size() > 0xFFFF) result.plain_ = false;
    if (result.plain_ && literalStart < result.plainLiterals_.size()) {
        const auto end = static_cast<uint16_t>(result.plainLiterals_.size());
        result.plainSteps_.push_back({literalStart, static_cast<uint16_t>(end - literalStart), DtPlainStep::None, 0});
    }
    if (!result.plain_) {
        result.plainSteps_.clear();
        result.plainLiterals_.clear();
    }
    return result;
}

}  // namespace ocilite
