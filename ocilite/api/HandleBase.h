#pragma once
// Every handle and descriptor the library hands out starts with a tag: a magic word and the
// OCI handle or descriptor type. Entry points check the tag before touching anything, so a
// null, foreign, mistyped or already freed handle yields OCI_INVALID_HANDLE instead of a crash
// wherever that is cheaply detectable.

#include <cstdint>
#include <memory>

#include "ociabi/OciTypes.h"

namespace ocilite::api {

inline constexpr uint32_t kLiveHandleMagic = 0x4f43494cu;  // "OCIL"
inline constexpr uint32_t kDeadHandleMagic = 0xdeadbeefu;

// Drops the values OCIContextSetValue kept for a handle (ProcessExports.cpp).
void ForgetContextValues(const void* handle) noexcept;

struct HandleBase {
    explicit HandleBase(ub4 handleType) : type(handleType) {}
    HandleBase(const HandleBase&) = delete;
    HandleBase& operator=(const HandleBase&) = delete;
    virtual ~HandleBase() {
        magic = kDeadHandleMagic;
        if (hasContextValues) ForgetContextValues(this);
    }

    uint32_t magic = kLiveHandleMagic;
    ub4 type;
    // The environment that frees this handle with itself; null for handles a statement owns
    // (binds, defines, param descriptors).
    OCIEnv* owner = nullptr;
    // Caller memory requested with the allocation (xtramem_sz).
    std::unique_ptr<unsigned char[]> userMemory;
    // Whether OCIContextSetValue kept values for this handle.
    bool hasContextValues = false;
};

// The handle behind p when it is live and of one of the given types; nullptr otherwise.
inline HandleBase* LiveHandle(const void* p) {
    if (p == nullptr) return nullptr;
    auto* h = static_cast<HandleBase*>(const_cast<void*>(p));
    return h->magic == kLiveHandleMagic ? h : nullptr;
}

template <class T>
T* HandleAs(const void* p, ub4 type) {
    HandleBase* h = LiveHandle(p);
    if (h == nullptr || h->type != type) return nullptr;
    return static_cast<T*>(h);
}

}  // namespace ocilite::api
