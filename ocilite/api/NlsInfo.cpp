#include "ocilite/api/NlsInfo.h"

#include "ocilite/api/ClientCharset.h"
#include "ocilite/types/OraError.h"

namespace ocilite::api {
namespace {

constexpr std::string_view kDayNames[] = {"MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY", "SUNDAY"};
constexpr std::string_view kDayAbbreviations[] = {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"};
constexpr std::string_view kMonthNames[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                                            "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
constexpr std::string_view kMonthAbbreviations[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                    "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

}  // namespace

std::string_view NlsInfoText(ub2 item) {
    if (item >= OCI_NLS_DAYNAME1 && item <= OCI_NLS_DAYNAME7) return kDayNames[item - OCI_NLS_DAYNAME1];
    if (item >= OCI_NLS_ABDAYNAME1 && item <= OCI_NLS_ABDAYNAME7) return kDayAbbreviations[item - OCI_NLS_ABDAYNAME1];
    if (item >= OCI_NLS_MONTHNAME1 && item <= OCI_NLS_MONTHNAME12) return kMonthNames[item - OCI_NLS_MONTHNAME1];
    if (item >= OCI_NLS_ABMONTHNAME1 && item <= OCI_NLS_ABMONTHNAME12)
        return kMonthAbbreviations[item - OCI_NLS_ABMONTHNAME1];
    switch (item) {
        case OCI_NLS_YES: return "YES";
        case OCI_NLS_NO: return "NO";
        case OCI_NLS_AM: return "AM";
        case OCI_NLS_PM: return "PM";
        case OCI_NLS_AD: return "AD";
        case OCI_NLS_BC: return "BC";
        case OCI_NLS_DECIMAL: return ".";
        case OCI_NLS_GROUP: return ",";
        case OCI_NLS_DEBIT: return "-";
        case OCI_NLS_CREDIT: return "";
        case OCI_NLS_DATEFORMAT: return "DD-MON-RR";
        case OCI_NLS_INT_CURRENCY: return "USD";
        case OCI_NLS_LOC_CURRENCY: return "$";
        case OCI_NLS_DUAL_CURRENCY: return "$";
        case OCI_NLS_LANGUAGE: return "AMERICAN";
        case OCI_NLS_ABLANGUAGE: return "US";
        case OCI_NLS_TERRITORY: return "AMERICA";
        case OCI_NLS_ABTERRITORY: return "US";
        case OCI_NLS_CHARACTER_SET: return CurrentClientCharset().name;
        case OCI_NLS_CALENDAR: return "GREGORIAN";
        case OCI_NLS_WRITINGDIR: return "LTR";
        case OCI_NLS_DDATEFORMAT: return "fmDay, Month dd, yyyy";
        case OCI_NLS_DTIMEFORMAT: return "HH.MI.SSXFF AM";
        case OCI_NLS_LISTSEP: return ",";
        case OCI_NLS_MONDECIMAL: return ".";
        case OCI_NLS_MONGROUP: return ",";
        case OCI_NLS_INT_CURRENCYSEP: return " ";
        default: throw OraError(12705, "Cannot access NLS data files or invalid environment specified");
    }
}

}  // namespace ocilite::api
