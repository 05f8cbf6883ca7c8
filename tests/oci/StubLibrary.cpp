#include "tests/oci/StubLibrary.h"

#include <dlfcn.h>

#include <cstdlib>
#include <stdexcept>

namespace tabrook::test {

std::string StubPath(const std::string& variant) {
    return std::string(OCI_STUB_DIR) + "/" + variant + "/libocistub.so";
}

ScopedOciLibrary::ScopedOciLibrary(const std::string& path) {
    if (const char* old = std::getenv("TABROOK_OCI_LIBRARY")) {
        previous_ = old;
        hadPrevious_ = true;
    }
    setenv("TABROOK_OCI_LIBRARY", path.c_str(), 1);
}

ScopedOciLibrary::~ScopedOciLibrary() {
    if (hadPrevious_)
        setenv("TABROOK_OCI_LIBRARY", previous_.c_str(), 1);
    else
        unsetenv("TABROOK_OCI_LIBRARY");
}

StubLibrary::StubLibrary(const std::string& variant) : path_(StubPath(variant)) {
    handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw std::runtime_error("cannot load " + path_);
    Reset();
}

StubLibrary::~StubLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

void* StubLibrary::Fn(const char* name) {
    void* f = dlsym(handle_, name);
    if (f == nullptr) throw std::runtime_error(std::string("stub lacks ") + name);
    return f;
}

void StubLibrary::Reset() {
    reinterpret_cast<void (*)()>(Fn("stub_reset"))();
}
void StubLibrary::Force(const char* name, int status) {
    reinterpret_cast<void (*)(const char*, int)>(Fn("stub_force"))(name, status);
}
void StubLibrary::SetError(int code, const char* text) {
    reinterpret_cast<void (*)(int, const char*)>(Fn("stub_set_error"))(code, text);
}
std::string StubLibrary::Calls() {
    return reinterpret_cast<const char* (*)()>(Fn("stub_calls"))();
}
int StubLibrary::Count(const char* name) {
    return reinterpret_cast<int (*)(const char*)>(Fn("stub_count"))(name);
}
void StubLibrary::AddColumn(int type, int size, int precision, int scale, int form, const char* name) {
    reinterpret_cast<void (*)(int, int, int, int, int, const char*)>(Fn("stub_add_column"))(type, size, precision,
                                                                                            scale, form, name);
}
void StubLibrary::SetRows(int rows) {
    reinterpret_cast<void (*)(int)>(Fn("stub_set_rows"))(rows);
}
void StubLibrary::SetStmtType(int type) {
    reinterpret_cast<void (*)(int)>(Fn("stub_set_stmt_type"))(type);
}
void StubLibrary::SetCharSize(int column, int chars) {
    reinterpret_cast<void (*)(int, int)>(Fn("stub_set_char_size"))(column, chars);
}
std::string StubLibrary::AttrSets() {
    return reinterpret_cast<const char* (*)()>(Fn("stub_attr_sets"))();
}
void StubLibrary::SetMaxBytesPerChar(int bytes) {
    reinterpret_cast<void (*)(int)>(Fn("stub_set_max_bytes"))(bytes);
}
void StubLibrary::Truncate(int position) {
    reinterpret_cast<void (*)(int)>(Fn("stub_truncate"))(position);
}
std::string StubLibrary::LastLogon() {
    return reinterpret_cast<const char* (*)()>(Fn("stub_last_logon"))();
}
std::string StubLibrary::Binds() {
    return reinterpret_cast<const char* (*)()>(Fn("stub_binds"))();
}
std::string StubLibrary::Defines() {
    return reinterpret_cast<const char* (*)()>(Fn("stub_defines"))();
}
int StubLibrary::LastIters() {
    return reinterpret_cast<int (*)()>(Fn("stub_last_iters"))();
}
std::string StubLibrary::LastPrepared() {
    return reinterpret_cast<const char* (*)()>(Fn("stub_last_prepared"))();
}
long StubLibrary::InitMode() {
    return reinterpret_cast<long (*)()>(Fn("stub_init_mode"))();
}

}  // namespace tabrook::test
