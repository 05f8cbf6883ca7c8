#pragma once
// TOCI8Ctrl: the connection component. Owns the OCI library and handles (through TOCI8Func),
// logs on and off, commits and rolls back, and keeps the children that work through it.
// Operations return false on failure and leave the reason in ErrMsg (and ErrCode).

#include <string>
#include <vector>

#include "oci/LoginPrompt.h"
#include "oci/TOCI8Func.h"

namespace tabrook {

class TOCI8Base;

class TOCI8Ctrl : public TOCI8Func {
public:
    TOCI8Ctrl() = default;
    ~TOCI8Ctrl() override;

    bool Active();
    bool UnActive();
    bool Connect();
    // The program has dealt with the last failure (told the user): it is forgotten.
    void ForgetError() { ClearError(); }
    // A failure of the logon's own that the program found (creating a database file failed).
    void ReportFailure(std::string message) { SetError(-1, std::move(message)); }
    bool DisConnect();
    bool Login();
    // The warning of the last logon that succeeded with OCI_SUCCESS_WITH_INFO; empty otherwise.
    std::string LogonWarning;
    bool CleanUp();
    bool FreeChild();
    bool Commit();
    bool Rollback();
    bool CtrlBind(TOCI8Base* child);
    bool CtrlFree(TOCI8Base* child);

    // Also forgets the session: it went with the environment.
    void TermOCI() override;

    const std::vector<TOCI8Base*>& Children() const { return children_; }

    OCISvcCtx* hSvc = nullptr;
    std::string User;
    std::string Password;
    std::string ConnStr;
    bool Connected = false;
    bool AutoCommit = false;  // kept only; statements run in OCI default mode
    // Creates the login prompt for Login (the window layer sets the dialog's factory).
    LoginPromptFactory CreateLoginPrompt;

private:
    bool EndTransaction(bool commit);

    std::vector<TOCI8Base*> children_;
};

}  // namespace tabrook
