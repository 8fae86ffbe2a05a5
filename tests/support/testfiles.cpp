#include "testfiles.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace quorvale::test {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

int runCommand(const std::string& command, std::string* output)
{
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::array<char, 4096> chunk{};
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        if (output)
            output->append(chunk.data(), got);
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

// Forty bytes around at, with line ends shown.
std::string window(const std::string& bytes, std::size_t at)
{
    const std::size_t begin = at < 20 ? 0 : at - 20;
    std::string shown;
    for (const char c : bytes.substr(std::min(begin, bytes.size()), 40)) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else
            shown += c;
    }
    return shown;
}

} // namespace

::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected)
{
    const auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (mismatch.first == actual.end() && mismatch.second == expected.end())
        return ::testing::AssertionSuccess();
    const auto at = static_cast<std::size_t>(mismatch.first - actual.begin());
    return ::testing::AssertionFailure() << "first difference at byte " << at << " (sizes " << actual.size() << " and "
                                         << expected.size() << ")\n  actual:   " << window(actual, at)
                                         << "\n  expected: " << window(expected, at);
}

} // namespace quorvale::test
