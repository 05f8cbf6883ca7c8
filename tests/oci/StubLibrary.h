#pragma once
// Test access to a stub OCI library variant: its path, and its control functions resolved from
// the loaded copy (the client layer and the test share one loaded instance).

#include <string>

namespace tabrook::test {

std::string StubPath(const std::string& variant);

// Points TABROOK_OCI_LIBRARY at the variant for the life of the object.
class ScopedOciLibrary {
public:
    explicit ScopedOciLibrary(const std::string& path);
    ~ScopedOciLibrary();

private:
    std::string previous_;
    bool hadPrevious_ = false;
};

class StubLibrary {
public:
    explicit StubLibrary(const std::string& variant);
    ~StubLibrary();
    StubLibrary(const StubLibrary&) = delete;
    StubLibrary& operator=(const StubLibrary&) = delete;

    void Reset();
    void Force(const char* name, int status);
    void SetError(int code, const char* text);
    std::string Calls();
    int Count(const char* name);
    void AddColumn(int type, int size, int precision, int scale, int form, const char* name);
    void SetRows(int rows);
    void SetStmtType(int type);
    std::string LastLogon();
    std::string Binds();
    std::string Defines();
    int LastIters();
    std::string LastPrepared();
    // The mode the client passed to OCIInitialize (-1 before any call).
    long InitMode();
    void SetCharSize(int column, int chars);
    std::string AttrSets();
    void SetMaxBytesPerChar(int bytes);
    void Truncate(int position);
    const std::string& Path() const { return path_; }

private:
    void* Fn(const char* name);
    std::string path_;
    void* handle_ = nullptr;
};

}  // namespace tabrook::test
