// The LOB services. A LOB locator carries its value: a fetch copies the content into it once,
// reads take pieces out of it, a temporary LOB is written in place. Offsets are 1-based. A
// CLOB's content stays in the database character set and its offsets, amounts and lengths count
// characters, as Oracle's do; the text a client reads or writes is in the client character set
// (LobText.h). BLOBs and BFILEs count bytes. A read that asks for more than its buffer holds
// goes on in pieces: through the callback, or by polling (OCI_NEED_DATA until the last piece).
// BFILEs are read from the folder of their directory object while they are open.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "ocilite/api/ClientCharset.h"
#include "ocilite/api/LobLocator.h"
#include "ocilite/api/LobText.h"
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
    loc.ForgetCharacters();  // the caller is about to change it
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

bool IsText(const OCILobLocator& loc) {
    return !IsFile(loc) && loc.ref.lobType != SQLT_BLOB;
}

[[noreturn]] void TooLarge() {
    throw OraError(22925, "operation would exceed maximum size allowed for a LOB value");
}

// The characters of a CLOB's content.
uint64_t TextLength(OCILobLocator& loc, const std::string& content) {
    if (loc.charLength == OCILobLocator::kUnknown) loc.charLength = CharacterCount(content);
    return loc.charLength;
}

// The byte offset of a CLOB's content after `chars` characters (its end when it has fewer),
// counted on from the locator's mark when that lies before.
size_t TextOffset(OCILobLocator& loc, const std::string& content, uint64_t chars) {
    if (loc.markBytes > content.size()) loc.ForgetCharacters();
    const bool fromMark = chars >= loc.markChars;
    const size_t at = SkipCharacters(content, fromMark ? loc.markBytes : 0, fromMark ? chars - loc.markChars : chars);
    if (at < content.size()) {
        loc.markChars = chars;
        loc.markBytes = at;
    }
    return at;
}

// The length the calls report: characters of a CLOB, bytes of a BLOB or BFILE.
uint64_t LengthOf(OCISvcCtx* svchp, OCILobLocator& loc) {
    if (IsFile(loc)) return FileLength(svchp, loc);
    const std::string& content = Content(loc);
    return IsText(loc) ? TextLength(loc, content) : content.size();
}

// Stores database text at a 1-based character offset of a CLOB: the characters written
// replace as many characters; a gap after the end is filled with blanks. Returns the
// characters written.
uint64_t StoreText(OCILobLocator& loc, std::string& content, uint64_t offset, std::string_view text) {
    const uint64_t have = TextLength(loc, content);
    if (offset - 1 > have) {
        if (offset - 1 - have > kMaxLobBytes - content.size()) TooLarge();
        content.append(offset - 1 - have, ' ');
        loc.charLength = offset - 1;
    }
    const uint64_t length = loc.charLength;
    const size_t at = TextOffset(loc, content, offset - 1);
    const uint64_t chars = CharacterCount(text);
    const uint64_t replaced = std::min(chars, length - (offset - 1));
    const size_t replacedEnd = SkipCharacters(content, at, replaced);
    if (text.size() > kMaxLobBytes - (content.size() - (replacedEnd - at))) TooLarge();
    content.replace(at, replacedEnd - at, text);
    loc.charLength = length - replaced + chars;
    loc.markChars = offset - 1;  // still true: the text before it is unchanged
    loc.markBytes = at;
    return chars;
}

// Stores what a client wrote at a 1-based offset; returns the characters (bytes of a BLOB) written.
uint64_t StoreClientBytes(OCILobLocator& loc, std::string& content, uint64_t offset, std::string_view bytes) {
    if (!IsText(loc)) {
        if (offset - 1 > kMaxLobBytes) TooLarge();
        PutBytes(loc, content, offset - 1, bytes.data(), bytes.size());
        return bytes.size();
    }
    return StoreText(loc, content, offset, ContentFromClient(bytes));
}

// Begins a read at a 1-based offset that wants `amount` characters (bytes of a BLOB or BFILE);
// 0 reads to the end.
void StartRead(OCISvcCtx* svchp, OCILobLocator& loc, uint64_t offset, uint64_t amount) {
    loc.readingPieces = false;
    if (offset == 0) BadParameter();
    size_t length = 0;
    size_t at = 0;
    if (IsFile(loc)) {
        if (loc.file == nullptr) throw OraError(22289, "cannot perform FILEREAD operation on an unopened file or LOB");
        length = FileLength(svchp, loc);
        at = static_cast<size_t>(std::min<uint64_t>(offset - 1, SIZE_MAX));
    } else {
        const std::string& content = Content(loc);
        length = content.size();
        at = IsText(loc) ? TextOffset(loc, content, offset - 1)
                         : static_cast<size_t>(std::min<uint64_t>(offset - 1, SIZE_MAX));
    }
    if (at >= length) throw OraError(1403, "no data found");
    loc.readAt = at;
    loc.readLeft = amount == 0 ? UINT64_MAX : amount;
}

// The next piece of the read begun by StartRead, into out.
TextPiece NextPiece(OCILobLocator& loc, char* out, size_t room) {
    TextPiece piece;
    if (IsText(loc)) {
        piece = TakeClientText(Content(loc), loc.readAt, loc.readLeft, out, room);
    } else {
        size_t n = static_cast<size_t>(std::min<uint64_t>(room, loc.readLeft));
        if (IsFile(loc)) {
            n = ReadFile(loc, loc.readAt, out, n);
        } else {
            const std::string& content = Content(loc);
            n = std::min(n, content.size() - std::min(loc.readAt, content.size()));
            std::memcpy(out, content.data() + loc.readAt, n);
        }
        piece = TextPiece{n, n, n};
    }
    loc.readAt += piece.consumed;
    loc.readLeft -= piece.chars;
    return piece;
}

bool ReadDone(OCISvcCtx* svchp, OCILobLocator& loc) {
    if (loc.readLeft == 0) return true;
    return loc.readAt >= (IsFile(loc) ? FileLength(svchp, loc) : Content(loc).size());
}

// Reads the read begun by StartRead into the client's buffer: through the callback piece by
// piece; or one buffer full, leaving the read open for polling when more is wanted. bytes
// receives the client bytes moved, units the characters (bytes of a BLOB or BFILE).
sword ReadInto(OCISvcCtx* svchp, OCILobLocator& loc, char* out, size_t room, void* ctxp, OCICallbackLobRead cbfp,
               bool polling, uint64_t& bytes, uint64_t& units) {
    bytes = 0;
    units = 0;
    auto take = [&](bool& done) {
        const TextPiece piece = NextPiece(loc, out, room);
        done = ReadDone(svchp, loc);
        // a buffer too small for one character would make no progress
        if (piece.bytes == 0 && !done) BadParameter();
        bytes += piece.bytes;
        units += piece.chars;
        return piece;
    };
    bool done = false;
    if (cbfp == nullptr) {
        take(done);
        if (done || !polling) return OCI_SUCCESS;
        loc.readingPieces = true;
        return static_cast<sword>(OCI_NEED_DATA);
    }
    if (room == 0) BadParameter();
    for (bool first = true;; first = false) {
        const TextPiece piece = take(done);
        const ub1 kind =
            first ? (done ? OCI_ONE_PIECE : OCI_FIRST_PIECE) : (done ? OCI_LAST_PIECE : OCI_NEXT_PIECE);
        if (cbfp(ctxp, out, static_cast<ub4>(piece.bytes), kind) != OCI_CONTINUE || done) break;
    }
    return OCI_SUCCESS;
}

// Writes through the client's buffer at a 1-based offset: one piece, or pieces collected
// until the last one (polling or through the callback) and stored together, so that a
// character cut between two pieces arrives whole. bytes receives the client bytes taken,
// units the characters (bytes of a BLOB) written once the write is complete.
sword WriteFrom(OCILobLocator& loc, uint64_t offset, uint64_t amount, char* buffer, size_t buflen, ub1 piece, void* ctxp,
                OCICallbackLobWrite cbfp, uint64_t& bytes, uint64_t& units) {
    std::string& content = WritableContent(loc);
    if (buffer == nullptr && buflen > 0) BadParameter();
    bytes = 0;
    units = 0;
    auto collect = [&](size_t n) {
        if (n > kMaxLobBytes - loc.pendingPieces.size()) {
            loc.writingPieces = false;
            loc.pendingPieces.clear();
            TooLarge();
        }
        loc.pendingPieces.append(buffer, n);
        bytes = n;
    };
    auto finish = [&]() {
        loc.writingPieces = false;
        std::string pending;
        pending.swap(loc.pendingPieces);
        bytes = pending.size();
        units = StoreClientBytes(loc, content, loc.writeOffset, pending);
        return OCI_SUCCESS;
    };
    switch (piece) {
        case OCI_ONE_PIECE: {
            if (offset == 0) BadParameter();
            loc.writingPieces = false;
            loc.pendingPieces.clear();
            const size_t n = static_cast<size_t>(std::min<uint64_t>(amount == 0 ? buflen : amount, buflen));
            bytes = n;
            units = StoreClientBytes(loc, content, offset, std::string_view(buffer, n));
            return OCI_SUCCESS;
        }
        case OCI_FIRST_PIECE: {
            if (offset == 0) BadParameter();
            loc.writingPieces = true;
            loc.writeOffset = offset;
            loc.pendingPieces.clear();
            collect(buflen);
            if (cbfp == nullptr) return static_cast<sword>(OCI_NEED_DATA);
            // Callback mode: the client hands every further piece through its callback.
            for (;;) {
                ub4 len = static_cast<ub4>(buflen);
                ub1 next = OCI_NEXT_PIECE;
                if (cbfp(ctxp, buffer, &len, &next) != OCI_CONTINUE) {
                    loc.writingPieces = false;
                    loc.pendingPieces.clear();
                    throw OraError(24343, "user defined callback error");
                }
                if (len > buflen) BadParameter();
                collect(len);
                if (next == OCI_LAST_PIECE) break;
            }
            return finish();
        }
        case OCI_NEXT_PIECE:
        case OCI_LAST_PIECE: {
            if (!loc.writingPieces)
                throw OraError(24804, "operation not allowed: the LOB is not being written in pieces");
            collect(buflen);
            if (piece == OCI_NEXT_PIECE) return static_cast<sword>(OCI_NEED_DATA);
            return finish();
        }
        default: BadParameter();
    }
}

}  // namespace

extern "C" {

sword OCILobGetLength2(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, oraub8* lenp) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (lenp == nullptr) BadParameter();
        *lenp = LengthOf(svchp, loc);
        return OCI_SUCCESS;
    });
}

sword OCILobRead2(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, oraub8* byte_amtp, oraub8* char_amtp,
                  oraub8 offset, void* bufp, oraub8 bufl, ub1 piece, void* ctxp, void* cbfp, ub2 csid, ub1 csfrm) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (byte_amtp == nullptr || (bufp == nullptr && bufl > 0)) BadParameter();
        if (piece != OCI_ONE_PIECE && piece != OCI_FIRST_PIECE && piece != OCI_NEXT_PIECE) BadParameter();
        size_t room = static_cast<size_t>(std::min<oraub8>(bufl, kMaxLobBytes));
        const oraub8 wantedBytes = *byte_amtp;
        const oraub8 wantedChars = char_amtp != nullptr ? *char_amtp : 0;
        *byte_amtp = 0;
        if (char_amtp != nullptr) *char_amtp = 0;
        if (piece != OCI_NEXT_PIECE || !loc.readingPieces) {
            // A read from just past the end reads nothing, successfully: drivers read a LOB
            // in chunks until a read brings nothing.
            if (offset != 0 && offset - 1 == LengthOf(svchp, loc)) {
                loc.readingPieces = false;
                return OCI_SUCCESS;
            }
            // A CLOB counts the characters asked for; without them, the bytes bound the read.
            const bool chars = IsText(loc) && wantedChars != 0;
            StartRead(svchp, loc, offset, chars ? wantedChars : IsText(loc) ? 0 : wantedBytes);
            if (IsText(loc) && !chars && wantedBytes != 0) room = std::min<size_t>(room, wantedBytes);
        }
        loc.readingPieces = false;
        uint64_t bytes = 0, units = 0;
        const sword status = ReadInto(svchp, loc, static_cast<char*>(bufp), room, ctxp,
                                      reinterpret_cast<OCICallbackLobRead>(cbfp), piece != OCI_ONE_PIECE, bytes, units);
        *byte_amtp = bytes;
        if (char_amtp != nullptr) *char_amtp = units;
        return status;
    });
}

sword OCILobWrite2(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, oraub8* byte_amtp, oraub8* char_amtp,
                   oraub8 offset, void* bufp, oraub8 buflen, ub1 piece, void* ctxp, void* cbfp, ub2 csid, ub1 csfrm) {
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (byte_amtp == nullptr || buflen > kMaxLobBytes) BadParameter();
        uint64_t bytes = 0, units = 0;
        const sword status =
            WriteFrom(loc, offset, *byte_amtp, static_cast<char*>(bufp), static_cast<size_t>(buflen), piece, ctxp,
                      reinterpret_cast<OCICallbackLobWrite>(cbfp), bytes, units);
        *byte_amtp = bytes;
        if (char_amtp != nullptr) *char_amtp = units;
        return status;
    });
}

sword OCILobTrim2(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, oraub8 newlen) {
    // newlen counts characters of a CLOB, bytes of a BLOB. A locator that was allocated and
    // never given a LOB is no handle to trim yet: drivers take that answer as their cue to
    // create a temporary LOB in it.
    if (OCILobLocator* probe = Locator(locp); probe != nullptr && !IsFile(*probe) && !probe->hasValue)
        return OCI_INVALID_HANDLE;
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        std::string& content = WritableContent(loc);
        if (loc.buffering) throw OraError(22279, "cannot perform operation with LOB buffering enabled");
        if (newlen > (IsText(loc) ? TextLength(loc, content) : content.size()))
            throw OraError(22926, "specified trim length is greater than current LOB value's length");
        content.resize(IsText(loc) ? TextOffset(loc, content, newlen) : static_cast<size_t>(newlen));
        loc.ForgetCharacters();
        content.shrink_to_fit();
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
        dst->readingPieces = false;
        dst->writingPieces = false;
        dst->pendingPieces.clear();
        dst->ForgetCharacters();
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
        *lenp = static_cast<ub4>(std::min<uint64_t>(LengthOf(svchp, loc), kMaxLobBytes));
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
    // The amount in is client bytes; the amount out counts characters of a CLOB.
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (amtp == nullptr) BadParameter();
        uint64_t bytes = 0, units = 0;
        const sword status =
            WriteFrom(loc, offset, *amtp, static_cast<char*>(bufp), buflen, piece, ctxp, cbfp, bytes, units);
        *amtp = static_cast<ub4>(status == OCI_SUCCESS ? units : bytes);
        return status;
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
        loc.readingPieces = false;
        return OCI_SUCCESS;
    });
}
sword OCILobRead(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amtp, ub4 offset, void* bufp, ub4 bufl,
                 void* ctxp, OCICallbackLobRead cbfp, ub2 csid, ub1 csfrm) {
    // The amount in counts characters of a CLOB (0: to the end); the amount out is the client
    // bytes of the piece, or of the whole read through a callback. A polling read goes on where
    // its last piece ended, whatever offset and amount the next call gives.
    return ServerLobCall(svchp, OCI_HTYPE_SVCCTX, errhp, locp, [&](OCILobLocator& loc) -> sword {
        if (amtp == nullptr || (bufp == nullptr && bufl > 0)) BadParameter();
        const ub4 wanted = *amtp;
        *amtp = 0;
        if (!loc.readingPieces) StartRead(svchp, loc, offset, wanted);
        loc.readingPieces = false;
        uint64_t bytes = 0, units = 0;
        const sword status = ReadInto(svchp, loc, static_cast<char*>(bufp), bufl, ctxp, cbfp, true, bytes, units);
        *amtp = static_cast<ub4>(bytes);
        return status;
    });
}
sword OCILobCopy(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* dst_locp, OCILobLocator* src_locp, ub4 amount,
                 ub4 dst_offset, ub4 src_offset) {
    // Amount and offsets count characters of a CLOB, bytes of a BLOB.
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
        const bool text = IsText(dst);
        if ((text ? TextLength(*src, source) : source.size()) < src_offset - 1) throw OraError(1403, "no data found");
        const size_t from = text ? TextOffset(*src, source, src_offset - 1) : src_offset - 1;
        const size_t to = text ? SkipCharacters(source, from, amount) : from + std::min<size_t>(amount, source.size() - from);
        const std::string piece = source.substr(from, to - from);
        if (text)
            StoreText(dst, target, dst_offset, piece);
        else
            PutBytes(dst, target, dst_offset - 1, piece.data(), piece.size());
        return OCI_SUCCESS;
    });
}
sword OCILobTrim(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4 newlen) {
    return OCILobTrim2(svchp, errhp, locp, newlen);
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
        loc.pendingPieces.clear();
        loc.readingPieces = false;
        loc.ForgetCharacters();
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
        loc.pendingPieces.clear();
        loc.readingPieces = false;
        loc.ForgetCharacters();
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
