// The process-level services of OCI that drivers build on: threads (per-thread keys), values
// kept on a handle under a name (OCIContextSetValue/GetValue) and memory OCI allocates for the
// caller. Oracle's client keeps these in its own heap; here they live in the C++ runtime.

#include <pthread.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "ocilite/api/HandleBase.h"
#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"

using namespace ocilite::api;

struct OCIThreadKey {
    pthread_key_t key;
};

namespace {

// Values set on a handle under a name. A handle's values go when the handle is freed
// (HandleBase's destructor calls ForgetContextValues), so a later handle at the same address
// never sees them.
std::mutex contextMutex;
std::map<const void*, std::map<std::string, void*>>& ContextValues() {
    static auto* values = new std::map<const void*, std::map<std::string, void*>>;
    return *values;
}

std::string KeyText(const ub1* key, ub1 keylen) {
    return key == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(key), keylen);
}

}  // namespace

namespace ocilite::api {

void ForgetContextValues(const void* handle) noexcept {
    std::lock_guard<std::mutex> lock(contextMutex);
    ContextValues().erase(handle);
}

}  // namespace ocilite::api

extern "C" {

void OCIThreadProcessInit(void) {
    // Threads need no set-up: every handle guards what it shares.
}

sword OCIThreadKeyInit(void* hndl, OCIError* err, OCIThreadKey** key, OCIThreadKeyDestFunc destFn) {
    if (LiveHandle(hndl) == nullptr || key == nullptr) return OCI_INVALID_HANDLE;
    auto* k = new (std::nothrow) OCIThreadKey;
    if (k == nullptr || pthread_key_create(&k->key, destFn) != 0) {
        delete k;
        if (Diagnostics* d = DiagnosticsOf(err))
            d->SetOra(4030, "out of process memory when trying to allocate memory");
        return OCI_ERROR;
    }
    *key = k;
    return OCI_SUCCESS;
}

sword OCIThreadKeyGet(void* hndl, OCIError* err, OCIThreadKey* key, void** pValue) {
    if (key == nullptr || pValue == nullptr) return OCI_INVALID_HANDLE;
    *pValue = pthread_getspecific(key->key);
    return OCI_SUCCESS;
}

sword OCIThreadKeySet(void* hndl, OCIError* err, OCIThreadKey* key, void* value) {
    if (key == nullptr) return OCI_INVALID_HANDLE;
    return pthread_setspecific(key->key, value) == 0 ? OCI_SUCCESS : OCI_ERROR;
}

sword OCIThreadKeyDestroy(void* hndl, OCIError* err, OCIThreadKey** key) {
    if (key == nullptr || *key == nullptr) return OCI_INVALID_HANDLE;
    pthread_key_delete((*key)->key);
    delete *key;
    *key = nullptr;
    return OCI_SUCCESS;
}

sword OCIContextGetValue(void* hdl, OCIError* err, ub1* key, ub1 keylen, void** ctx_value) {
    if (LiveHandle(hdl) == nullptr || ctx_value == nullptr) return OCI_INVALID_HANDLE;
    std::lock_guard<std::mutex> lock(contextMutex);
    *ctx_value = nullptr;
    auto values = ContextValues().find(hdl);
    if (values == ContextValues().end()) return OCI_SUCCESS;
    auto v = values->second.find(KeyText(key, keylen));
    if (v != values->second.end()) *ctx_value = v->second;
    return OCI_SUCCESS;
}

sword OCIContextSetValue(void* hdl, OCIError* err, OCIDuration duration, ub1* key, ub1 keylen, void* ctx_value) {
    HandleBase* h = LiveHandle(hdl);
    if (h == nullptr) return OCI_INVALID_HANDLE;
    Diagnostics scratch;
    Diagnostics* d = DiagnosticsOf(err);
    return GuardedCall(d != nullptr ? d : &scratch, [&]() -> sword {
        std::lock_guard<std::mutex> lock(contextMutex);
        ContextValues()[hdl][KeyText(key, keylen)] = ctx_value;
        h->hasContextValues = true;
        return OCI_SUCCESS;
    });
}

sword OCIMemoryAlloc(void* hdl, OCIError* err, void** mem, OCIDuration dur, ub4 size, ub4 flags) {
    if (LiveHandle(hdl) == nullptr || mem == nullptr) return OCI_INVALID_HANDLE;
    // OCI_MEMORY_CLEARED or not, the memory comes zeroed.
    *mem = std::calloc(1, size == 0 ? 1 : size);
    if (*mem != nullptr) return OCI_SUCCESS;
    if (Diagnostics* d = DiagnosticsOf(err)) d->SetOra(4030, "out of process memory when trying to allocate memory");
    return OCI_ERROR;
}

sword OCIMemoryFree(void* hdl, OCIError* err, void* mem) {
    if (LiveHandle(hdl) == nullptr) return OCI_INVALID_HANDLE;
    std::free(mem);
    return OCI_SUCCESS;
}

}  // extern "C"
