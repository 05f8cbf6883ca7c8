#pragma once
// The three logon values of a session: user, password and connect string. The command line
// and the stored settings fill them; the login prompt edits them; the session takes them over.

#include <string>

namespace tabrook {

struct LogonValues {
    std::string User;
    std::string Password;
    std::string ConnStr;
};

}  // namespace tabrook
