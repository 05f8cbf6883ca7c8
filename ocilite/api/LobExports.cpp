// The LOB services. A LOB locator carries its value: a fetch copies the content into it once,
// reads take pieces out of it, a temporary LOB is written in place. Offsets are 1-based and,
// for CLOBs as for BLOBs, count bytes of the content as the client sees it (a CLOB's text in
// the client character set, see LobText.h), so that a client moving a LOB in pieces of bytes
// gets every byte back exactly. BFILEs are read from the folder of their
// directory object while they are open.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "ocilite/api/ClientCharset.h"
#include "ocilite/api/LobLocator.h"
#include "ocilite/api/NlsInfo.h"
#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"
#include "ocilite/api/RoundTrip.h"
#include "ocilite/api/ServiceContextHandle.h"

using namespace ocilite::api;
using ocilite::OraError;

namespace {

// LOBs of this engine live in memory; 4 GB - 1 is also the most a ub4 amount can reach.
constexpr size_t kMaxLobBytes = 0xFFFFFFFEu;

OCILobLocator* Locator(const void* p) {
    HandleBase* h = LiveHandle(p);
    if (h == nullptr || (h->type != OCI_DTYPE_LOB && h->type != OCI_DTYPE_FILE)) return nullptr;
    return static_cast<OCILobLocator*>(h);
}

// Checks the handles every LOB call takes, then runs body on the error handle.
template <class F>
sword LobCall(const void* ctx, ub4 ctxType, OCIError* err, const void* loc, F&& body) {
    Diagnostics* diagnostics = DiagnosticsOf(err);
    HandleBase* c = LiveHandle(ctx);
    OCILobLocator* locator = Locator(loc);
    if (diagnostics == nullptr || c == nullptr || c->type != ctxType || locator == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword { return body(*locator); });
}

// A LOB call that Oracle serves on the server (its content or state lives there): one round
// trip once the handles are good. Calls that only look at the locator stay with LobCall.
template <class F>
sword ServerLobCall(const void* ctx, ub4 ctxType, OCIError* err, const void* loc, F&& body) {
    return LobCall(ctx, ctxType, err, loc, [&](OCILobLocator& locator) -> sword {
        RoundTrip();
        return body(locator);
    });
}

[[noreturn]] void InvalidLocator() {
    throw OraError(22275, "invalid LOB locator specified");
}
[[noreturn]] void BadParameter() {
    throw OraError(24801, "illegal parameter value in OCI lob function");
}

bool IsFile(const OCILobLocator& loc) {
    return loc.type == OCI_DTYPE_FILE;
}

void RequireValue(const OCILobLocator& loc) {
    if (!loc.hasValue && loc.fileName.empty()) InvalidLocator();
}

// An internal LOB (CLOB, NCLOB, BLOB) with a value.
std::string& Content(OCILobLocator& loc) {
    if (IsFile(loc) || !loc.hasValue) InvalidLocator();
    return loc.ref.locator;
}

// Changing a LOB needs a locator the client may write through.
std::string& WritableContent(OCILobLocator& loc) {
    if (IsFile(loc))
        throw OraError(22286, "insufficient privileges on file or directory to perform FILEWRITE operation");
    std::string& content = Content(loc);
    if (!loc.temporary) throw OraError(22920, "row containing the LOB value is not locked");
    return content;
}

OCISvcCtx& ServiceOf(OCISvcCtx* svchp) {
    if (svchp->session == nullptr) throw OraError(3114, "not connected to ORACLE");
    return *svchp;
}

std::filesystem::path FilePath(OCISvcCtx* svchp, const OCILobLocator& loc) {
    if (loc.fileName.empty()) InvalidLocator();
    std::string folder = ServiceOf(svchp).session->DirectoryPath(loc.directory);
    return std::filesystem::path(folder) / loc.fileName;
}

bool FileThere(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// Writes bytes at a 0-based offset; a gap after the end is filled with zero bytes (BLOB) or
// blanks (CLOB), as Oracle fills it.
void PutBytes(OCILobLocator& loc, std::string& content, size_t at, const char* bytes, size_t n) {
    if (at > kMaxLobBytes || n > kMaxLobBytes - at)
        throw OraError(22925, "operation would exceed maximum size allowed for a LOB value");
    if (at > content.size()) content.append(at - content.size(), loc.ref.lobType == 113 ? '\0' : ' ');
    const size_t overlap = std::min(n, content.size() - at);
    std::memcpy(content.data() + at, bytes, overlap);
    content.append(bytes + overlap, n - overlap);
}

// Reads up to n bytes at a 0-based offset of an open BFILE.
size_t ReadFile(OCILobLocator& loc, size_t at, char* out, size_t n) {
    std::ifstream& f = *loc.file;
    f.clear();
    f.seekg(static_cast<std::streamoff>(at));
    if (!f) return 0;
    f.read(out, static_cast<std::streamsize>(n));
    return static_cast<size_t>(f.gcount());
}

size_t FileLength(OCISvcCtx* svchp, const OCILobLocator& loc) {
    const auto path = FilePath(svchp, loc);
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) throw OraError(22285, "non-existent directory or file for GETLENGTH operation");
    return static_cast<size_t>(size);
}

// CLOB amounts and offsets count characters; in a UTF-8 client set they are counted over the
// content's bytes. Other sets and BLOBs count bytes.
bool CountsCharacters(const OCILobLocator& loc) {
    return !IsFile(loc) && loc.ref.lobType != 113 && ClientIsUtf8();
}

bool Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte offset `chars` characters after byte `from` (the end when there are fewer).
size_t SkipCharacters(const std::string& text, size_t from, uint64_t chars) {
    size_t at = from;
    while (at < text.size() && chars > 0) {
        ++at;
        while (at < text.size() && Continuation(text[at])) ++at;
        --chars;
    }
    return at;
}

uint64_t CharacterCount(const std::string& text) {
    uint64_t n = 0;
    for (char c : text) n += Continuation(c) ? 0 : 1;
    return n;
}

}  // namespace

extern "C" {

sword OCILobGetLength2(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, oraub8* lenp) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (lenp == nullptr) BadParameter();
        if (IsFile(loc))
            *lenp = FileLength(svchp, loc);
        else
            *lenp = CountsCharacters(loc) ? CharacterCount(Content(loc)) : Content(loc).size();
        return OCI_SUCCESS;
    });
}

sword OCILobRead2(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, oraub8* byte_amtp, oraub8* char_amtp,
                  oraub8 offset, void* bufp, oraub8 bufl, ub1 piece, void* ctxp, void* cbfp, ub2 csid, ub1 csfrm) {
    OCILobLocator* probe = Locator(locp);
    if (probe == nullptr || !CountsCharacters(*probe) || cbfp != nullptr || piece != OCI_ONE_PIECE) {
        // bytes: the 32-bit call does the work
        if (byte_amtp == nullptr || offset > kMaxLobBytes)
            return OCILobRead(svchp, errhp, locp, nullptr, 0, nullptr, 0, nullptr, nullptr, 0, 0);
        ub4 amount = static_cast<ub4>(std::min<oraub8>(*byte_amtp, kMaxLobBytes));
        if (amount == 0 && char_amtp != nullptr) amount = static_cast<ub4>(std::min<oraub8>(*char_amtp, kMaxLobBytes));
        const sword status = OCILobRead(svchp, errhp, locp, &amount, static_cast<ub4>(offset), bufp,
                                        static_cast<ub4>(std::min<oraub8>(bufl, kMaxLobBytes)), ctxp,
                                        reinterpret_cast<OCICallbackLobRead>(cbfp), csid, csfrm);
        *byte_amtp = amount;
        if (char_amtp != nullptr) *char_amtp = amount;
        return status;
    }
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (byte_amtp == nullptr || offset == 0 || (bufp == nullptr && bufl > 0)) BadParameter();
        const std::string& content = Content(loc);
        const size_t from = SkipCharacters(content, 0, offset - 1);
        if (from >= content.size()) {
            *byte_amtp = 0;
            if (char_amtp != nullptr) *char_amtp = 0;
            throw OraError(1403, "no data found");
        }
        // characters wanted (0: all), as many whole ones as the buffer holds
        const uint64_t chars = char_amtp != nullptr && *char_amtp != 0 ? *char_amtp : UINT64_MAX;
        size_t end = SkipCharacters(content, from, chars);
        if (end - from > bufl) {
            end = from + bufl;
            while (end > from && end < content.size() && Continuation(content[end])) --end;
        }
        std::memcpy(bufp, content.data() + from, end - from);
        *byte_amtp = end - from;
        if (char_amtp != nullptr) *char_amtp = CharacterCount(content.substr(from, end - from));
        return OCI_SUCCESS;
    });
}

sword OCILobWrite2(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, oraub8* byte_amtp, oraub8* char_amtp,
                   oraub8 offset, void* bufp, oraub8 buflen, ub1 piece, void* ctxp, void* cbfp, ub2 csid, ub1 csfrm) {
    OCILobLocator* probe = Locator(locp);
    if (probe == nullptr || !CountsCharacters(*probe) || piece != OCI_ONE_PIECE) {
        if (byte_amtp == nullptr)
            return OCILobWrite(svchp, errhp, locp, nullptr, 0, nullptr, 0, piece, nullptr, nullptr, 0, 0);
        ub4 amount = static_cast<ub4>(std::min<oraub8>(*byte_amtp, kMaxLobBytes));
        const sword status = OCILobWrite(svchp, errhp, locp, &amount, static_cast<ub4>(offset), bufp,
                                         static_cast<ub4>(std::min<oraub8>(buflen, kMaxLobBytes)), piece, ctxp,
                                         reinterpret_cast<OCICallbackLobWrite>(cbfp), csid, csfrm);
        *byte_amtp = amount;
        if (char_amtp != nullptr) *char_amtp = amount;
        return status;
    }
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        std::string& content = WritableContent(loc);
        if (byte_amtp == nullptr || offset == 0 || (bufp == nullptr && buflen > 0)) BadParameter();
        // the offset counts characters; past the end the gap is filled with blanks
        const uint64_t have = CharacterCount(content);
        if (offset - 1 > have) content.append(offset - 1 - have, ' ');
        const size_t at = SkipCharacters(content, 0, offset - 1);
        const std::string text(static_cast<const char*>(bufp), buflen);
        // the characters written replace as many characters
        const size_t replacedEnd = SkipCharacters(content, at, CharacterCount(text));
        content.replace(at, replacedEnd - at, text);
        *byte_amtp = buflen;
        if (char_amtp != nullptr) *char_amtp = CharacterCount(text);
        return OCI_SUCCESS;
    });
}

sword OCILobTrim2(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, oraub8 newlen) {
    OCILobLocator* probe = Locator(locp);
    if (probe == nullptr || !CountsCharacters(*probe))
        return OCILobTrim(svchp, errhp, locp, static_cast<ub4>(std::min<oraub8>(newlen, kMaxLobBytes)));
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        std::string& content = WritableContent(loc);
        if (newlen > CharacterCount(content))
            throw OraError(22926, "specified trim length is greater than current LOB value's length");
        content.resize(SkipCharacters(content, 0, newlen));
        return OCI_SUCCESS;
    });
}

sword OCILobGetChunkSize(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* chunksizep) {
    return LobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (chunksizep == nullptr) BadParameter();
        *chunksizep = 8132;  // Oracle's usable bytes of an 8 KB block
        return OCI_SUCCESS;
    });
}

sword OCILobIsTemporary(OCIEnv* envhp, OCIError* errhp, OCILobLocator* locp, boolean* is_temporary) {
    return LobCall(envhp, OCI_HTYPE_ENV, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (is_temporary == nullptr) BadParameter();
        *is_temporary = loc.temporary ? 1 : 0;
        return OCI_SUCCESS;
    });
}

sword OCILobOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub1 mode) {
    if (OCILobLocator* loc = Locator(locp); loc != nullptr && IsFile(*loc))
        return OCILobFileOpen(svchp, errhp, locp, mode);
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        RequireValue(loc);
        if (loc.opened) throw OraError(22293, "LOB already opened in the same transaction");
        loc.opened = true;
        return OCI_SUCCESS;
    });
}

sword OCILobClose(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp) {
    if (OCILobLocator* loc = Locator(locp); loc != nullptr && IsFile(*loc)) return OCILobFileClose(svchp, errhp, locp);
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (!loc.opened) throw OraError(22289, "cannot perform operation on an unopened file or LOB");
        loc.opened = false;
        return OCI_SUCCESS;
    });
}

sword OCILobLocatorAssign(OCISvcCtx* svchp, OCIError* errhp, const OCILobLocator* src_locp, OCILobLocator** dst_locpp) {
    if (dst_locpp == nullptr) return OCI_INVALID_HANDLE;
    OCILobLocator* dst = Locator(*dst_locpp);
    if (dst == nullptr) return OCI_INVALID_HANDLE;
    return LobCall(svchp, OCI_HTYPE_SVCCTX, errhp, src_locp, [&](OCILobLocator& src) -> sword {
        // a temporary LOB is copied, a persistent one's locator points at the same value
        dst->ref = src.ref;
        dst->hasValue = src.hasValue;
        dst->temporary = src.temporary;
        dst->directory = src.directory;
        dst->fileName = src.fileName;
        return OCI_SUCCESS;
    });
}

sword OCILobEnableBuffering(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp) {
    return LobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [](OCILobLocator& loc) -> sword {
        Content(loc);
        loc.buffering = true;
        return OCI_SUCCESS;
    });
}
sword OCILobDisableBuffering(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp) {
    return LobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [](OCILobLocator& loc) -> sword {
        Content(loc);
        loc.buffering = false;
        return OCI_SUCCESS;
    });
}
sword OCILobFlushBuffer(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4 flag) {
    // Buffered writes land in the locator's content at once, so a flush has nothing left to move.
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        Content(loc);
        if (flag != OCI_LOB_BUFFER_FREE && flag != OCI_LOB_BUFFER_NOFREE) BadParameter();
        return OCI_SUCCESS;
    });
}
sword OCILobFileExists(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep, boolean* flag) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, filep, [&](OCILobLocator& loc) -> sword {
        if (!IsFile(loc) || flag == nullptr) InvalidLocator();
        *flag = FileThere(FilePath(svchp, loc)) ? 1 : 0;
        return OCI_SUCCESS;
    });
}
sword OCILobGetLength(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* lenp) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (lenp == nullptr) BadParameter();
        *lenp = static_cast<ub4>(IsFile(loc) ? FileLength(svchp, loc) : Content(loc).size());
        return OCI_SUCCESS;
    });
}
sword OCILobIsOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, boolean* flag) {
    // Internal LOBs are never opened explicitly here; a BFILE is open between FileOpen and FileClose.
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        RequireValue(loc);
        if (flag == nullptr) InvalidLocator();
        *flag = loc.file != nullptr ? 1 : 0;
        return OCI_SUCCESS;
    });
}
sword OCILobFileIsOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep, boolean* flag) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, filep, [&](OCILobLocator& loc) -> sword {
        if (!IsFile(loc) || flag == nullptr) InvalidLocator();
        RequireValue(loc);
        *flag = loc.file != nullptr ? 1 : 0;
        return OCI_SUCCESS;
    });
}
sword OCILobCharSetForm(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* locp, ub1* csfrm) {
    return LobCall(envhp, OCI_HTYPE_ENV, errhp, locp, [&](OCILobLocator& loc) -> sword {
        RequireValue(loc);
        if (csfrm == nullptr) InvalidLocator();
        *csfrm = loc.ref.lobType == SQLT_CLOB ? (loc.ref.national ? SQLCS_NCHAR : SQLCS_IMPLICIT) : 0;
        return OCI_SUCCESS;
    });
}
sword OCILobCharSetId(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* locp, ub2* csid) {
    return LobCall(envhp, OCI_HTYPE_ENV, errhp, locp, [&](OCILobLocator& loc) -> sword {
        RequireValue(loc);
        if (csid == nullptr) InvalidLocator();
        *csid = loc.ref.lobType == SQLT_CLOB ? (loc.ref.national ? kNationalCharsetId : kDatabaseCharsetId) : 0;
        return OCI_SUCCESS;
    });
}
sword OCILobWrite(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amtp, ub4 offset, void* bufp, ub4 buflen,
                  ub1 piece, void* ctxp, OCICallbackLobWrite cbfp, ub2 csid, ub1 csfrm) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        std::string& content = WritableContent(loc);
        if (amtp == nullptr || (bufp == nullptr && buflen > 0)) BadParameter();
        const char* bytes = static_cast<const char*>(bufp);
        switch (piece) {
            case OCI_ONE_PIECE: {
                if (offset == 0) BadParameter();
                const size_t n = std::min<size_t>(*amtp == 0 ? buflen : *amtp, buflen);
                PutBytes(loc, content, offset - 1, bytes, n);
                loc.writingPieces = false;
                *amtp = static_cast<ub4>(n);
                return OCI_SUCCESS;
            }
            case OCI_FIRST_PIECE: {
                if (offset == 0) BadParameter();
                loc.writingPieces = true;
                loc.nextPieceAt = offset - 1;
                PutBytes(loc, content, loc.nextPieceAt, bytes, buflen);
                loc.nextPieceAt += buflen;
                size_t total = buflen;
                if (cbfp == nullptr) {
                    *amtp = static_cast<ub4>(total);
                    return static_cast<sword>(OCI_NEED_DATA);
                }
                // Callback mode: the client hands every further piece through its callback.
                for (;;) {
                    ub4 len = buflen;
                    ub1 next = OCI_NEXT_PIECE;
                    if (cbfp(ctxp, bufp, &len, &next) != OCI_CONTINUE) {
                        loc.writingPieces = false;
                        throw OraError(24343, "user defined callback error");
                    }
                    if (len > buflen) BadParameter();
                    PutBytes(loc, content, loc.nextPieceAt, bytes, len);
                    loc.nextPieceAt += len;
                    total += len;
                    if (next == OCI_LAST_PIECE) break;
                }
                loc.writingPieces = false;
                *amtp = static_cast<ub4>(total);
                return OCI_SUCCESS;
            }
            case OCI_NEXT_PIECE:
            case OCI_LAST_PIECE: {
                if (!loc.writingPieces)
                    throw OraError(24804, "operation not allowed: the LOB is not being written in pieces");
                PutBytes(loc, content, loc.nextPieceAt, bytes, buflen);
                loc.nextPieceAt += buflen;
                *amtp = buflen;
                if (piece == OCI_NEXT_PIECE) return static_cast<sword>(OCI_NEED_DATA);
                loc.writingPieces = false;
                return OCI_SUCCESS;
            }
            default: BadParameter();
        }
    });
}
sword OCILobFileOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep, ub1 mode) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, filep, [&](OCILobLocator& loc) -> sword {
        if (!IsFile(loc)) InvalidLocator();
        if (mode != OCI_FILE_READONLY) BadParameter();
        if (loc.file != nullptr)
            throw OraError(22290, "operation would exceed the maximum number of opened files or LOBs");
        const auto path = FilePath(svchp, loc);
        if (!FileThere(path)) throw OraError(22288, "file or LOB operation FILEOPEN failed\nNo such file or directory");
        auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
        if (!*file) throw OraError(22288, "file or LOB operation FILEOPEN failed\nPermission denied");
        loc.file = std::move(file);
        return OCI_SUCCESS;
    });
}
sword OCILobFileClose(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, filep, [&](OCILobLocator& loc) -> sword {
        if (!IsFile(loc)) InvalidLocator();
        if (loc.file == nullptr) throw OraError(22289, "cannot perform FILECLOSE operation on an unopened file or LOB");
        loc.file.reset();
        return OCI_SUCCESS;
    });
}
sword OCILobRead(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amtp, ub4 offset, void* bufp, ub4 bufl,
                 void* ctxp, OCICallbackLobRead cbfp, ub2 csid, ub1 csfrm) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (amtp == nullptr || offset == 0 || (bufp == nullptr && bufl > 0)) BadParameter();
        char* out = static_cast<char*>(bufp);
        const size_t at = offset - 1;
        // Amount 0 asks for everything from the offset on.
        size_t wanted = *amtp == 0 ? kMaxLobBytes : *amtp;
        size_t length = 0;
        const std::string* content = nullptr;
        if (IsFile(loc)) {
            if (loc.file == nullptr)
                throw OraError(22289, "cannot perform FILEREAD operation on an unopened file or LOB");
            length = FileLength(svchp, loc);
        } else {
            content = &Content(loc);
            length = content->size();
        }
        if (at >= length) {
            *amtp = 0;
            throw OraError(1403, "no data found");
        }
        wanted = std::min(wanted, length - at);
        auto take = [&](size_t from, size_t n) {
            return content != nullptr ? (std::memcpy(out, content->data() + from, n), n) : ReadFile(loc, from, out, n);
        };
        if (cbfp == nullptr) {
            const size_t n = take(at, std::min<size_t>(wanted, bufl));
            *amtp = static_cast<ub4>(n);
            return OCI_SUCCESS;
        }
        // Callback mode: the buffer is filled and handed over until the amount is read.
        if (bufl == 0) BadParameter();
        size_t done = 0;
        while (done < wanted) {
            const size_t n = take(at + done, std::min<size_t>(wanted - done, bufl));
            if (n == 0) break;
            done += n;
            const ub1 piece = done == n ? (done == wanted ? OCI_ONE_PIECE : OCI_FIRST_PIECE)
                                        : (done == wanted ? OCI_LAST_PIECE : OCI_NEXT_PIECE);
            if (cbfp(ctxp, bufp, static_cast<ub4>(n), piece) != OCI_CONTINUE) break;
        }
        *amtp = static_cast<ub4>(done);
        return OCI_SUCCESS;
    });
}
sword OCILobCopy(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* dst_locp, OCILobLocator* src_locp, ub4 amount,
                 ub4 dst_offset, ub4 src_offset) {
    OCILobLocator* src = Locator(src_locp);
    if (src == nullptr) return OCI_INVALID_HANDLE;
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, dst_locp, [&](OCILobLocator& dst) -> sword {
        std::string& target = WritableContent(dst);
        if (IsFile(*src)) InvalidLocator();
        if (src->ref.lobType != dst.ref.lobType) throw OraError(932, "inconsistent datatypes: expected - got -");
        if (dst.buffering || src->buffering)
            throw OraError(22279, "cannot perform operation with LOB buffering enabled");
        if (dst_offset == 0 || src_offset == 0) BadParameter();
        const std::string& source = Content(*src);
        if (src_offset - 1 > source.size()) throw OraError(1403, "no data found");
        const size_t n = std::min<size_t>(amount, source.size() - (src_offset - 1));
        if (&source == &target) {
            const std::string piece = source.substr(src_offset - 1, n);
            PutBytes(dst, target, dst_offset - 1, piece.data(), n);
        } else {
            PutBytes(dst, target, dst_offset - 1, source.data() + (src_offset - 1), n);
        }
        return OCI_SUCCESS;
    });
}
sword OCILobTrim(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4 newlen) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        std::string& content = WritableContent(loc);
        if (loc.buffering) throw OraError(22279, "cannot perform operation with LOB buffering enabled");
        if (newlen > content.size())
            throw OraError(22926, "specified trim length is greater than current LOB value's length");
        content.resize(newlen);
        content.shrink_to_fit();
        return OCI_SUCCESS;
    });
}
sword OCILobFileGetName(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* filep, OraText* dir_alias, ub2* d_length,
                        OraText* filename, ub2* f_length) {
    return LobCall(envhp, OCI_HTYPE_ENV, errhp, filep, [&](OCILobLocator& loc) -> sword {
        if (!IsFile(loc)) InvalidLocator();
        if (d_length == nullptr || f_length == nullptr || dir_alias == nullptr || filename == nullptr) InvalidLocator();
        if (loc.directory.size() > *d_length || loc.fileName.size() > *f_length)
            throw OraError(22289, "cannot perform operation on an unopened file or LOB");
        std::memcpy(dir_alias, loc.directory.data(), loc.directory.size());
        std::memcpy(filename, loc.fileName.data(), loc.fileName.size());
        *d_length = static_cast<ub2>(loc.directory.size());
        *f_length = static_cast<ub2>(loc.fileName.size());
        return OCI_SUCCESS;
    });
}
sword OCILobFileSetName(OCIEnv* envhp, OCIError* errhp, OCILobLocator** filepp, const OraText* dir_alias, ub2 d_length,
                        const OraText* filename, ub2 f_length) {
    if (filepp == nullptr) return OCI_INVALID_HANDLE;
    return LobCall(envhp, OCI_HTYPE_ENV, errhp, *filepp, [&](OCILobLocator& loc) -> sword {
        if (!IsFile(loc) || dir_alias == nullptr || filename == nullptr) InvalidLocator();
        loc.file.reset();
        loc.directory.assign(reinterpret_cast<const char*>(dir_alias), d_length);
        loc.fileName.assign(reinterpret_cast<const char*>(filename), f_length);
        loc.ref.lobType = SQLT_BFILEE;
        loc.ref.national = false;
        loc.ref.locator = loc.directory + '\0' + loc.fileName;
        loc.hasValue = true;
        return OCI_SUCCESS;
    });
}
sword OCILobCreateTemporary(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub2 csid, ub1 csfrm, ub1 lobtype,
                            boolean cache, OCIDuration duration) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        ServiceOf(svchp);
        if (IsFile(loc)) InvalidLocator();
        if (lobtype != OCI_TEMP_BLOB && lobtype != OCI_TEMP_CLOB) BadParameter();
        loc.ref.lobType = lobtype == OCI_TEMP_BLOB ? SQLT_BLOB : SQLT_CLOB;
        loc.ref.national = lobtype == OCI_TEMP_CLOB && csfrm == SQLCS_NCHAR;
        loc.ref.locator.clear();
        loc.ref.locator.shrink_to_fit();
        loc.hasValue = true;
        loc.temporary = true;
        loc.buffering = false;
        loc.writingPieces = false;
        return OCI_SUCCESS;
    });
}
sword OCILobFreeTemporary(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (!loc.temporary) InvalidLocator();
        loc.ref.locator.clear();
        loc.ref.locator.shrink_to_fit();
        loc.hasValue = false;
        loc.temporary = false;
        loc.buffering = false;
        loc.writingPieces = false;
        return OCI_SUCCESS;
    });
}

ub1* OCIRawPtr(OCIEnv* env, const OCIRaw* raw) {
    // No OCIRaw object is ever created by this library, so there is no data to point at.
    return nullptr;
}

oratext* OCIStringPtr(OCIEnv* env, const OCIString* vs) {
    return nullptr;
}

}  // extern "C"
