#pragma once

#include <stdexcept>
#include <string>

namespace kw {

// Every error the program raises on purpose carries a UTF-8 text meant for the
// user: the general error display shows what() as it stands.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace kw
