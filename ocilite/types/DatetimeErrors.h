#pragma once
// The datetime and interval errors with Oracle's classic message texts, in one place so every
// parser and check raises the same wording.

#include "ocilite/types/OraError.h"

namespace ocilite::dterr {

[[noreturn]] inline void Raise(int code) {
    const char* text = "unknown datetime error";
    switch (code) {
        case 1810: text = "format code appears twice"; break;
        case 1811: text = "Julian date precludes use of day of year"; break;
        case 1812: text = "year may only be specified once"; break;
        case 1813: text = "hour may only be specified once"; break;
        case 1814: text = "AM/PM conflicts with use of A.M./P.M."; break;
        case 1815: text = "BC/AD conflicts with use of B.C./A.D."; break;
        case 1816: text = "month may only be specified once"; break;
        case 1817: text = "day of week may only be specified once"; break;
        case 1818: text = "'HH24' precludes use of meridian indicator"; break;
        case 1819: text = "signed year precludes use of BC/AD"; break;
        case 1820: text = "format code cannot appear in date input format"; break;
        case 1821: text = "date format not recognized"; break;
        case 1830: text = "date format picture ends before converting entire input string"; break;
        case 1836: text = "hour conflicts with seconds in day"; break;
        case 1837: text = "minutes of hour conflicts with seconds in day"; break;
        case 1838: text = "seconds of minute conflicts with seconds in day"; break;
        case 1839: text = "date not valid for month specified"; break;
        case 1840: text = "input value not long enough for date format"; break;
        case 1841: text = "(full) year must be between -4713 and +9999, and not be 0"; break;
        case 1843: text = "not a valid month"; break;
        case 1846: text = "not a valid day of the week"; break;
        case 1847: text = "day of month must be between 1 and last day of month"; break;
        case 1848: text = "day of year must be between 1 and 365 (366 for leap year)"; break;
        case 1849: text = "hour must be between 1 and 12"; break;
        case 1850: text = "hour must be between 0 and 23"; break;
        case 1851: text = "minutes must be between 0 and 59"; break;
        case 1852: text = "seconds must be between 0 and 59"; break;
        case 1853: text = "seconds in day must be between 0 and 86399"; break;
        case 1854: text = "julian date must be between 1 and 5373484"; break;
        case 1855: text = "AM/A.M. or PM/P.M. required"; break;
        case 1856: text = "BC/B.C. or AD/A.D. required"; break;
        case 1857: text = "not a valid time zone"; break;
        case 1858: text = "a non-numeric character was found where a numeric was expected"; break;
        case 1861: text = "literal does not match format string"; break;
        case 1862: text = "the numeric value does not match the length of the format item"; break;
        case 1867: text = "the interval is invalid"; break;
        case 1873: text = "the leading precision of the interval is too small"; break;
        case 1874: text = "time zone hour must be between -15 and 15"; break;
        case 1875: text = "time zone minute must be between -59 and 59"; break;
        case 1877: text = "string is too long for internal buffer"; break;
        case 1880: text = "the fractional seconds must be between 0 and 999999999"; break;
        case 1882: text = "timezone region not found"; break;
        case 12705: text = "Cannot access NLS data files or invalid environment specified"; break;
        default: break;
    }
    throw OraError(code, text);
}

}  // namespace ocilite::dterr
