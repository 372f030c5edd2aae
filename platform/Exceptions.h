#pragma once
// The one error convention of the program: an exception that carries the text the user will read.
// No caller looks at anything but the message; the classes only say where the failure came from.
#include <exception>
#include <string>

#include "StringCode.h"

namespace orv {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// A profile value could not be written.
class EIniFileException : public Exception { using Exception::Exception; };
// A folder could not be created; the text comes from InOutErrorText.
class EInOutError : public Exception { using Exception::Exception; };
// A file could not be opened for reading.
class EFOpenError : public Exception { using Exception::Exception; };
// A file could not be created or replaced.
class EFCreateError : public Exception { using Exception::Exception; };
// A write fell short of the bytes asked for.
class EWriteError : public Exception { using Exception::Exception; };
// A payload record inside the program is damaged.
class EPayloadError : public Exception { using Exception::Exception; };

// Windows error codes the program meets and names.
namespace winerr {
constexpr unsigned long FileNotFound = 2;
constexpr unsigned long PathNotFound = 3;
constexpr unsigned long AccessDenied = 5;
constexpr unsigned long SharingViolation = 32;
constexpr unsigned long DiskFull = 112;
constexpr unsigned long InvalidName = 123;
constexpr unsigned long AlreadyExists = 183;
}  // namespace winerr

// The runtime's text for a failed folder creation, chosen by the Windows error code.
std::string InOutErrorText(unsigned long code);

// Cuts every trailing blank, control character and full stop off a system message.
std::string TrimSystemText(std::string text);

// "Cannot open file "<absolute path>". <system text>"
std::string OpenErrorText(const std::string& absolutePath, const std::string& systemText);
// "Cannot create file "<absolute path>". <system text>"
std::string CreateErrorText(const std::string& absolutePath, const std::string& systemText);
// "Unable to write to <file name as passed>"
std::string IniWriteErrorText(const std::string& fileName);
// The reason a name that leads elsewhere (a link, a second hard link) is not written or deleted through.
inline const char* LinkRefusalText() { return "It is a link or has more than one name, and is not followed"; }
inline const char* StreamWriteErrorText() { return "Stream write error"; }

std::string DecimalText(unsigned long value);

}  // namespace orv
