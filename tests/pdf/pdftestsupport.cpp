#include "pdftestsupport.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
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

std::string makeTempDir()
{
    std::string pattern = ::testing::TempDir() + "quorvale-pdf-XXXXXX";
    if (!mkdtemp(pattern.data()))
        ADD_FAILURE() << "cannot make a temporary folder";
    return pattern;
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

const std::vector<Capacity>& capacityTable()
{
    static const std::vector<Capacity> table = {
        {8, "9.6", 75, 98, 115, 153, 168, 189, 252, 277},  {10, "12", 60, 78, 92, 122, 135, 151, 202, 222},
        {12, "14.4", 50, 65, 76, 102, 112, 126, 168, 185}, {14, "16.8", 43, 56, 66, 87, 96, 108, 144, 158},
        {16, "19.2", 38, 49, 57, 76, 84, 94, 126, 139},    {18, "21.6", 33, 43, 51, 68, 75, 84, 112, 123},
        {20, "24", 30, 39, 46, 61, 67, 76, 101, 111},
    };
    return table;
}

namespace {

std::string window(const std::string& bytes, std::size_t at)
{
    const std::size_t begin = at < 20 ? 0 : at - 20;
    std::string shown;
    for (const char c : bytes.substr(begin, 40)) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else
            shown += c;
    }
    return shown;
}

std::int64_t numberAt(const std::string& pdf, std::size_t at)
{
    return std::strtoll(pdf.c_str() + at, nullptr, 10);
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

::testing::AssertionResult checkStructure(const std::string& pdf, PdfPages* pages)
{
    using ::testing::AssertionFailure;
    if (pdf.compare(0, 15, "%PDF-1.2\r%\xE2\xE3\xCF\xD3\r") != 0)
        return AssertionFailure() << "header";
    if (!pdf.ends_with("\r%%EOF\r"))
        return AssertionFailure() << "end";
    const auto startxrefLine = pdf.rfind("\rstartxref\r");
    const auto xrefStart = static_cast<std::size_t>(numberAt(pdf, startxrefLine + 11));
    if (pdf.compare(xrefStart, 7, "xref\r0 ") != 0)
        return AssertionFailure() << "startxref " << xrefStart << " does not point at xref";

    // Cross-reference entries: each 20 bytes, each pointing at its object's first line.
    const auto size = numberAt(pdf, xrefStart + 7);
    std::size_t entry = pdf.find('\r', xrefStart + 7) + 1;
    if (pdf.compare(entry, 20, "0000000000 65535 f \r") != 0)
        return AssertionFailure() << "free entry";
    std::vector<std::pair<std::int64_t, std::int64_t>> objectsByOffset;
    for (std::int64_t object = 1; object < size; ++object) {
        entry += 20;
        if (pdf.compare(entry + 10, 10, " 00000 n \r") != 0)
            return AssertionFailure() << "entry of object " << object;
        const auto offset = numberAt(pdf, entry);
        const std::string objectLine = (offset == 0 ? "\r" : "") + std::to_string(object) + " 0 obj\r";
        if (pdf.compare(static_cast<std::size_t>(offset), objectLine.size(), objectLine) != 0 ||
            pdf[static_cast<std::size_t>(offset) - 1] != '\r')
            return AssertionFailure() << "object " << object << " is not at " << offset;
        objectsByOffset.emplace_back(offset, object);
    }
    const std::string trailer = "trailer\r<<\r/Size " + std::to_string(size) +
                                "\r/Root 2 0 R\r/Info 1 0 R\r>>\rstartxref\r" + std::to_string(xrefStart) + "\r%%EOF\r";
    if (pdf.compare(entry + 20, std::string::npos, trailer) != 0)
        return AssertionFailure() << "trailer";

    // File order 1, 4, 5, 6, then three objects per page, then 2 and 3.
    std::sort(objectsByOffset.begin(), objectsByOffset.end());
    std::vector<std::int64_t> order;
    for (const auto& object : objectsByOffset)
        order.push_back(object.second);
    std::vector<std::int64_t> expectedOrder = {1, 4, 5, 6};
    for (std::int64_t object = 7; object < size; ++object)
        expectedOrder.push_back(object);
    expectedOrder.insert(expectedOrder.end(), {2, 3});
    if (order != expectedOrder || (size - 7) % 3 != 0)
        return AssertionFailure() << "object order";

    // Every stream's length object holds the bytes from "BT" through the CR after "ET".
    if (pages)
        pages->rows.clear();
    std::size_t at = 0;
    std::int64_t page = 0;
    while ((at = pdf.find(">>\rstream\r\n", at)) != std::string::npos) {
        ++page;
        const std::size_t start = at + 11;
        const std::size_t end = pdf.find("\rET\rendstream\rendobj\r", start) + 4;
        const std::string lengthObject = std::to_string(3 * page + 6) + " 0 obj\r";
        if (pdf.compare(end + 17, lengthObject.size(), lengthObject) != 0)
            return AssertionFailure() << "length object of page " << page;
        const auto length = numberAt(pdf, end + 17 + lengthObject.size());
        if (length != static_cast<std::int64_t>(end - start))
            return AssertionFailure() << "length of page " << page << ": " << length << " for " << end - start;
        if (pages) {
            auto& rows = pages->rows.emplace_back();
            for (std::size_t row = pdf.find("\rT* (", start); row < end; row = pdf.find("\rT* (", row + 1)) {
                const std::size_t textEnd = pdf.find("\r\n) Tj\r", row);
                rows.push_back(pdf.substr(row + 5, textEnd - row - 5));
            }
        }
        const std::string footer = "1 0 0 1 ";
        const std::string number = "(" + std::to_string(page) + ") Tj\r";
        if (pdf.compare(pdf.rfind("\r1 0 0 1 ", end) + 1, footer.size(), footer) != 0 ||
            pdf.find(number, pdf.rfind("\r1 0 0 1 ", end)) > end)
            return AssertionFailure() << "footer of page " << page;
        at = end;
    }
    if (page != (size - 7) / 3)
        return AssertionFailure() << "found " << page << " streams";
    return ::testing::AssertionSuccess();
}

} // namespace quorvale::test
