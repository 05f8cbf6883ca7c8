#pragma once
// The question TOCI8Ctrl::Login asks: user, password and connect string. The login dialog
// implements it in the window layer; tests implement it without widgets.

#include <functional>
#include <memory>
#include <string>

#include "oci/LogonValues.h"

namespace tabrook {

// Which field has the focus when the prompt opens: the password when a user is already known.
enum class LoginFocus { User, Password };

class LoginPrompt {
public:
    virtual ~LoginPrompt() = default;
    // Shows the prompt filled with values; true (OK) leaves what the user typed in values,
    // false means cancelled.
    virtual bool Ask(LogonValues& values, LoginFocus focus) = 0;
};

// Creates a prompt for one Login; may return null (or throw) when none can be created.
using LoginPromptFactory = std::function<std::unique_ptr<LoginPrompt>()>;

}  // namespace tabrook
