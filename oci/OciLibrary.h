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

    // Tries the candidates in order; true when one loaded.
    bool Load(const std::string& programFolder);
    void Unload();
    bool Loaded() const { return handle_ != nullptr; }
    const std::string& Path() const { return path_; }
    // The address of an exported name, or null when the library does not export it.
    void* Symbol(const char* name) const;

private:
    void* handle_ = nullptr;
    std::string path_;
};

}  // namespace tabrook
