#pragma once
// The OCI client library loaded at run time. Linux search order: the path in TABROOK_OCI_LIBRARY
// when it is set (only that one); otherwise Oracle's client libclntsh.so and its versioned names
// through the loader's search path; then libocilite.so in the program's folder, then in the
// private library folder of an installed program (<program folder>/../lib/tabrook).

#include <string>
#include <vector>

namespace tabrook {

class OciLibrary {
public:
    OciLibrary() = default;
    ~OciLibrary();
    OciLibrary(const OciLibrary&) = delete;
    OciLibrary& operator=(const OciLibrary&) = delete;

    // The candidates in the order they are tried, for the given program folder.
    static std::vector<std::string> Candidates(const std::string& programFolder);
    // The folder of the running executable (empty when it cannot be determined).
    static std::string ExecutableFolder();

    // Tries the candidates in order; true when one loaded. The loader's reasons for candidates
    // that exist but could not be loaded are kept in LoadFailures.
    bool Load(const std::string& programFolder);
    // Forgets the library; only the embedded engine is really unloaded (dlclose), a client
    // library stays mapped until the process ends.
    void Unload();
    // The loader's messages for candidates that were found but could not be loaded.
    const std::vector<std::string>& LoadFailures() const { return failures_; }
    // True when the embedded engine was loaded after a client library failed to load.
    bool FellBack() const { return fellBack_; }
    // True for the embedded engine's file name.
    static bool IsEmbedded(const std::string& path);
    bool Loaded() const { return handle_ != nullptr; }
    const std::string& Path() const { return path_; }
    // The address of an exported name, or null when the library does not export it.
    void* Symbol(const char* name) const;

private:
    void* handle_ = nullptr;
    std::string path_;
    std::vector<std::string> failures_;
    bool fellBack_ = false;
};

}  // namespace tabrook
