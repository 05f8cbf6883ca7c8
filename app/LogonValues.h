#pragma once
// The logon values of the session (user, password, connect string) as the command line and
// the stored settings fill them before the session component takes them over.

#include <string>

namespace tabrook {

struct LogonValues {
  std::string User;
  std::string Password;
  std::string ConnStr;
};

}  // namespace tabrook
