#include "app/PreviewCellText.h"

namespace tabrook {

std::string PreviewCellText(std::string value, DoubleByteCode code, bool goesOn) {
    if (value.size() <= kPreviewCellBytes) return goesOn ? value + kPreviewCutMark : value;
    std::size_t cut = 0;
    if (code == DoubleByteCode::None) {
        // UTF-8 (or single-byte): step back over continuation bytes to a character's start.
        cut = kPreviewCellBytes;
        while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
    } else {
        const char* begin = value.data();
        const char* end = begin + value.size();
        for (std::size_t length = 0; cut + (length = CharLength(code, begin + cut, end)) <= kPreviewCellBytes;)
            cut += length;
    }
    value.resize(cut);
    value += kPreviewCutMark;
    return value;
}

}  // namespace tabrook
