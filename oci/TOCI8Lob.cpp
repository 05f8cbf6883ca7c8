#include "oci/TOCI8Lob.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>
#include <string_view>
#include <vector>

#include "oci/TOCI8Ctrl.h"
#include "oci/TOCIException.h"

namespace tabrook {

namespace {

constexpr char kNotBFile[] = "このLOBはBFILEではありません";
constexpr char kStreamShort[] = "ストリームから必要なバイト数を読み込めません";

// The characters of UTF-8 text.
ub4 CharacterCount(std::string_view text) {
    ub4 n = 0;
    for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0 : 1;
    return n;
}

// A 1-based OCI offset moved by a signed amount, kept at 1 or above.
ub4 Moved(ub4 offset, sb4 by) {
    const long long moved = static_cast<long long>(offset) + by;
    return moved < 1 ? 1 : static_cast<ub4>(std::min<long long>(moved, 0xFFFFFFFFLL));
}

}  // namespace

TOCI8Lob::~TOCI8Lob() {
    Terminate();
    if (parent_ != nullptr) parent_->CtrlFree(this);
}

ub4 TOCI8Lob::DescriptorType() const {
    return lobType_ == entLob::BFile ? OCI_DTYPE_FILE : OCI_DTYPE_LOB;
}

void TOCI8Lob::SetParent(TOCI8Ctrl* parent) {
    if (allocated_) throw TOCIException("Lobが有効になっている間はTOCI8Ctrlへのバインドは変更できません");
    TOCI8Base::SetParent(parent);
}

bool TOCI8Lob::ConnChk() {
    ClearError();
    if (parent_ == nullptr) {
        SetError(-1, "TOCI8Ctrlが指定されていません");
        return false;
    }
    return true;
}

void TOCI8Lob::RequireConnection() {
    if (!ConnChk()) throw TOCIException(ErrMsg());
}

void TOCI8Lob::Check(sword status, bool acceptNeedData) {
    if (status == 0 || (acceptNeedData && status == static_cast<sword>(OCI_NEED_DATA))) {
        ClearError();
        return;
    }
    SetError(parent_->Check(status));
    throw TOCIException(ErrMsg());
}

void TOCI8Lob::SetLobType(entLob type) {
    if (allocated_) throw TOCIException("Lobが有効になっている間はLobTypeの変更はできません");
    lobType_ = type;
}

bool TOCI8Lob::Initialize() {
    if (allocated_) return true;
    if (!MemAlloc()) return false;
    allocated_ = true;
    return true;
}

bool TOCI8Lob::Terminate() {
    if (allocated_) {
        if (!MemFree()) return false;
        allocated_ = false;
        bufferring_ = false;
    }
    return true;
}

bool TOCI8Lob::MemAlloc() {
    if (!ConnChk()) return false;
    if (!parent_->Activated) {
        SetError(-1, "接続されていません");
        return false;
    }
    void* locator = nullptr;
    sword status = parent_->Entries().OCIDescriptorAlloc(parent_->hEnv, &locator, DescriptorType(), 0, nullptr);
    SetError(parent_->Check(status));
    if (status != 0) return false;
    locator_ = static_cast<OCILobLocator*>(locator);
    return true;
}

bool TOCI8Lob::MemFree() {
    if (!ConnChk()) return false;
    if (!parent_->Activated) {
        // The environment is gone and took the locator with it.
        locator_ = nullptr;
        temporary_ = false;
        return true;
    }
    const OciEntryTable& fn = parent_->Entries();
    if (temporary_ && fn.OCILobFreeTemporary != nullptr && parent_->hSvc != nullptr) {
        // The temporary LOB's space goes with the locator; a failure here loses nothing.
        fn.OCILobFreeTemporary(parent_->hSvc, parent_->hErr, locator_);
    }
    temporary_ = false;
    sword status = fn.OCIDescriptorFree(locator_, DescriptorType());
    SetError(parent_->Check(status));
    if (status != 0) return false;
    locator_ = nullptr;
    return true;
}

void TOCI8Lob::SetBufferring(bool on) {
    RequireConnection();
    if (on == bufferring_) return;
    const OciEntryTable& fn = parent_->Entries();
    sword status = on ? fn.OCILobEnableBuffering(parent_->hSvc, parent_->hErr, locator_)
                      : fn.OCILobDisableBuffering(parent_->hSvc, parent_->hErr, locator_);
    if (status != 0) {
        SetError(parent_->Check(status));
        throw TOCIException("LobバッファのON/OFF操作に失敗しました");
    }
    bufferring_ = on;
}

bool TOCI8Lob::GetExists() {
    RequireConnection();
    if (!IsBFile()) throw TOCIException(kNotBFile);
    boolean flag = 0;
    Check(parent_->Entries().OCILobFileExists(parent_->hSvc, parent_->hErr, locator_, &flag));
    return flag != 0;
}

ub4 TOCI8Lob::GetLength() {
    RequireConnection();
    ub4 length = 0;
    Check(parent_->Entries().OCILobGetLength(parent_->hSvc, parent_->hErr, locator_, &length));
    return length;
}

sb4 TOCI8Lob::GetCharSetForm() {
    RequireConnection();
    ub1 form = 0;
    Check(parent_->Entries().OCILobCharSetForm(parent_->hEnv, parent_->hErr, locator_, &form));
    return form;
}

sb4 TOCI8Lob::GetCharSetID() {
    RequireConnection();
    ub2 id = 0;
    Check(parent_->Entries().OCILobCharSetId(parent_->hEnv, parent_->hErr, locator_, &id));
    return id;
}

ub4 TOCI8Lob::Seek(sb4 offset, ub2 origin) {
    ClearError();
    if (origin == 0)
        position_ = 1;
    else if (origin == 2)
        position_ = GetLength() + 1;
    position_ = Moved(position_, offset);
    return 0;
}

void TOCI8Lob::FileOpen() {
    Check(
        parent_->Entries().OCILobFileOpen(parent_->hSvc, parent_->hErr, locator_, static_cast<ub1>(OCI_FILE_READONLY)));
}

void TOCI8Lob::FileClose() {
    Check(parent_->Entries().OCILobFileClose(parent_->hSvc, parent_->hErr, locator_));
}

ub4 TOCI8Lob::ReadPiece(char* buffer, ub4 count) {
    ub4 amount = count;
    sword status = parent_->Entries().OCILobRead(parent_->hSvc, parent_->hErr, locator_, &amount, position_, buffer,
                                                 count, nullptr, nullptr, 0, static_cast<ub1>(SQLCS_IMPLICIT));
    Check(status, true);
    position_ += amount;
    return amount;
}

ub4 TOCI8Lob::WritePiece(const char* buffer, ub4 count) {
    ub4 amount = count;
    sword status = parent_->Entries().OCILobWrite(parent_->hSvc, parent_->hErr, locator_, &amount, position_,
                                                  const_cast<char*>(buffer), count, static_cast<ub1>(OCI_ONE_PIECE),
                                                  nullptr, nullptr, 0, static_cast<ub1>(SQLCS_IMPLICIT));
    Check(status, true);
    position_ += amount;
    return amount;
}

ub4 TOCI8Lob::Read(void* buffer, ub4 count) {
    RequireConnection();
    if (IsBFile()) FileOpen();
    std::memset(buffer, 0, count);
    ub4 amount = 0;
    try {
        if (lobType_ == entLob::Clob)
            amount = ReadText(static_cast<char*>(buffer), count);
        else
            amount = ReadPiece(static_cast<char*>(buffer), count);
    } catch (const TOCIException&) {
        CloseFileAfterFailure();
        throw;
    }
    if (IsBFile()) FileClose();
    return amount;
}

ub4 TOCI8Lob::ReadText(char* buffer, ub4 count) {
    // The amount asked for counts characters, the buffer bytes: when the characters do not all
    // fit, the server goes on in pieces that this read does not want. They are drained, so that
    // the LOB is free for the next call, and the position moves by the characters received.
    ub4 amount = count;
    const OciEntryTable& fn = parent_->Entries();
    sword status = fn.OCILobRead(parent_->hSvc, parent_->hErr, locator_, &amount, position_, buffer, count, nullptr,
                                 nullptr, 0, static_cast<ub1>(SQLCS_IMPLICIT));
    Check(status, true);
    const ub4 bytes = amount;
    std::vector<char> rest(status == OCI_NEED_DATA ? kPieceSize : 0);
    while (status == OCI_NEED_DATA) {
        ub4 more = 0;
        status = fn.OCILobRead(parent_->hSvc, parent_->hErr, locator_, &more, position_, rest.data(),
                               static_cast<ub4>(rest.size()), nullptr, nullptr, 0, static_cast<ub1>(SQLCS_IMPLICIT));
        Check(status, true);
    }
    position_ += CharacterCount(parent_->ClientTextToUtf8(std::string_view(buffer, bytes)));
    return bytes;
}

ub4 TOCI8Lob::Write(const void* buffer, ub4 count) {
    if (IsBFile()) throw TOCIException("BFILEには書き込めません");
    RequireConnection();
    return WritePiece(static_cast<const char*>(buffer), count);
}

void TOCI8Lob::Trim(ub4 newLength) {
    if (IsBFile()) throw TOCIException("BFILEのサイズ調整はできません");
    RequireConnection();
    Check(parent_->Entries().OCILobTrim(parent_->hSvc, parent_->hErr, locator_, newLength));
    position_ = std::min(position_, newLength + 1);
}

void TOCI8Lob::CopyFrom(TOCI8Lob& source) {
    RequireConnection();
    const ub4 amount = source.GetLength();
    Check(parent_->Entries().OCILobCopy(parent_->hSvc, parent_->hErr, locator_, *source.GetLobLocator(), amount, 1, 1));
}

void TOCI8Lob::Flush() {
    RequireConnection();
    Check(parent_->Entries().OCILobFlushBuffer(parent_->hSvc, parent_->hErr, locator_, OCI_LOB_BUFFER_NOFREE));
}

void TOCI8Lob::GetFileName(std::string& directory, std::string& fileName) {
    RequireConnection();
    if (!IsBFile()) throw TOCIException("BFILE以外はファイル名の取得はできません");
    OraText alias[30] = {};
    OraText name[255] = {};
    ub2 aliasLength = sizeof alias;
    ub2 nameLength = sizeof name;
    Check(parent_->Entries().OCILobFileGetName(parent_->hEnv, parent_->hErr, locator_, alias, &aliasLength, name,
                                               &nameLength));
    directory.assign(reinterpret_cast<const char*>(alias), std::min<std::size_t>(aliasLength, sizeof alias));
    fileName.assign(reinterpret_cast<const char*>(name), std::min<std::size_t>(nameLength, sizeof name));
}

void TOCI8Lob::SetFileName(const std::string& directory, const std::string& fileName) {
    RequireConnection();
    if (!IsBFile()) throw TOCIException("BFILE以外はファイル名の設定はできません");
    Check(parent_->Entries().OCILobFileSetName(
        parent_->hEnv, parent_->hErr, &locator_, reinterpret_cast<const OraText*>(directory.data()),
        static_cast<ub2>(directory.size()), reinterpret_cast<const OraText*>(fileName.data()),
        static_cast<ub2>(fileName.size())));
}

void TOCI8Lob::WriteFromStream(std::istream& stream, ub4 count) {
    RequireConnection();
    if (IsBFile()) throw TOCIException("このLOBは書き込みできません");
    ub4 total = count;
    if (count == 0) {
        const auto here = stream.tellg();
        stream.seekg(0, std::ios::end);
        const auto end = stream.tellg();
        stream.seekg(here);
        if (here < 0 || end < here) throw TOCIException(kStreamShort);
        total = static_cast<ub4>(std::min<long long>(end - here, 0xFFFFFFFFLL));
    }
    if (total <= kPieceSize) {
        std::vector<char> buffer(total);
        stream.read(buffer.data(), total);
        if (static_cast<ub4>(stream.gcount()) != total) throw TOCIException(kStreamShort);
        if (total == 0) return;
        WritePiece(buffer.data(), total);
        if (OnLobStream) OnLobStream(true, total);
        return;
    }
    // One write in pieces: the server joins them before it converts the text, so that a
    // character cut between two pieces arrives whole. The amount given is the stream's bytes;
    // the last call returns the characters (bytes of a BLOB) written.
    const OciEntryTable& fn = parent_->Entries();
    std::vector<char> buffer(kPieceSize);
    ub4 remaining = total;
    ub4 amount = total;
    ub1 kind = static_cast<ub1>(OCI_FIRST_PIECE);
    for (;;) {
        const ub4 piece = std::min(remaining, kPieceSize);
        stream.read(buffer.data(), piece);
        if (static_cast<ub4>(stream.gcount()) != piece) {
            if (kind != OCI_FIRST_PIECE) EndPieces(buffer.data(), amount);
            throw TOCIException(kStreamShort);
        }
        remaining -= piece;
        if (kind != OCI_FIRST_PIECE) kind = static_cast<ub1>(remaining == 0 ? OCI_LAST_PIECE : OCI_NEXT_PIECE);
        sword status = fn.OCILobWrite(parent_->hSvc, parent_->hErr, locator_, &amount, position_, buffer.data(), piece,
                                      kind, nullptr, nullptr, 0, static_cast<ub1>(SQLCS_IMPLICIT));
        Check(status, true);
        if (status != OCI_NEED_DATA) break;
        kind = static_cast<ub1>(OCI_NEXT_PIECE);
        if (OnLobStream && !OnLobStream(true, total - remaining)) {
            // Stopped: an empty last piece ends the write with what was sent.
            EndPieces(buffer.data(), amount);
            return;
        }
    }
    position_ += amount;
    if (OnLobStream) OnLobStream(true, total);
}

void TOCI8Lob::EndPieces(char* buffer, ub4& amount) {
    Check(parent_->Entries().OCILobWrite(parent_->hSvc, parent_->hErr, locator_, &amount, position_, buffer, 0,
                                         static_cast<ub1>(OCI_LAST_PIECE), nullptr, nullptr, 0,
                                         static_cast<ub1>(SQLCS_IMPLICIT)));
    position_ += amount;
}

void TOCI8Lob::ReadToStream(std::ostream& stream, ub4 count) {
    RequireConnection();
    if (IsBFile()) FileOpen();
    try {
        // One streaming read from the position, in pieces of kPieceSize bytes, until the LOB
        // ends or count characters (bytes of a BLOB or BFILE) are read. The pieces come by
        // polling: every call but the last returns OCI_NEED_DATA.
        const ub4 length = GetLength();
        if (position_ <= length) {
            const ub4 wanted = count == 0 ? length - (position_ - 1) : std::min(count, length - (position_ - 1));
            const OciEntryTable& fn = parent_->Entries();
            std::vector<char> buffer(kPieceSize, 0);
            ub4 amount = wanted;
            ub4 moved = 0;
            bool wanting = true;
            sword status;
            do {
                status = fn.OCILobRead(parent_->hSvc, parent_->hErr, locator_, &amount, position_, buffer.data(),
                                       kPieceSize, nullptr, nullptr, 0, static_cast<ub1>(SQLCS_IMPLICIT));
                Check(status, true);
                if (!wanting) continue;  // stopped: the rest of the read is drained, not kept
                stream.write(buffer.data(), amount);
                if (!stream) throw TOCIException("ストリームに書き込めません");
                moved += amount;
                if (OnLobStream && !OnLobStream(true, moved)) wanting = false;
            } while (status == OCI_NEED_DATA);
            position_ += wanted;
        }
        stream.flush();
        stream.seekp(0);
        if (auto* both = dynamic_cast<std::iostream*>(&stream)) both->seekg(0);
    } catch (const TOCIException&) {
        CloseFileAfterFailure();
        throw;
    }
    if (IsBFile()) FileClose();
}

void TOCI8Lob::CloseFileAfterFailure() {
    // A failed read must not leave a file open: the next open would be refused. The failure's
    // own message stays the one reported.
    if (!IsBFile()) return;
    const OciError failure = LastError();
    parent_->Entries().OCILobFileClose(parent_->hSvc, parent_->hErr, locator_);
    SetError(failure);
}

void TOCI8Lob::LoadFromFile(const std::string& fileName) {
    RequireConnection();
    std::ifstream file(fileName, std::ios::binary);
    if (!file) throw TOCIException("ファイルを開けません: " + fileName);
    WriteFromStream(file, 0);
}

void TOCI8Lob::SaveToFile(const std::string& fileName) {
    RequireConnection();
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (!file) throw TOCIException("ファイルを作成できません: " + fileName);
    ReadToStream(file, 0);
    file.close();
    if (!file) throw TOCIException("ファイルに書き込めません: " + fileName);
}

void TOCI8Lob::CreateTemporary(bool national) {
    RequireConnection();
    if (IsBFile()) throw TOCIException("BFILEは一時LOBにできません");
    const OciEntryTable& fn = parent_->Entries();
    if (fn.OCILobCreateTemporary == nullptr || fn.OCILobFreeTemporary == nullptr)
        throw TOCIException("このOCIは一時LOBを作成できません");
    if (!Initialize()) throw TOCIException(ErrMsg());
    if (temporary_) FreeTemporary();
    const ub1 kind = static_cast<ub1>(lobType_ == entLob::Blob ? OCI_TEMP_BLOB : OCI_TEMP_CLOB);
    const ub1 form = static_cast<ub1>(national ? SQLCS_NCHAR : SQLCS_IMPLICIT);
    Check(fn.OCILobCreateTemporary(parent_->hSvc, parent_->hErr, locator_, 0, form, kind, 0,
                                   static_cast<OCIDuration>(OCI_DURATION_SESSION)));
    temporary_ = true;
    bufferring_ = false;
    position_ = 1;
}

void TOCI8Lob::FreeTemporary() {
    RequireConnection();
    if (!temporary_) return;
    temporary_ = false;
    Check(parent_->Entries().OCILobFreeTemporary(parent_->hSvc, parent_->hErr, locator_));
}

}  // namespace tabrook
