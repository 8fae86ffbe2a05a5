// Every seed and crash input of the fuzzer converts cleanly again, and fuzz-like inputs pass qpdf.
#include "robusttest.h"
#include "txt2pdfcase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace quorvale::test {
namespace {

TEST(FuzzCases, SeedsAndCrashInputsConvertCleanly)
{
    const TempDir dir;
    const std::string folder = dir.path();
    int cases = 0;
    for (const char* kept : {"corpus", "crashes"}) {
        const std::filesystem::path dir = std::filesystem::path(QUORVALE_FUZZ_DIR) / kept;
        if (!std::filesystem::is_directory(dir))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (!entry.is_regular_file() || entry.path().filename().string().starts_with("."))
                continue;
            ++cases;
            EXPECT_EQ(convertAndCheck(decodeTxt2PdfCase(readFile(entry.path().string())), folder), "") << entry.path();
        }
    }
    EXPECT_GE(cases, 5);
}

// Random bytes through the fuzzer's decoding, with a fixed seed: parameters, values and text.
TEST(FuzzCases, FuzzLikeInputsPassQpdf)
{
    const TempDir dir;
    const std::string folder = dir.path();
    std::uint64_t state = 20261207;
    int checked = 0;
    for (int sample = 0; sample < 40; ++sample) {
        std::string bytes;
        const std::size_t length = 16 + sample * 97 % 3000;
        for (std::size_t i = 0; i < length; ++i) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            // Mostly text-like bytes, so the lines are long enough to wrap.
            const auto value = static_cast<std::uint8_t>(state >> 56);
            bytes += static_cast<char>(i >= 16 && value < 160 ? "ab (c)\\\t \r\n\f.;x"[value % 16] : value);
        }
        std::string pdf;
        const Txt2PdfCase fuzzCase = decodeTxt2PdfCase(bytes);
        ASSERT_EQ(convertAndCheck(fuzzCase, folder, &pdf), "") << "sample " << sample;
        if (pdf.empty())
            continue; // refused parameters: nothing to read
        writeFile(folder + "/sample.pdf", pdf);
        EXPECT_TRUE(passesQpdf(folder + "/sample.pdf")) << "sample " << sample;
        ++checked;
    }
    EXPECT_GE(checked, 20);
}

} // namespace
} // namespace quorvale::test
