#include "transfer/FileEncoder.h"

namespace tabrook {

std::string FileEncoder::Open(FileEncoding setting, const std::string& clientCharset) {
    used_ = setting == FileEncoding::Auto ? FileEncoding::Client : setting;
    converter_.reset();
    replaced_ = 0;
    if (used_ == FileEncoding::Client) return {};
    const std::string client = IconvNameOfCharset(clientCharset);
    const std::string target = EncodingIconvName(used_);
    if (client.empty()) return "クライアント文字セットからの変換ができないため、文字コードの指定は使えません。";
    if (client == target) return {};
    converter_ = std::make_unique<TextConverter>(target, client);
    TextConverter question(target, "ASCII");
    replacement_.clear();
    if (!converter_->Ready() || !question.Ready() || !question.Convert("?", replacement_))
        return std::string("文字コード ") + EncodingKeyword(used_) + " に変換できません。";
    return {};
}

std::string_view FileEncoder::Encode(const std::string& text) {
    if (!converter_) return text;
    out_.clear();
    replaced_ += static_cast<long long>(converter_->ConvertReplacing(text, out_, replacement_));
    return out_;
}

std::string FileEncoder::Note() const {
    if (replaced_ == 0) return {};
    return std::string("文字コード ") + EncodingKeyword(used_) + " にない文字 " + std::to_string(replaced_) +
           " 個を ? で出力しました。";
}

}  // namespace tabrook
