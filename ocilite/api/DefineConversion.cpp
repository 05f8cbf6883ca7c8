#include "ocilite/api/DefineConversion.h"

#include <cstring>
#include <limits>

#include "ocilite/api/ArrayElement.h"
#include "ocilite/api/ClientCharset.h"
#include "ocilite/api/DatetimeDescriptor.h"
#include "ocilite/api/DatetimeText.h"
#include "ocilite/api/IntervalDescriptor.h"
#include "ocilite/api/LobLocator.h"
#include "ocilite/api/RowidDescriptor.h"
#include "ocilite/api/ValueText.h"
#include "ocilite/types/OraError.h"

namespace ocilite::api {
namespace {

constexpr ub2 kNullWithoutIndicator = 1405;
constexpr ub2 kTruncated = 1406;

[[noreturn]] void Inconsistent(const char* expected, const char* got) {
    throw OraError(932, std::string("inconsistent datatypes: expected ") + expected + " got " + got);
}

const char* TypeNameOf(const Value& v) {
    switch (v.index()) {
        case 1: return "CHAR";
        case 2: return "NUMBER";
        case 3: return "DATE";
        case 4: return "INTERVAL YEAR TO MONTH";
        case 5: return "INTERVAL DAY TO SECOND";
        case 6: return "BINARY";
        case 7: return "BINARY_FLOAT";
        case 8: return "BINARY_DOUBLE";
        case 9: return "ROWID";
        default: return "LOB";
    }
}

template <class T>
void Store(unsigned char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// Where one row's slot of the define arrays lives.
struct Slot {
    unsigned char* data;
    sb2* indicator;
    ub2* length;
    ub2* rcode;
    ub4* length4 = nullptr;
};

void SetIndicator(const Slot& s, sb2 v) {
    if (s.indicator != nullptr) *s.indicator = v;
}
void SetLength(const Slot& s, size_t v) {
    if (s.length != nullptr) *s.length = static_cast<ub2>(v > 65535 ? 65535 : v);
    if (s.length4 != nullptr) *s.length4 = static_cast<ub4>(v);
}

// Copies bytes into a buffer of `capacity` bytes; on truncation the indicator gets the
// original length (-2 when it does not fit an sb2) and the return code 1406.
ub2 CopyBytes(const Slot& s, unsigned char* dst, size_t capacity, std::string_view bytes, size_t* copied) {
    size_t n = bytes.size() <= capacity ? bytes.size() : capacity;
    if (n > 0) std::memcpy(dst, bytes.data(), n);
    *copied = n;
    if (n < bytes.size()) {
        SetIndicator(s, bytes.size() > 32767 ? sb2(-2) : static_cast<sb2>(bytes.size()));
        return kTruncated;
    }
    SetIndicator(s, 0);
    return 0;
}

OraNumber NumberOf(const Value& v) {
    if (const auto* n = std::get_if<OraNumber>(&v)) return *n;
    if (const auto* t = std::get_if<TextValue>(&v)) return OraNumber::Parse(t->bytes);
    if (const auto* f = std::get_if<BinaryFloatValue>(&v)) return OraNumber::FromDouble(f->value);
    if (const auto* d = std::get_if<BinaryDoubleValue>(&v)) return OraNumber::FromDouble(d->value);
    Inconsistent("NUMBER", TypeNameOf(v));
}

double DoubleOf(const Value& v) {
    if (const auto* f = std::get_if<BinaryFloatValue>(&v)) return f->value;
    if (const auto* d = std::get_if<BinaryDoubleValue>(&v)) return d->value;
    return NumberOf(v).ToDouble();
}

// The datetime a value stands for, converted to `kind` (0 DATE .. 3 LTZ) as an implicit
// conversion would: text read with the default format, zones dropped or added.
OraTimestamp DatetimeOf(const Value& v, int kind) {
    OraTimestamp ts;
    if (const auto* d = std::get_if<DatetimeValue>(&v)) {
        ts = d->value;
    } else if (const auto* t = std::get_if<TextValue>(&v)) {
        ts = ParseDefaultDatetimeText(t->bytes, kind);
    } else {
        Inconsistent(kind == 0 ? "DATE" : "TIMESTAMP", TypeNameOf(v));
    }
    if (kind == 0) ts.nanos = 0;
    if (kind == 2 && !ts.hasZone) {
        ts.hasZone = true;
        ts.tzMinutes = OraTimestamp::Now(true).tzMinutes;
    }
    if (kind != 2 && ts.hasZone) ts.hasZone = false;
    return ts;
}

ub2 WriteText(const Slot& s, const OCIDefine& d, std::string_view text) {
    size_t size = d.valueSize > 0 ? static_cast<size_t>(d.valueSize) : 0;
    size_t copied = 0;
    ub2 rc = 0;
    switch (d.dty) {
        case SQLT_STR:
        case SQLT_AVC: {
            if (size == 0) return CopyBytes(s, s.data, 0, text, &copied);
            rc = CopyBytes(s, s.data, size - 1, text, &copied);
            s.data[copied] = 0;
            SetLength(s, copied);
            return rc;
        }
        case SQLT_AFC: {
            rc = CopyBytes(s, s.data, size, text, &copied);
            if (copied < size) std::memset(s.data + copied, ' ', size - copied);
            SetLength(s, size);
            return rc;
        }
        case SQLT_VCS: {
            if (size < 2) Inconsistent("buffer of 2 bytes or more", "CHAR");
            rc = CopyBytes(s, s.data + 2, size - 2, text, &copied);
            Store<ub2>(s.data, static_cast<ub2>(copied));
            SetLength(s, copied + 2);
            return rc;
        }
        case SQLT_LVC: {
            if (size < 4) Inconsistent("buffer of 4 bytes or more", "CHAR");
            rc = CopyBytes(s, s.data + 4, size - 4, text, &copied);
            Store<ub4>(s.data, static_cast<ub4>(copied));
            SetLength(s, copied + 4);
            return rc;
        }
        default:  // SQLT_CHR, SQLT_LNG, SQLT_BIN, SQLT_LBI
            rc = CopyBytes(s, s.data, size, text, &copied);
            SetLength(s, copied);
            return rc;
    }
}

template <class T>
T* TargetDescriptor(const Slot& s, ub4 lo, ub4 hi) {
    void* p;
    std::memcpy(&p, s.data, sizeof p);
    HandleBase* h = LiveHandle(p);
    if (h == nullptr || h->type < lo || h->type > hi)
        throw OraError(3115, "unsupported network datatype or representation");
    return static_cast<T*>(h);
}

}  // namespace

ub2 WriteDefineValue(Value& value, const ColumnInfo& column, const OCIDefine& d, ub4 row, std::string& scratch) {
    const bool byDescriptor = d.dty == SQLT_RDD || d.dty == SQLT_CLOB || d.dty == SQLT_BLOB || d.dty == SQLT_BFILEE ||
                              d.dty == SQLT_CFILEE || d.dty == SQLT_DATE || d.dty == SQLT_TIMESTAMP ||
                              d.dty == SQLT_TIMESTAMP_TZ || d.dty == SQLT_TIMESTAMP_LTZ || d.dty == SQLT_INTERVAL_YM ||
                              d.dty == SQLT_INTERVAL_DS;
    const size_t stride = byDescriptor ? sizeof(void*) : (d.valueSize > 0 ? static_cast<size_t>(d.valueSize) : 0);
    Slot s{ElementAt<unsigned char>(d.valuep, row, d.valueSkip, stride),
           d.indp != nullptr ? ElementAt<sb2>(d.indp, row, d.indicatorSkip) : nullptr,
           d.rlenp != nullptr ? ElementAt<ub2>(d.rlenp, row, d.lengthSkip) : nullptr,
           d.rcodep != nullptr ? ElementAt<ub2>(d.rcodep, row, d.returnCodeSkip) : nullptr,
           d.rlenp4 != nullptr ? ElementAt<ub4>(d.rlenp4, row, d.lengthSkip) : nullptr};

    ub2 rc = 0;
    if (IsNull(value)) {
        if (s.indicator == nullptr) rc = kNullWithoutIndicator;
        SetIndicator(s, -1);
        if (s.rcode != nullptr) *s.rcode = rc;
        return rc;
    }
    if (d.valuep == nullptr) throw OraError(1460, "unimplemented or unreasonable conversion requested");

    const size_t size = d.valueSize > 0 ? static_cast<size_t>(d.valueSize) : 0;
    switch (d.dty) {
        case SQLT_STR:
        case SQLT_AVC:
        case SQLT_CHR:
        case SQLT_AFC:
        case SQLT_VCS:
        case SQLT_LVC:
        case SQLT_LNG: {
            // fetched text goes out in the client character set
            if (const auto* t = std::get_if<TextValue>(&value)) {
                if (ClientIsUtf8()) {
                    rc = WriteText(s, d, t->bytes);
                    break;
                }
                scratch = ToClientText(t->bytes);
            } else {
                ValueToText(value, column, scratch);
                if (!ClientIsUtf8()) scratch = ToClientText(scratch);
            }
            rc = WriteText(s, d, scratch);
            break;
        }
        case SQLT_BIN:
        case SQLT_LBI: {
            if (const auto* r = std::get_if<RawValue>(&value)) {
                rc = WriteText(s, d, r->bytes);
            } else {
                ValueToText(value, column, scratch);
                rc = WriteText(s, d, scratch);
            }
            break;
        }
        case SQLT_VNU: {
            uint8_t bytes[22];
            NumberOf(value).ToOci(bytes);
            size_t need = static_cast<size_t>(bytes[0]) + 1;
            if (size < need) {
                SetIndicator(s, static_cast<sb2>(need));
                std::memcpy(s.data, bytes, size);
                rc = kTruncated;
            } else {
                std::memcpy(s.data, bytes, need);
                SetIndicator(s, 0);
            }
            SetLength(s, need);
            break;
        }
        case SQLT_NUM: {
            std::string varnum = NumberOf(value).ToVarnum();
            size_t copied = 0;
            rc = CopyBytes(s, s.data, size, varnum, &copied);
            SetLength(s, copied);
            break;
        }
        case SQLT_INT:
        case SQLT_UIN: {
            // Integers take the value truncated toward zero; what does not fit the buffer's
            // width is ORA-01455, as for any integer fetch that overflows.
            OraNumber n = NumberOf(value).Trunc(0);
            const bool isSigned = d.dty == SQLT_INT;
            if (size != 1 && size != 2 && size != 4 && size != 8)
                throw OraError(1460, "unimplemented or unreasonable conversion requested");
            const int bits = static_cast<int>(size) * 8;
            bool fits = true;
            if (isSigned) {
                int64_t v = 0;
                try {
                    v = n.ToInt64();
                } catch (const OraError&) {
                    fits = false;
                }
                if (fits && bits < 64) fits = v >= -(int64_t(1) << (bits - 1)) && v < (int64_t(1) << (bits - 1));
                if (!fits) throw OraError(1455, "converting column overflows integer datatype");
                if (size == 1)
                    Store<int8_t>(s.data, static_cast<int8_t>(v));
                else if (size == 2)
                    Store<int16_t>(s.data, static_cast<int16_t>(v));
                else if (size == 4)
                    Store<int32_t>(s.data, static_cast<int32_t>(v));
                else
                    Store<int64_t>(s.data, v);
            } else {
                uint64_t v = 0;
                if (n.Sign() < 0)
                    fits = false;
                else
                    try {
                        v = n.ToUInt64();
                    } catch (const OraError&) {
                        fits = false;
                    }
                if (fits && bits < 64) fits = v < (uint64_t(1) << bits);
                if (!fits) throw OraError(1455, "converting column overflows integer datatype");
                if (size == 1)
                    Store<uint8_t>(s.data, static_cast<uint8_t>(v));
                else if (size == 2)
                    Store<uint16_t>(s.data, static_cast<uint16_t>(v));
                else if (size == 4)
                    Store<uint32_t>(s.data, static_cast<uint32_t>(v));
                else
                    Store<uint64_t>(s.data, v);
            }
            SetIndicator(s, 0);
            SetLength(s, size);
            break;
        }
        case SQLT_FLT:
        case SQLT_BFLOAT:
        case SQLT_BDOUBLE:
        case SQLT_IBFLOAT:
        case SQLT_IBDOUBLE: {
            double v = DoubleOf(value);
            if (size == 4)
                Store<float>(s.data, static_cast<float>(v));
            else if (size == 8)
                Store<double>(s.data, v);
            else
                throw OraError(1460, "unimplemented or unreasonable conversion requested");
            SetIndicator(s, 0);
            SetLength(s, size);
            break;
        }
        case SQLT_ODT: {
            if (size < sizeof(OCIDate)) throw OraError(1460, "unimplemented or unreasonable conversion requested");
            DatetimeOf(value, 0).ToOCIDate(s.data);
            SetIndicator(s, 0);
            SetLength(s, sizeof(OCIDate));
            break;
        }
        case SQLT_DAT: {
            if (size < 7) throw OraError(1460, "unimplemented or unreasonable conversion requested");
            DatetimeOf(value, 0).ToDate7(s.data);
            SetIndicator(s, 0);
            SetLength(s, 7);
            break;
        }
        case SQLT_DATE:
        case SQLT_TIMESTAMP:
        case SQLT_TIMESTAMP_TZ:
        case SQLT_TIMESTAMP_LTZ: {
            int kind = d.dty == SQLT_DATE ? 0 : d.dty == SQLT_TIMESTAMP ? 1 : d.dty == SQLT_TIMESTAMP_TZ ? 2 : 3;
            const ub4 want = kind == 0   ? OCI_DTYPE_DATE
                             : kind == 1 ? OCI_DTYPE_TIMESTAMP
                             : kind == 2 ? OCI_DTYPE_TIMESTAMP_TZ
                                         : OCI_DTYPE_TIMESTAMP_LTZ;
            auto* dt = TargetDescriptor<OCIDateTime>(s, want, want);
            dt->value = DatetimeOf(value, kind);
            dt->hasValue = true;
            dt->fsPrecision = column.scale > 0 && column.scale <= 9 ? column.scale : (kind == 0 ? 0 : 6);
            SetIndicator(s, 0);
            SetLength(s, sizeof(void*));
            break;
        }
        case SQLT_INTERVAL_YM:
        case SQLT_INTERVAL_DS: {
            const ub4 want = d.dty == SQLT_INTERVAL_YM ? OCI_DTYPE_INTERVAL_YM : OCI_DTYPE_INTERVAL_DS;
            auto* iv = TargetDescriptor<OCIInterval>(s, want, want);
            if (d.dty == SQLT_INTERVAL_YM) {
                if (const auto* ym = std::get_if<OraIntervalYM>(&value))
                    iv->yearMonth = *ym;
                else if (const auto* t = std::get_if<TextValue>(&value))
                    iv->yearMonth = OraIntervalYM::Parse(t->bytes);
                else
                    Inconsistent("INTERVAL YEAR TO MONTH", TypeNameOf(value));
            } else {
                if (const auto* ds = std::get_if<OraIntervalDS>(&value))
                    iv->daySecond = *ds;
                else if (const auto* t = std::get_if<TextValue>(&value))
                    iv->daySecond = OraIntervalDS::Parse(t->bytes);
                else
                    Inconsistent("INTERVAL DAY TO SECOND", TypeNameOf(value));
            }
            iv->hasValue = true;
            SetIndicator(s, 0);
            SetLength(s, sizeof(void*));
            break;
        }
        case SQLT_RDD: {
            auto* rowid = TargetDescriptor<OCIRowid>(s, OCI_DTYPE_ROWID, OCI_DTYPE_ROWID);
            if (const auto* r = std::get_if<RowidValue>(&value))
                rowid->text = r->text;
            else if (const auto* t = std::get_if<TextValue>(&value))
                rowid->text = t->bytes;
            else
                Inconsistent("ROWID", TypeNameOf(value));
            SetIndicator(s, 0);
            SetLength(s, sizeof(void*));
            break;
        }
        case SQLT_CLOB:
        case SQLT_BLOB:
        case SQLT_BFILEE:
        case SQLT_CFILEE: {
            auto* ref = std::get_if<LobRefValue>(&value);
            const char* wantName = d.dty == SQLT_BLOB ? "BLOB" : d.dty == SQLT_CLOB ? "CLOB" : "FILE";
            const bool file = d.dty == SQLT_BFILEE || d.dty == SQLT_CFILEE;
            if (ref == nullptr || (ref->lobType == SQLT_BFILEE) != file || (!file && ref->lobType != d.dty))
                Inconsistent(wantName, TypeNameOf(value));
            ub4 want = file ? OCI_DTYPE_FILE : OCI_DTYPE_LOB;
            auto* lob = TargetDescriptor<OCILobLocator>(s, want, want);
            lob->ref.lobType = ref->lobType;
            lob->ref.national = ref->national;
            lob->ref.locator.swap(ref->locator);
            lob->hasValue = true;
            lob->temporary = false;
            lob->buffering = false;
            lob->writingPieces = false;
            lob->readingPieces = false;
            lob->ForgetCharacters();
            lob->file.reset();
            if (file) {
                const std::string& names = lob->ref.locator;
                const size_t cut = names.find('\0');
                lob->directory = names.substr(0, cut);
                lob->fileName = cut == std::string::npos ? std::string() : names.substr(cut + 1);
            }
            SetIndicator(s, 0);
            SetLength(s, sizeof(void*));
            break;
        }
        default: throw OraError(3115, "unsupported network datatype or representation");
    }
    if (s.rcode != nullptr) *s.rcode = rc;
    return rc;
}

}  // namespace ocilite::api
