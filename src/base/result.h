// The outcome of writing a file: done, or the reason it failed in the system's words.
#pragma once

#include <string>
#include <system_error>
#include <utility>

namespace quorvale {

struct Result {
    bool ok = true;
    std::string reason;    // empty when ok
    std::error_code error; // the system's error, when the system gave one

    static Result failure(std::string reason) { return {false, std::move(reason), {}}; }
    static Result failure(int errorNumber)
    {
        const std::error_code error(errorNumber, std::generic_category());
        return {false, error.message(), error};
    }
    explicit operator bool() const { return ok; }
};

} // namespace quorvale
