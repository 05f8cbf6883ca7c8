#pragma once
// The exception of the client layer's loading and conversion services; its message is the
// component's ErrMsg at the moment of the failure.

#include <stdexcept>
#include <string>

namespace tabrook {

class TOCIException : public std::runtime_error {
public:
    explicit TOCIException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tabrook
