// The outcome of writing a file: done, or the reason it failed in the system's words.
#pragma once

#include <string>
#include <utility>

namespace quorvale {

struct Result {
    bool ok = true;
    std::string reason; // empty when ok

    static Result failure(std::string reason) { return {false, std::move(reason)}; }
    explicit operator bool() const { return ok; }
};

} // namespace quorvale
