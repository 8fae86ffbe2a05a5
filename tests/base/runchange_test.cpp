// Identities: their form, and no repeat within a process, across threads or in a forked child.
#include "childprocess.h"
#include "runchange.h"
#include "tempdir.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace quorvale {
namespace {

std::vector<std::string> identities(int count)
{
    std::vector<std::string> made;
    for (int i = 0; i < count; ++i)
        made.push_back(NewIdentity());
    return made;
}

TEST(NewIdentity, ThirtyTwoHexDigitsThatNeverRepeatInThreadsOrForkedChildren)
{
    NewIdentity(); // the parent's generator is seeded before the fork
    const test::TempDir folder;
    const std::string childs = folder.path() + "/child.txt";
    const pid_t child = test::StartChild([&] {
        std::string text;
        for (const std::string& identity : identities(1000))
            text += identity + "\n";
        test::writeFile(childs, text);
    });
    ASSERT_GT(child, 0);
    ASSERT_EQ(test::WaitFor(child), 0);

    std::vector<std::string> made = identities(1000);
    std::vector<std::string> otherThread;
    std::thread([&] { otherThread = identities(1000); }).join();
    made.insert(made.end(), otherThread.begin(), otherThread.end());
    const std::string text = test::readFile(childs);
    for (std::size_t line = 0; line < text.size(); line = text.find('\n', line) + 1)
        made.push_back(text.substr(line, text.find('\n', line) - line));
    ASSERT_EQ(made.size(), 3000U);
    for (const std::string& identity : made)
        EXPECT_EQ(identity.find_first_not_of("0123456789abcdef"), identity.size() == 32 ? std::string::npos : 0)
            << identity;
    EXPECT_EQ(std::set<std::string>(made.begin(), made.end()).size(), made.size());
}

} // namespace
} // namespace quorvale
