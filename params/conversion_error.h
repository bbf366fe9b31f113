#pragma once

#include <stdexcept>
#include <string>

// A column that a rule reads "as an integer" holds no integer. Like the platform's conversion
// error it ends the current command; the form that runs the command shows its message.
class TConversionError : public std::runtime_error {
public:
    explicit TConversionError(const std::string& text)
        : std::runtime_error("\"" + text + "\" is not a valid integer value"), Text_(text) {}
    const std::string& Text() const { return Text_; }

private:
    std::string Text_;
};
