// Helpers for the PDF tests: files, running readers, byte comparison and a structure check.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace quorvale::test {

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// A fresh empty folder for one test.
std::string makeTempDir();
// The names in a folder.
std::set<std::string> namesIn(const std::string& folder);
// Runs a shell command; returns its exit status and, when asked, its standard output.
int runCommand(const std::string& command, std::string* output = nullptr);

// Equal bytes, or the first differing offset with a short window of both around it.
::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected);

// The capacities of every choice the output window offers.
struct Capacity {
    std::int16_t size;
    const char* leading;
    int lines792, lines1008;
    int courier612, arial612, other612, courier1008, arial1008, other1008;
};
const std::vector<Capacity>& capacityTable();

// What a document's pages hold: the text of each row, page by page.
struct PdfPages {
    std::vector<std::vector<std::string>> rows;
};

// Checks header, object offsets against the cross-reference table, startxref, the object order,
// the trailer and every stream's length object, and reads the rows of each page.
::testing::AssertionResult checkStructure(const std::string& pdf, PdfPages* pages = nullptr);

} // namespace quorvale::test
