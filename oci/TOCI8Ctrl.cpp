#include "oci/TOCI8Ctrl.h"

#include <algorithm>

#include "oci/TOCI8Base.h"

namespace tabrook {

TOCI8Ctrl::~TOCI8Ctrl() {
    CleanUp();
    FreeChild();
    if (Activated) UnActive();
}

bool TOCI8Ctrl::Active() {
    try {
        InitOCI();
        return true;
    } catch (const std::exception& e) {
        SetError(ErrCode() != 0 ? ErrCode() : -1, e.what());
        return false;
    }
}

bool TOCI8Ctrl::UnActive() {
    try {
        TermOCI();
        return true;
    } catch (const std::exception& e) {
        SetError(ErrCode() != 0 ? ErrCode() : -1, e.what());
        return false;
    }
}

void TOCI8Ctrl::TermOCI() {
    const bool wasActive = Activated;
    TOCI8Func::TermOCI();
    if (wasActive) {
        Connected = false;
        hSvc = nullptr;
    }
}

bool TOCI8Ctrl::Connect() {
    ClearError();
    if (!Active()) return false;
    if (!DisConnect()) return false;
    OCISvcCtx* svc = nullptr;
    sword status =
        fn_.OCILogon(hEnv, hErr, &svc, reinterpret_cast<const OraText*>(User.c_str()), static_cast<ub4>(User.size()),
                     reinterpret_cast<const OraText*>(Password.c_str()), static_cast<ub4>(Password.size()),
                     reinterpret_cast<const OraText*>(ConnStr.c_str()), static_cast<ub4>(ConnStr.size()));
    LogonWarning.clear();
    if (status == 1) {
        // Logged on with a warning (the password's grace period, ORA-28002): a session.
        LogonWarning = WarningText();
        hSvc = svc;
        Connected = true;
        return true;
    }
    SetError(Check(status));
    if (status != 0) return false;
    hSvc = svc;
    Connected = true;
    return true;
}

bool TOCI8Ctrl::DisConnect() {
    ClearError();
    if (!Connected) return true;
    if (!CleanUp()) return false;
    sword status = fn_.OCILogoff(hSvc, hErr);
    if (status != 0) {
        SetError(status, "セッションを切断できません");
        return false;
    }
    hSvc = nullptr;
    Connected = false;
    return true;
}

bool TOCI8Ctrl::Login() {
    ClearError();
    if (!Active()) return false;
    std::unique_ptr<LoginPrompt> prompt;
    try {
        if (CreateLoginPrompt) prompt = CreateLoginPrompt();
    } catch (const std::exception&) {
        prompt.reset();
    }
    if (!prompt) {
        SetError(-1, "ログイン画面を表示できません");
        return false;
    }
    LogonValues values{User, Password, ConnStr};
    const LoginFocus focus = User.empty() ? LoginFocus::User : LoginFocus::Password;
    if (!prompt->Ask(values, focus)) return false;
    if (!DisConnect()) return false;
    User = values.User;
    Password = values.Password;
    ConnStr = values.ConnStr;
    return Connect();
}

bool TOCI8Ctrl::CleanUp() {
    ClearError();
    for (TOCI8Base* child : children_) {
        if (!child->CleanUp()) return false;
    }
    return true;
}

bool TOCI8Ctrl::FreeChild() {
    ClearError();
    bool failed = false;
    // Detaching removes the child from the list, so walk a copy, last registered first.
    const std::vector<TOCI8Base*> copy = children_;
    for (auto it = copy.rbegin(); it != copy.rend(); ++it) {
        try {
            (*it)->SetParent(nullptr);
        } catch (const std::exception&) {
            failed = true;
        }
    }
    return !failed;
}

bool TOCI8Ctrl::EndTransaction(bool commit) {
    ClearError();
    if (!Connected) {
        SetError(-1, "接続されていません");
        return false;
    }
    sword status = commit ? fn_.OCITransCommit(hSvc, hErr, 0) : fn_.OCITransRollback(hSvc, hErr, 0);
    SetError(Check(status));
    return status == 0;
}

bool TOCI8Ctrl::Commit() {
    return EndTransaction(true);
}
bool TOCI8Ctrl::Rollback() {
    return EndTransaction(false);
}

bool TOCI8Ctrl::CtrlBind(TOCI8Base* child) {
    if (std::find(children_.begin(), children_.end(), child) == children_.end()) children_.push_back(child);
    return true;
}

bool TOCI8Ctrl::CtrlFree(TOCI8Base* child) {
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
    return true;
}

}  // namespace tabrook
