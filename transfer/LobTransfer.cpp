#include "transfer/LobTransfer.h"

#include <istream>
#include <ostream>

#include "oci/BindAttr.h"
#include "oci/ColumnKind.h"
#include "oci/DataAttr.h"
#include "oci/TOCIException.h"

namespace tabrook {

void AppendHex(std::string& out, std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const std::size_t at = out.size();
    out.resize(at + bytes.size() * 2);
    char* p = out.data() + at;
    for (unsigned char b : bytes) {
        *p++ = kDigits[b >> 4];
        *p++ = kDigits[b & 0x0F];
    }
}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool DecodeHex(std::string_view text, std::string& out) {
    out.clear();
    if (text.size() % 2 != 0) return false;
    out.resize(text.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int high = HexValue(text[2 * i]);
        const int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        out[i] = static_cast<char>((high << 4) | low);
    }
    return true;
}

std::streamsize StringSink::xsputn(const char* s, std::streamsize n) {
    target_.append(s, static_cast<std::size_t>(n));
    return n;
}

StringSink::int_type StringSink::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof())) target_ += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
}

// Only the rewind a LOB read ends with is supported; it leaves the bytes where they are.
StringSink::pos_type StringSink::seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) {
    if (off == 0 && dir == std::ios_base::beg) return pos_type(0);
    if (off == 0 && dir == std::ios_base::end) return pos_type(static_cast<off_type>(target_.size()));
    return pos_type(off_type(-1));
}

StringSink::pos_type StringSink::seekpos(pos_type pos, std::ios_base::openmode which) {
    return seekoff(off_type(pos), std::ios_base::beg, which);
}

ViewSource::ViewSource(std::string_view bytes) {
    char* begin = const_cast<char*>(bytes.data());
    setg(begin, begin, begin + bytes.size());
}

ViewSource::pos_type ViewSource::seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) {
    char* target = dir == std::ios_base::beg ? eback() + off : dir == std::ios_base::cur ? gptr() + off : egptr() + off;
    if (target < eback() || target > egptr()) return pos_type(off_type(-1));
    setg(eback(), target, egptr());
    return pos_type(static_cast<off_type>(target - eback()));
}

ViewSource::pos_type ViewSource::seekpos(pos_type pos, std::ios_base::openmode which) {
    return seekoff(off_type(pos), std::ios_base::beg, which);
}

ExportLobs::ExportLobs(TOCI8Cur& cursor, bool enabled) : cursor_(cursor), enabled_(enabled) {
    if (!enabled_) return;
    previous_ = cursor_.OnNeedLob;
    cursor_.OnNeedLob = [this](DataAttr& column, sb4, TOCI8Lob*& lob) {
        std::size_t index = 0;
        while (index < cursor_.Columns.size() && &cursor_.Columns[index] != &column) ++index;
        if (index == cursor_.Columns.size()) return false;
        if (lobs_.size() <= index) lobs_.resize(index + 1);
        if (!lobs_[index]) {
            lobs_[index] = std::make_unique<TOCI8Lob>();
            lobs_[index]->SetParent(cursor_.OCIParent());
        }
        lob = lobs_[index].get();
        return true;
    };
}

ExportLobs::~ExportLobs() {
    if (!enabled_) return;
    // The cursor's defines point into these components: close it before they go.
    cursor_.CleanUp();
    cursor_.OnNeedLob = previous_;
    for (auto& lob : lobs_)
        if (lob) lob->Terminate();
}

void ExportLobs::ReadColumn(std::size_t i, std::string& out) {
    out.clear();
    if (i >= lobs_.size() || !lobs_[i]) throw TOCIException("LOB項目が定義されていません");
    TOCI8Lob& lob = *lobs_[i];
    StringSink sink(out);
    std::ostream stream(&sink);
    lob.Seek(0, 0);
    lob.ReadToStream(stream, 0);
}

ImportLob::ImportLob(TOCI8Ctrl& session, int typeCode) : typeCode_(typeCode) {
    lob_.SetParent(&session);
    lob_.SetLobType(KindOf(typeCode).Binary ? entLob::Blob : entLob::Clob);
}

ImportLob::~ImportLob() {
    lob_.Terminate();
    try {
        lob_.SetParent(nullptr);
    } catch (const std::exception&) {
        // Still allocated after a failed free: the session's clean-up takes it.
    }
}

void ImportLob::Attach(BindAttr& bind) {
    bind.BindType = KindOf(typeCode_).Binary ? kBindBlob : kBindClob;
    bind.Lob = lob_.GetLobLocator();
    bind.IsNull = false;
}

bool ImportLob::Fill(std::string_view field, std::string& error) {
    try {
        if (field.empty()) {
            // A LOB component without a value binds NULL.
            lob_.FreeTemporary();
            return true;
        }
        std::string_view bytes = field;
        if (KindOf(typeCode_).Binary) {
            if (!DecodeHex(field, bytes_)) {
                error = "BLOBの値が16進数ではありません";
                lob_.FreeTemporary();
                return false;
            }
            bytes = bytes_;
        }
        lob_.CreateTemporary(KindOf(typeCode_).National);
        ViewSource source(bytes);
        std::istream stream(&source);
        lob_.WriteFromStream(stream, 0);
        return true;
    } catch (const TOCIException& e) {
        error = e.what();
        return false;
    }
}

}  // namespace tabrook
