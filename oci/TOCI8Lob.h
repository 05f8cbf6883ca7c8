#pragma once
// TOCI8Lob: owns one LOB locator (CLOB, BLOB or BFILE) on behalf of a connection, and reads and
// writes the LOB's contents through it, piece by piece or whole, to and from memory, streams
// and files. The cursor defines LOB columns into it. Except for Initialize, Terminate,
// MemAlloc, MemFree, CleanUp and ConnChk (which return bool), every operation throws
// TOCIException carrying the reason (the component's ErrMsg when an OCI call failed).

#include <functional>
#include <iosfwd>
#include <string>

#include "oci/TOCI8Base.h"

namespace tabrook {

enum class entLob : ub2 { Clob = 112, Blob = 113, BFile = 114 };

class TOCI8Lob : public TOCI8Base {
public:
    // Size of the pieces WriteFromStream and ReadToStream move in one OCI call.
    static constexpr ub4 kPieceSize = 32767;

    TOCI8Lob() = default;
    ~TOCI8Lob() override;

    // Throws TOCIException while the locator is allocated.
    void SetParent(TOCI8Ctrl* parent) override;
    bool CleanUp() override { return Terminate(); }
    // True when a connection is set (logged on or not).
    bool ConnChk() override;

    bool Initialize();
    bool Terminate();
    bool MemAlloc();
    bool MemFree();

    entLob LobType() const { return lobType_; }
    // Throws TOCIException while the locator is allocated.
    void SetLobType(entLob type);
    bool Allocated() const { return allocated_; }
    // The address of the locator member: what a column is defined into and a LOB bound from.
    OCILobLocator** GetLobLocator() { return &locator_; }

    bool Modified() const { return false; }
    bool CanModify() const { return false; }
    bool Bufferring() const { return bufferring_; }
    void SetBufferring(bool on);

    // The current offset seen from outside, 0-based (kept inside as OCI's 1-based offset). Like
    // every offset, amount and length of a LOB, it counts characters of a CLOB and bytes of a
    // BLOB or BFILE; the data itself moves as bytes of the client character set.
    ub4 GetPosition() const { return position_ - 1; }
    void SetPosition(ub4 position) { position_ = position + 1; }

    // Progress of WriteFromStream/ReadToStream: (always true, bytes moved so far); returning
    // false stops the transfer after the current piece.
    std::function<bool(bool, ub4)> OnLobStream;

    bool GetExists();
    ub4 GetLength();
    sb4 GetCharSetForm();
    sb4 GetCharSetID();

    // origin 0 from the start, 1 from the current position, 2 from the end. Returns 0.
    ub4 Seek(sb4 offset, ub2 origin);
    // Reads up to count bytes at Position (of a CLOB, the whole characters that fit); returns the
    // bytes read.
    ub4 Read(void* buffer, ub4 count);
    // Writes count bytes at Position; returns the amount written (characters of a CLOB).
    ub4 Write(const void* buffer, ub4 count);
    void Trim(ub4 newLength);
    void Clear() { Trim(0); }
    void CopyFrom(TOCI8Lob& source);
    void Flush();
    void GetFileName(std::string& directory, std::string& fileName);
    void SetFileName(const std::string& directory, const std::string& fileName);
    // Whole transfers in pieces of kPieceSize bytes, each one OCI read or write in pieces (so
    // that no character is cut between two pieces). count 0 means everything: the rest of the
    // stream (count counts its bytes), the rest of the LOB from Position (count counts
    // characters of a CLOB). OnLobStream returning false ends either after the current piece.
    void WriteFromStream(std::istream& stream, ub4 count);
    void ReadToStream(std::ostream& stream, ub4 count);
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    // Makes the allocated CLOB or BLOB locator a new, empty temporary LOB of LobType (a CLOB of
    // the national character set when national): the LOB a client fills and binds into an
    // INSERT. Freed again by FreeTemporary, Terminate or the next CreateTemporary.
    void CreateTemporary(bool national = false);
    void FreeTemporary();
    bool IsTemporary() const { return temporary_; }

private:
    ub4 DescriptorType() const;
    // ConnChk, raising ErrMsg when it fails.
    void RequireConnection();
    // Records an OCI status in ErrCode/ErrMsg; raises ErrMsg unless it is one of the accepted.
    void Check(sword status, bool acceptNeedData = false);
    bool IsBFile() const { return lobType_ == entLob::BFile; }
    void FileOpen();
    void FileClose();
    // Closes a BFILE after a failed read, keeping the read's error in ErrMsg and ErrCode.
    void CloseFileAfterFailure();
    ub4 ReadPiece(char* buffer, ub4 count);
    ub4 WritePiece(const char* buffer, ub4 count);
    // Read of a CLOB: the whole characters that fit in count bytes.
    ub4 ReadText(char* buffer, ub4 count);
    // Ends a write in pieces with an empty last piece.
    void EndPieces(char* buffer, ub4& amount);

    OCILobLocator* locator_ = nullptr;
    entLob lobType_ = entLob::Clob;
    bool allocated_ = false;
    bool bufferring_ = false;
    bool temporary_ = false;
    ub4 position_ = 1;
};

}  // namespace tabrook
