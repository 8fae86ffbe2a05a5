#include "commandstreams.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {

namespace {

bool isClosed(int descriptor)
{
    return ::fcntl(descriptor, F_GETFD) < 0 && errno == EBADF;
}

// Puts the descriptor a name stands for on standard, where the writer's "-" reads or writes.
Result takeDescriptor(std::string& name, int standard, bool standardClosed, const std::string& failure)
{
    const std::optional<int> named = NamedDescriptor(name);
    if (!named && name != "-")
        return {};
    const int descriptor = named.value_or(standard);
    if ((descriptor == standard && standardClosed) || isClosed(descriptor))
        return Result::failure(EBADF, failure);
    if (descriptor != standard && ::dup2(descriptor, standard) < 0)
        return Result::failure(errno, failure);
    name.assign(1, '-'); // not = "-": GCC 12 warns of an overlap that cannot happen (-Wrestrict)
    return {};
}

} // namespace

ClosedStandardStreams KeepStandardDescriptorsOpen()
{
    bool closed[3] = {};
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        closed[descriptor] = isClosed(descriptor);
        // The lower ones are open by now: /dev/null takes the lowest free number, the closed one.
        if (closed[descriptor])
            ::open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
    }
    return {closed[0], closed[1]};
}

std::optional<int> NamedDescriptor(std::string_view name)
{
    if (name == "/dev/stdin")
        return 0;
    if (name == "/dev/stdout")
        return 1;
    if (name == "/dev/stderr")
        return 2;
    for (const std::string_view folder : {"/dev/fd/", "/proc/self/fd/"}) {
        if (!name.starts_with(folder))
            continue;
        const std::string_view digits = name.substr(folder.size());
        int descriptor = -1;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), descriptor);
        if (error == std::errc{} && end == digits.data() + digits.size() && !digits.empty() && descriptor >= 0)
            return descriptor;
    }
    return std::nullopt;
}

Result OpenCommandStreams(std::string& input, std::string& output, ClosedStandardStreams closed)
{
    const std::string outputName = output;
    if (Result taken = takeDescriptor(output, STDOUT_FILENO, closed.output,
                                      output == "-" ? "Cannot write standard output" : "Cannot write '" + output + "'");
        !taken)
        return taken;
    if (Result taken = takeDescriptor(input, STDIN_FILENO, closed.input,
                                      input == "-" ? "Cannot read standard input" : "Cannot read '" + input + "'");
        !taken)
        return taken;

    // Appending the document to the text it is made from would read it back for ever.
    if (output != "-")
        return {};
    struct stat out {};
    struct stat in {};
    const bool readsOutput = ::fstat(STDOUT_FILENO, &out) == 0 && S_ISREG(out.st_mode) &&
                             (input == "-" ? ::fstat(STDIN_FILENO, &in) : ::stat(input.c_str(), &in)) == 0 &&
                             in.st_dev == out.st_dev && in.st_ino == out.st_ino;
    if (readsOutput)
        return Result::failure("The PDF file " + (outputName == "-" ? "(standard output)" : "'" + outputName + "'") +
                               " is the text file being converted.");
    return {};
}

} // namespace quorvale
