#include "oci/OciLibrary.h"

#include <dlfcn.h>
#include <locale.h>

#include <cstdlib>
#include <filesystem>

namespace tabrook {

namespace {
constexpr const char* kClientNames[] = {
    "libclntsh.so",      "libclntsh.so.23.1", "libclntsh.so.21.1", "libclntsh.so.19.1",
    "libclntsh.so.18.1", "libclntsh.so.12.1", "libclntsh.so.11.1",
};
constexpr const char* kEmbeddedName = "libocilite.so";
// An installed program keeps the engine in a private library folder beside its bin folder.
constexpr const char* kPrivateLibraryFolder = "../lib/tabrook";
}  // namespace

OciLibrary::~OciLibrary() {
    Unload();
}

std::vector<std::string> OciLibrary::Candidates(const std::string& programFolder) {
    if (const char* forced = std::getenv("TABROOK_OCI_LIBRARY"); forced != nullptr && *forced != '\0') {
        return {forced};
    }
    std::vector<std::string> names(std::begin(kClientNames), std::end(kClientNames));
    if (!programFolder.empty()) {
        const std::filesystem::path folder(programFolder);
        names.push_back((folder / kEmbeddedName).string());
        names.push_back((folder / kPrivateLibraryFolder / kEmbeddedName).lexically_normal().string());
    }
    return names;
}

std::string OciLibrary::ExecutableFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path().string();
}

bool OciLibrary::IsEmbedded(const std::string& path) {
    return std::filesystem::path(path).filename() == kEmbeddedName;
}

namespace {
// The loader's messages follow the user's locale, but whether a library is simply absent is
// told by its English words: while loading, this thread speaks the C locale.
class CLocaleScope {
public:
    CLocaleScope() : c_(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))) {
        if (c_ != static_cast<locale_t>(nullptr)) previous_ = uselocale(c_);
    }
    ~CLocaleScope() {
        if (c_ == static_cast<locale_t>(nullptr)) return;
        uselocale(previous_);
        freelocale(c_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t c_;
    locale_t previous_ = static_cast<locale_t>(nullptr);
};
}  // namespace

bool OciLibrary::Load(const std::string& programFolder) {
    if (handle_ != nullptr) return true;
    const CLocaleScope englishMessages;
    failures_.clear();
    fellBack_ = false;
    bool clientFailed = false;
    for (const auto& name : Candidates(programFolder)) {
        // RTLD_LOCAL keeps two different OCI libraries from mixing their symbols.
        if (void* h = dlopen(name.c_str(), RTLD_LAZY | RTLD_LOCAL); h != nullptr) {
            handle_ = h;
            path_ = name;
            fellBack_ = clientFailed && IsEmbedded(name);
            return true;
        }
        // A library that is simply not there is no news; one that is there but cannot be
        // loaded (a missing dependency, a wrong architecture) is, and its reason is kept.
        const char* error = dlerror();
        const std::string reason = error != nullptr ? error : name;
        const std::string absent = name + ": cannot open shared object file: No such file or directory";
        if (reason != absent) {
            failures_.push_back(reason);
            if (!IsEmbedded(name)) clientFailed = true;
        }
    }
    return false;
}

void OciLibrary::Unload() {
    // Oracle's client library is kept until the process ends: unloading it is a known cause of
    // crashes at exit (its threads and handlers outlive the close). The embedded engine is
    // unloaded.
    if (handle_ != nullptr && IsEmbedded(path_)) dlclose(handle_);
    handle_ = nullptr;
    path_.clear();
}

void* OciLibrary::Symbol(const char* name) const {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

}  // namespace tabrook
