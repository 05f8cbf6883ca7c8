#pragma once
// The frame of every entry point: runs the body, and turns whatever it throws into an OCI
// status with the error recorded on the given diagnostics. No exception leaves the library.

#include <exception>
#include <new>
#include <string>

#include "ocilite/api/Diagnostics.h"
#include "ocilite/api/ErrorHandle.h"
#include "ocilite/types/OraError.h"

namespace ocilite::api {

inline Diagnostics* DiagnosticsOf(const void* errhp) {
    OCIError* err = HandleAs<OCIError>(errhp, OCI_HTYPE_ERROR);
    return err != nullptr ? &err->diagnostics : nullptr;
}

template <class F>
sword GuardedCall(Diagnostics* diagnostics, F&& body) noexcept {
    try {
        return body();
    } catch (const OraError& e) {
        try {
            if (diagnostics != nullptr) diagnostics->Set(e.Code(), e.Message());
        } catch (...) {}
    } catch (const std::bad_alloc&) {
        try {
            if (diagnostics != nullptr)
                diagnostics->SetOra(4030, "out of process memory when trying to allocate memory");
        } catch (...) {}
    } catch (const std::exception& e) {
        try {
            if (diagnostics != nullptr)
                diagnostics->SetOra(600, std::string("internal error code, arguments: [") + e.what() + "]");
        } catch (...) {}
    } catch (...) {
        try {
            if (diagnostics != nullptr) diagnostics->SetOra(600, "internal error code, arguments: [unknown]");
        } catch (...) {}
    }
    return OCI_ERROR;
}

}  // namespace ocilite::api
