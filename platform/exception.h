#pragma once
// The program's general exception: a failure that carries a message text
// (code page 932), shown to the user as it stands.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// The message of an exception as the user sees it: the program's Exception gives
// its text, other standard exceptions their what().
std::string ExceptionMessage(const std::exception& error);
