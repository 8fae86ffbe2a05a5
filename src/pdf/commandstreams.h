// The command's INPUT and OUTPUT as the writer takes them: a standard stream or a descriptor's
// name becomes "-" on the standard descriptor, and an output that would destroy the input is
// refused before anything is written.
#pragma once

#include "result.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorvale {

// Which standard descriptors were closed when the command started. Each is opened on /dev/null
// in its place, so that no file the command opens later takes its number: a message written to
// standard error must never land in the document.
struct ClosedStandardStreams {
    bool input = false;
    bool output = false;
};
ClosedStandardStreams KeepStandardDescriptorsOpen();

// The descriptor a name stands for: /dev/stdin, /dev/stdout, /dev/stderr, /dev/fd/N and
// /proc/self/fd/N; none for any other name.
std::optional<int> NamedDescriptor(std::string_view name);

// Turns each name that stands for a descriptor into "-", with that descriptor on standard input
// or output, and refuses a closed standard stream and an output that is the input itself.
Result OpenCommandStreams(std::string& input, std::string& output, ClosedStandardStreams closed);

} // namespace quorvale
