// The one outcome the cores report: done, or the reason it failed in words a user can read, with
// the system's error where the system gave one. The windows and the command turn it into their
// messages; inside a core a failure travels as std::system_error until it becomes a Result.
#pragma once

#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

namespace quorvale {

struct Result {
    bool ok = true;
    std::string reason;    // empty when ok
    std::error_code error; // the system's error, when the system gave one

    static Result failure(std::string reason) { return {false, std::move(reason), {}}; }
    // The system's words for errorNumber, after what was being done when what is given.
    static Result failure(int errorNumber, const std::string& what = {})
    {
        const std::error_code error(errorNumber, std::generic_category());
        return {false, what.empty() ? error.message() : what + ": " + error.message(), error};
    }
    static Result failure(const std::system_error& failure) { return {false, failure.what(), failure.code()}; }
    explicit operator bool() const { return ok; }
};

// Throws the system's error errorNumber (EIO when it gave none) as a failure of what was being done.
[[noreturn]] inline void ThrowSystemError(int errorNumber, const std::string& what)
{
    throw std::system_error(errorNumber != 0 ? errorNumber : EIO, std::generic_category(), what);
}

} // namespace quorvale
