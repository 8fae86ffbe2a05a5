// Files and commands in tests: whole files as bytes, a byte comparison that shows where two
// texts part, and a shell command with its output.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quorvale::test {

// The file's bytes; empty when it cannot be read.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// The names of the entries of a folder.
std::set<std::string> namesIn(const std::string& folder);

// Runs a shell command; returns its exit status (-1 when it did not exit) and, when asked, its standard output.
int runCommand(const std::string& command, std::string* output = nullptr);

// Equal bytes, or the first differing offset with a short window of both around it.
::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected);

} // namespace quorvale::test
