#include "ocilite/api/BindConversion.h"

#include <cstring>

#include "ocilite/api/ArrayElement.h"
#include "ocilite/api/ClientCharset.h"
#include "ocilite/api/DatetimeDescriptor.h"
#include "ocilite/api/IntervalDescriptor.h"
#include "ocilite/api/LobLocator.h"
#include "ocilite/api/RowidDescriptor.h"
#include "ocilite/types/OraError.h"

namespace ocilite::api {
namespace {

[[noreturn]] void Unsupported() {
    throw OraError(3115, "unsupported network datatype or representation");
}
[[noreturn]] void BadSize() {
    throw OraError(1460, "unimplemented or unreasonable conversion requested");
}

template <class T>
T Load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// A descriptor bind passes the address of the caller's descriptor pointer.
template <class T>
T* DescriptorAt(const unsigned char* p, ub4 expectedType) {
    void* d = Load<void*>(p);
    if (d == nullptr) return nullptr;
    T* desc = HandleAs<T>(d, expectedType);
    if (desc == nullptr) throw OraError(3115, "unsupported network datatype or representation");
    return desc;
}

Value Text(const OCIBind& bind, const unsigned char* p, size_t len) {
    TextValue t;
    t.bytes = ToDatabaseText(std::string_view(reinterpret_cast<const char*>(p), len));
    t.national = bind.charsetForm == SQLCS_NCHAR;
    return t;
}

DatetimeKind KindOfDty(ub2 dty) {
    switch (dty) {
        case SQLT_TIMESTAMP: return DatetimeKind::Timestamp;
        case SQLT_TIMESTAMP_TZ: return DatetimeKind::TimestampTz;
        case SQLT_TIMESTAMP_LTZ: return DatetimeKind::TimestampLtz;
        default: return DatetimeKind::Date;
    }
}

}  // namespace

Value ReadBindValue(const OCIBind& bind, ub4 iteration) {
    if (bind.indp != nullptr) {
        const sb2* indicator = ElementAt<const sb2>(bind.indp, iteration, bind.indicatorSkip);
        if (*indicator == -1) return std::monostate{};
    }

    const bool byDescriptor = bind.dty == SQLT_RDD || bind.dty == SQLT_CLOB || bind.dty == SQLT_BLOB ||
                              bind.dty == SQLT_BFILEE || bind.dty == SQLT_CFILEE || bind.dty == SQLT_DATE ||
                              bind.dty == SQLT_TIMESTAMP || bind.dty == SQLT_TIMESTAMP_TZ ||
                              bind.dty == SQLT_TIMESTAMP_LTZ || bind.dty == SQLT_INTERVAL_YM ||
                              bind.dty == SQLT_INTERVAL_DS;
    if (bind.valuep == nullptr) return std::monostate{};
    if (byDescriptor) {
        // Arrays of descriptors are arrays of pointers, whatever size the caller gave.
        const auto* p = ElementAt<const unsigned char>(bind.valuep, iteration, bind.valueSkip, sizeof(void*));
        switch (bind.dty) {
            case SQLT_RDD: {
                auto* rowid = DescriptorAt<OCIRowid>(p, OCI_DTYPE_ROWID);
                if (rowid == nullptr || rowid->text.empty()) return std::monostate{};
                return RowidValue{rowid->text};
            }
            case SQLT_CLOB:
            case SQLT_BLOB: {
                auto* lob = DescriptorAt<OCILobLocator>(p, OCI_DTYPE_LOB);
                if (lob == nullptr || !lob->hasValue) return std::monostate{};
                return lob->ref;
            }
            case SQLT_BFILEE:
            case SQLT_CFILEE: {
                auto* file = DescriptorAt<OCILobLocator>(p, OCI_DTYPE_FILE);
                if (file == nullptr || !file->hasValue) return std::monostate{};
                return file->ref;
            }
            case SQLT_INTERVAL_YM: {
                auto* iv = DescriptorAt<OCIInterval>(p, OCI_DTYPE_INTERVAL_YM);
                if (iv == nullptr || !iv->hasValue) return std::monostate{};
                return iv->yearMonth;
            }
            case SQLT_INTERVAL_DS: {
                auto* iv = DescriptorAt<OCIInterval>(p, OCI_DTYPE_INTERVAL_DS);
                if (iv == nullptr || !iv->hasValue) return std::monostate{};
                return iv->daySecond;
            }
            default: {
                void* d = Load<void*>(p);
                if (d == nullptr) return std::monostate{};
                HandleBase* h = LiveHandle(d);
                if (h == nullptr || h->type < OCI_DTYPE_DATE || h->type > OCI_DTYPE_TIMESTAMP_LTZ) Unsupported();
                auto* dt = static_cast<OCIDateTime*>(h);
                if (!dt->hasValue) return std::monostate{};
                return DatetimeValue{KindOfDty(bind.dty), dt->value};
            }
        }
    }

    if (bind.valueSize <= 0) return std::monostate{};
    const size_t size = static_cast<size_t>(bind.valueSize);
    const auto* p = ElementAt<const unsigned char>(bind.valuep, iteration, bind.valueSkip, size);
    size_t len = bind.alenp4 != nullptr  ? *ElementAt<const ub4>(bind.alenp4, iteration, bind.lengthSkip)
                 : bind.alenp != nullptr ? *ElementAt<const ub2>(bind.alenp, iteration, bind.lengthSkip)
                                         : size;
    if (len > size) len = size;

    switch (bind.dty) {
        case SQLT_STR:
        case SQLT_AVC: {
            const void* nul = std::memchr(p, 0, size);
            size_t n = nul != nullptr ? static_cast<size_t>(static_cast<const unsigned char*>(nul) - p) : size;
            return Text(bind, p, n);
        }
        case SQLT_AFC: {
            // fixed-length character data compares with CHAR columns blank-padded
            Value v = Text(bind, p, len);
            if (auto* t = std::get_if<TextValue>(&v)) t->fixedChar = true;
            return v;
        }
        case SQLT_CHR:
        case SQLT_LNG: return Text(bind, p, len);
        case SQLT_VCS: {
            if (size < 2) BadSize();
            size_t n = Load<ub2>(p);
            return Text(bind, p + 2, n > size - 2 ? size - 2 : n);
        }
        case SQLT_LVC: {
            if (size < 4) BadSize();
            size_t n = Load<ub4>(p);
            return Text(bind, p + 4, n > size - 4 ? size - 4 : n);
        }
        case SQLT_BIN:
        case SQLT_LBI: return RawValue{std::string(reinterpret_cast<const char*>(p), len)};
        case SQLT_VBI: {
            if (size < 2) BadSize();
            size_t n = Load<ub2>(p);
            return RawValue{std::string(reinterpret_cast<const char*>(p + 2), n > size - 2 ? size - 2 : n)};
        }
        case SQLT_LVB: {
            if (size < 4) BadSize();
            size_t n = Load<ub4>(p);
            return RawValue{std::string(reinterpret_cast<const char*>(p + 4), n > size - 4 ? size - 4 : n)};
        }
        case SQLT_INT:
            switch (size) {
                case 1: return OraNumber::FromInt64(Load<int8_t>(p));
                case 2: return OraNumber::FromInt64(Load<int16_t>(p));
                case 4: return OraNumber::FromInt64(Load<int32_t>(p));
                case 8: return OraNumber::FromInt64(Load<int64_t>(p));
                default: BadSize();
            }
        case SQLT_UIN:
            switch (size) {
                case 1: return OraNumber::FromUInt64(Load<uint8_t>(p));
                case 2: return OraNumber::FromUInt64(Load<uint16_t>(p));
                case 4: return OraNumber::FromUInt64(Load<uint32_t>(p));
                case 8: return OraNumber::FromUInt64(Load<uint64_t>(p));
                default: BadSize();
            }
        case SQLT_FLT:
            if (size == 4) return OraNumber::FromDouble(Load<float>(p));
            if (size == 8) return OraNumber::FromDouble(Load<double>(p));
            BadSize();
        case SQLT_BFLOAT:
        case SQLT_IBFLOAT:
            if (size != 4) BadSize();
            return BinaryFloatValue{Load<float>(p)};
        case SQLT_BDOUBLE:
        case SQLT_IBDOUBLE:
            if (size != 8) BadSize();
            return BinaryDoubleValue{Load<double>(p)};
        case SQLT_VNU: {
            if (size < 2 || p[0] == 0 || p[0] > 21 || p[0] >= size) BadSize();
            return OraNumber::FromVarnum(p + 1, p[0]);
        }
        case SQLT_NUM:
            if (len == 0 || len > 21) BadSize();
            return OraNumber::FromVarnum(p, len);
        case SQLT_ODT: {
            if (size < sizeof(OCIDate)) BadSize();
            OraTimestamp ts = OraTimestamp::FromOCIDate(p);
            ts.Validate();
            return DatetimeValue{DatetimeKind::Date, ts};
        }
        case SQLT_DAT: {
            if (size < 7) BadSize();
            OraTimestamp ts = OraTimestamp::FromDate7(p);
            ts.Validate();
            return DatetimeValue{DatetimeKind::Date, ts};
        }
        default: Unsupported();
    }
}

}  // namespace ocilite::api
