// The converter's block decoder reads broken UTF-8 as every other reader does, whole or cut into blocks.
#include "brokenutf8.h"
#include "utf8decoder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quorvale {
namespace {

TEST(Utf8Decoder, BrokenUtf8IsReadAsEveryReaderReadsIt)
{
    for (const test::BrokenUtf8& broken : test::BrokenUtf8Cases) {
        SCOPED_TRACE(testing::PrintToString(broken.bytes));
        EXPECT_FALSE(checkUtf8(broken.bytes.data(), broken.bytes.size(), /*last*/ true).valid);
        std::string out(broken.bytes.size(), '\0');
        const Utf8Block whole = decodeUtf8(broken.bytes.data(), broken.bytes.size(), out.data(), /*last*/ true);
        EXPECT_FALSE(whole.valid);
        EXPECT_EQ(out.substr(0, whole.written), broken.read);
        EXPECT_EQ(whole.replaced, static_cast<std::int64_t>(std::count(broken.read.begin(), broken.read.end(), '?')));

        // Cut after its first byte, the rest comes in the next block with what the first left over.
        const Utf8Block first = decodeUtf8(broken.bytes.data(), 1, out.data(), /*last*/ false);
        std::string read = out.substr(0, first.written);
        const std::string rest = broken.bytes.substr(first.consumed);
        const Utf8Block second = decodeUtf8(rest.data(), rest.size(), out.data(), /*last*/ true);
        EXPECT_EQ(read + out.substr(0, second.written), broken.read);
    }
}

} // namespace
} // namespace quorvale
