// Process and environment set-up, handle and descriptor allocation, error retrieval and the
// NLS information of the environment.

#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "ocilite/api/ClientCharset.h"
#include "ocilite/api/EnvironmentHandle.h"
#include "ocilite/api/ErrorHandle.h"
#include "ocilite/api/HandleFactory.h"
#include "ocilite/api/NlsInfo.h"
#include "ocilite/api/OciCall.h"
#include "ocilite/api/OciExports.h"
#include "ocilite/api/RoundTrip.h"
#include "ocilite/api/ServiceContextHandle.h"
#include "ocilite/api/StatementHandle.h"

using namespace ocilite::api;

namespace {

// Attaches caller memory of the requested size to a new handle.
void GiveUserMemory(HandleBase* h, size_t size, void** usrmempp) {
    if (size == 0 || usrmempp == nullptr) return;
    h->userMemory = std::make_unique<unsigned char[]>(size);
    *usrmempp = h->userMemory.get();
}

sword Register(OCIEnv* env, std::unique_ptr<HandleBase> h, void** out, size_t xtramem, void** usrmempp) {
    GiveUserMemory(h.get(), xtramem, usrmempp);
    h->owner = env;
    HandleBase* raw = h.release();
    env->Adopt(raw);
    *out = raw;
    return OCI_SUCCESS;
}

// Frees a handle or descriptor of the given type; statement-owned ones are left to their statement.
sword FreeHandle(void* p, ub4 type) {
    HandleBase* h = LiveHandle(p);
    if (h == nullptr || h->type != type) return OCI_INVALID_HANDLE;
    if (type == OCI_HTYPE_ENV) {
        delete static_cast<OCIEnv*>(h);
        return OCI_SUCCESS;
    }
    if (h->owner == nullptr) return OCI_SUCCESS;  // binds, defines, params: freed with the statement
    if (LiveHandle(h->owner) != nullptr) h->owner->Release(h);
    delete h;
    return OCI_SUCCESS;
}

// The arrays OCIArrayDescriptorAlloc filled, by their first slot, with their length.
std::mutex arrayMutex;
std::map<void**, ub4>& DescriptorArrays() {
    static auto* arrays = new std::map<void**, ub4>;
    return *arrays;
}

}  // namespace

extern "C" {

sword OCIInitialize(ub4 mode, void* ctxp, void* (*malocfp)(void* ctxp, size_t size),
                    void* (*ralocfp)(void* ctxp, void* memptr, size_t newsize),
                    void (*mfreefp)(void* ctxp, void* memptr)) {
    // Memory callbacks are optional in OCI; this library allocates with the C++ runtime.
    LoadRoundTripDelay();
    return OCI_SUCCESS;
}

sword OCIEnvInit(OCIEnv** envp, ub4 mode, size_t xtramem_sz, void** usrmempp) {
    if (envp == nullptr) return OCI_INVALID_HANDLE;
    // an NLS_LANG naming a character set the client does not know stops the client here
    if (!ClientCharsetValid()) return OCI_ERROR;
    LoadRoundTripDelay();
    try {
        auto* env = new OCIEnv(mode);
        GiveUserMemory(env, xtramem_sz, usrmempp);
        *envp = env;
        return OCI_SUCCESS;
    } catch (...) {
        return OCI_ERROR;
    }
}

sword OCIHandleAlloc(const void* parenth, void** hndlpp, const ub4 type, const size_t xtramem_sz, void** usrmempp) {
    OCIEnv* env = HandleAs<OCIEnv>(parenth, OCI_HTYPE_ENV);
    if (env == nullptr || hndlpp == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(&env->diagnostics, [&]() -> sword {
        std::unique_ptr<HandleBase> h = NewHandle(type);
        if (h == nullptr) return OCI_INVALID_HANDLE;
        if (type == OCI_HTYPE_SVCCTX) static_cast<OCISvcCtx*>(h.get())->env = env;
        if (type == OCI_HTYPE_STMT) static_cast<OCIStmt*>(h.get())->env = env;
        return Register(env, std::move(h), hndlpp, xtramem_sz, usrmempp);
    });
}

sword OCIHandleFree(void* hndlp, const ub4 type) {
    try {
        return FreeHandle(hndlp, type);
    } catch (...) {
        return OCI_ERROR;
    }
}

sword OCIDescriptorAlloc(const void* parenth, void** descpp, const ub4 type, const size_t xtramem_sz, void** usrmempp) {
    OCIEnv* env = HandleAs<OCIEnv>(parenth, OCI_HTYPE_ENV);
    if (env == nullptr || descpp == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(&env->diagnostics, [&]() -> sword {
        std::unique_ptr<HandleBase> d = NewDescriptor(type);
        if (d == nullptr) return OCI_INVALID_HANDLE;
        return Register(env, std::move(d), descpp, xtramem_sz, usrmempp);
    });
}

sword OCIDescriptorFree(void* descp, const ub4 type) {
    try {
        return FreeHandle(descp, type);
    } catch (...) {
        return OCI_ERROR;
    }
}

sword OCIArrayDescriptorAlloc(const void* parenth, void** descpp, const ub4 type, ub4 array_size,
                              const size_t xtramem_sz, void** usrmempp) {
    if (descpp == nullptr) return OCI_INVALID_HANDLE;
    for (ub4 i = 0; i < array_size; ++i) {
        const sword status = OCIDescriptorAlloc(parenth, &descpp[i], type, 0, nullptr);
        if (status != OCI_SUCCESS) {
            while (i > 0) OCIDescriptorFree(descpp[--i], type);
            return status;
        }
    }
    std::lock_guard<std::mutex> lock(arrayMutex);
    DescriptorArrays()[descpp] = array_size;
    return OCI_SUCCESS;
}

sword OCIArrayDescriptorFree(void** descp, const ub4 type) {
    if (descp == nullptr) return OCI_INVALID_HANDLE;
    ub4 count = 0;
    {
        std::lock_guard<std::mutex> lock(arrayMutex);
        auto found = DescriptorArrays().find(descp);
        if (found == DescriptorArrays().end()) return OCI_INVALID_HANDLE;
        count = found->second;
        DescriptorArrays().erase(found);
    }
    for (ub4 i = 0; i < count; ++i) OCIDescriptorFree(descp[i], type);
    return OCI_SUCCESS;
}

sword OCIErrorGet(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep, OraText* bufp, ub4 bufsiz, ub4 type) {
    const Diagnostics* diagnostics = nullptr;
    if (type == OCI_HTYPE_ERROR) {
        if (auto* err = HandleAs<OCIError>(hndlp, OCI_HTYPE_ERROR)) diagnostics = &err->diagnostics;
    } else if (type == OCI_HTYPE_ENV) {
        if (auto* env = HandleAs<OCIEnv>(hndlp, OCI_HTYPE_ENV)) diagnostics = &env->diagnostics;
    }
    if (diagnostics == nullptr) return OCI_INVALID_HANDLE;
    const auto& records = diagnostics->Records();
    if (recordno == 0 || recordno > records.size()) return OCI_NO_DATA;
    const ErrorRecord& r = records[recordno - 1];
    if (errcodep != nullptr) *errcodep = r.code;
    if (bufp != nullptr && bufsiz > 0) {
        // Oracle ends each message line with a newline; a short buffer gets a terminated prefix.
        const std::string message = ToClientText(r.message);
        size_t n = message.size();
        size_t room = bufsiz - 1;
        size_t copy = n < room ? n : room;
        std::memcpy(bufp, message.data(), copy);
        if (copy < room) bufp[copy++] = '\n';
        bufp[copy] = 0;
    }
    return OCI_SUCCESS;
}

sword OCINlsGetInfo(void* envhp, OCIError* errhp, OraText* buf, size_t buflen, ub2 item) {
    if (LiveHandle(envhp) == nullptr) return OCI_INVALID_HANDLE;
    Diagnostics* diagnostics = DiagnosticsOf(errhp);
    if (diagnostics == nullptr) return OCI_INVALID_HANDLE;
    return GuardedCall(diagnostics, [&]() -> sword {
        std::string_view text = NlsInfoText(item);  // throws for unknown items
        if (buf == nullptr || buflen <= text.size())
            throw ocilite::OraError(1877, "string is too long for internal buffer");
        std::memcpy(buf, text.data(), text.size());
        buf[text.size()] = 0;
        return OCI_SUCCESS;
    });
}

}  // extern "C"
