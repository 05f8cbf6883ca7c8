#pragma once
// TOCI8Lob: owns one LOB locator (CLOB, BLOB or BFILE) on behalf of a connection. This holds
// what a cursor needs to define a LOB column into it; reading and writing contents come later.

#include "oci/TOCI8Base.h"

namespace tabrook {

enum class entLob : ub2 { Clob = 112, Blob = 113, BFile = 114 };

class TOCI8Lob : public TOCI8Base {
public:
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
    // The address of the locator member: what a column is defined into.
    OCILobLocator** GetLobLocator() { return &locator_; }

private:
    ub4 DescriptorType() const;

    OCILobLocator* locator_ = nullptr;
    entLob lobType_ = entLob::Clob;
    bool allocated_ = false;
};

}  // namespace tabrook
