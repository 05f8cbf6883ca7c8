#include "transfer/FileDecoder.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "transfer/SafeFiles.h"

namespace tabrook {

namespace {

constexpr std::size_t kScanBlock = 1 << 20;

struct ScanResult {
    bool valid = true;
    long long line = 1;  // the line of the first invalid byte
};

// Reads file from its start (after skip bytes) up to limit bytes and checks that it is valid
// text in the iconv encoding named (UTF-8 by a validator of its own, which is faster).
ScanResult Scan(std::FILE* file, const std::string& encoding, long long limit, std::size_t skip) {
    ScanResult result;
    std::rewind(file);
    const bool utf8 = encoding == "UTF-8";
    const bool wide = encoding == "UTF-16LE";
    std::unique_ptr<TextConverter> converter;
    if (!utf8) converter = std::make_unique<TextConverter>("UTF-8", encoding);
    std::vector<char> block(kScanBlock + 8);
    std::vector<char> scratch(kScanBlock * 2);
    std::size_t carried = 0;
    long long total = 0;
    bool first = true;
    const auto countLines = [&](const char* p, std::size_t n) {
        if (!wide) {
            for (const char* q = p; (q = static_cast<const char*>(std::memchr(q, '\n', n - (q - p)))) != nullptr; ++q)
                ++result.line;
            return;
        }
        for (std::size_t k = 0; k + 1 < n; k += 2)
            if (p[k] == '\n' && p[k + 1] == '\0') ++result.line;
    };
    for (;;) {
        std::size_t want = kScanBlock;
        if (limit >= 0 && total + static_cast<long long>(want) > limit) want = static_cast<std::size_t>(limit - total);
        const std::size_t got = want == 0 ? 0 : std::fread(block.data() + carried, 1, want, file);
        total += static_cast<long long>(got);
        const bool atEnd = got == 0;
        std::size_t size = carried + got;
        std::size_t start = 0;
        if (first) {
            start = std::min(skip, size);
            first = false;
        }
        if (size == start) return result;  // a cut sequence at a scan limit is not counted
        const char* text = block.data() + start;
        std::size_t length = size - start;
        std::size_t good = 0;
        bool cut = false;
        if (utf8) {
            good = ValidUtf8Prefix({text, length}, cut);
        } else {
            const char* in = text;
            std::size_t left = length;
            TextConverter::Step step;
            do {
                char* out = scratch.data();
                std::size_t room = scratch.size();
                step = converter->ConvertSome(in, left, out, room);
            } while (step == TextConverter::Step::OutputFull);
            good = length - left;
            cut = step == TextConverter::Step::Incomplete;
        }
        countLines(text, good);
        if (good < length && (!cut || (atEnd && limit < 0))) {
            result.valid = false;
            return result;
        }
        if (atEnd) return result;
        // The cut character goes on in the next block.
        carried = length - good;
        std::memmove(block.data(), text + good, carried);
    }
}

}  // namespace

std::string FileDecoder::Note() const {
    return std::string("文字コード: ") + EncodingKeyword(used_);
}

DoubleByteCode FileDecoder::RecordCode(DoubleByteCode clientCode) const {
    switch (used_) {
        case FileEncoding::Client: return clientCode;
        case FileEncoding::Sjis: return DoubleByteCode::ShiftJis;
        default: return DoubleByteCode::None;  // UTF-8 (and UTF-16 read as UTF-8), EUC-JP
    }
}

std::string FileDecoder::Open(const std::string& path, FileEncoding setting, const std::string& clientCharset,
                              long long scanLimit) {
    used_ = FileEncoding::Client;
    detected_ = false;
    stream_.reset();
    record_.reset();
    back_.reset();
    if (setting == FileEncoding::Client) return {};
    const std::string client = IconvNameOfCharset(clientCharset);
    FilePtr file = OpenForReading(path);
    if (!file) return {};  // the reader reports a file it cannot open
    if (setting != FileEncoding::Auto) {
        used_ = setting;
        const std::string_view mark = EncodingMark(setting);
        char head[3] = {};
        const std::size_t got = std::fread(head, 1, mark.size(), file.get());
        const std::size_t skip = got == mark.size() && std::string_view(head, got) == mark ? mark.size() : 0;
        const ScanResult scan = Scan(file.get(), EncodingIconvName(setting), scanLimit, skip);
        if (!scan.valid) {
            return std::string("CSVファイルは文字コード ") + EncodingKeyword(setting) + " のテキストではありません（" +
                   std::to_string(scan.line) + "行目）。";
        }
        return Prepare(client);
    }
    // Auto: a byte-order mark decides, then the client character set, UTF-8, code page 932.
    char head[3] = {};
    const std::size_t got = std::fread(head, 1, 3, file.get());
    const std::string_view start(head, got);
    FileEncoding found = FileEncoding::Client;
    if (start.substr(0, 3) == EncodingMark(FileEncoding::Utf8Bom)) {
        found = FileEncoding::Utf8Bom;
    } else if (start.substr(0, 2) == EncodingMark(FileEncoding::Utf16Le)) {
        found = FileEncoding::Utf16Le;
    } else if (client.empty() || Scan(file.get(), client, scanLimit, 0).valid) {
        found = FileEncoding::Client;
    } else if (client != "UTF-8" && Scan(file.get(), "UTF-8", scanLimit, 0).valid) {
        found = FileEncoding::Utf8;
    } else {
        found = FileEncoding::Sjis;
    }
    if (found == FileEncoding::Client) return {};
    used_ = found;
    // A file in the client's own encoding (a UTF-8 mark under a UTF-8 client) reads as ever;
    // only its error file gets the mark again.
    detected_ = EncodingIconvName(found) != client;
    return Prepare(client);
}

std::string FileDecoder::Prepare(const std::string& client) {
    if (client.empty()) {
        used_ = FileEncoding::Client;
        return "クライアント文字セットへの変換ができないため、文字コードの指定は使えません。";
    }
    std::string recordEncoding = EncodingIconvName(used_);
    if (used_ == FileEncoding::Utf16Le) {
        stream_ = std::make_unique<TextConverter>("UTF-8", "UTF-16LE");
        back_ = std::make_unique<TextConverter>("UTF-16LE", "UTF-8");
        recordEncoding = "UTF-8";
    }
    if (recordEncoding != client) record_ = std::make_unique<TextConverter>(client, recordEncoding);
    if ((stream_ && !stream_->Ready()) || (record_ && !record_->Ready()) || (back_ && !back_->Ready()))
        return std::string("文字コード ") + EncodingKeyword(used_) + " を変換できません。";
    return {};
}

bool FileDecoder::Decode(const std::string& record, std::string& text) {
    text.clear();
    if (!record_) {
        text = record;
        return true;
    }
    return record_->Convert(record, text);
}

const std::string& FileDecoder::FileBytes(const std::string& record) {
    if (!back_) return record;
    fileBytes_.clear();
    back_->ConvertReplacing(record, fileBytes_, std::string_view("?\0", 2));
    return fileBytes_;
}

}  // namespace tabrook
