#pragma once
// The program's failure: an exception that carries a Polish message meant for
// the user. Whatever reaches the main window's message loop is shown through
// Ask; a message that begins with "%" shows the stop sign.
#include <exception>
#include <string>

class Failure : public std::exception {
public:
    explicit Failure(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& message() const noexcept { return message_; }
    // For code that only knows std::exception: the message as UTF-8.
    const char* what() const noexcept override;

private:
    std::wstring message_;
    mutable std::string utf8_;
};

// The text of a failure, whatever was thrown.
std::wstring ExceptionMessage(std::exception_ptr e);
