// The document layer: the line writer's count and chunks, and the exact bytes of each structure.
#include "pdfdocument.h"
#include "pdftestsupport.h"
#include "pdftext.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quorvale {
namespace {

using test::sameBytes;

PageGeometry letterGeometry(std::int16_t rotation = 0)
{
    return initpdf({"Courier", 12, rotation, 8.5F, 11});
}

const DocumentInformation Information{"Ann", "me", "k", "s", ""};

TEST(PdfLineWriter, CountsEveryByteAndAppendsInChunksThatJoinToTheWholeText)
{
    const PageGeometry geometry = letterGeometry();
    MemorySink sink;
    PdfDocument document(sink, geometry, Information);
    std::string expected;
    for (int i = 0; i < 8000; ++i) {
        const std::string line(i % 97, static_cast<char>('a' + i % 26));
        document.writeline(line);
        expected += line + "\r";
        ASSERT_EQ(document.position(), static_cast<std::int64_t>(sink.bytes().size() + document.pendingBytes()));
        ASSERT_LE(document.pendingBytes(), ChunkSize + 97U);
    }
    document.writeline("%%EOF", true);
    expected += "%%EOF\r";
    EXPECT_GT(sink.appendCount(), 2);
    EXPECT_EQ(document.pendingBytes(), 0U);
    EXPECT_TRUE(sameBytes(sink.bytes(), expected));
    EXPECT_EQ(document.position(), static_cast<std::int64_t>(expected.size()));
}

TEST(PdfLineWriter, RefusesADocumentTheCrossReferenceTableCannotAddress)
{
    const PageGeometry geometry = letterGeometry();
    MemorySink sink;
    PdfDocument document(sink, geometry, Information, /*maxBytes*/ 8);
    document.writeline("abcdefg"); // ends exactly at the limit
    EXPECT_THROW(document.writeline("d"), std::length_error);
}

// The values in order, read the one way the writer reads them.
std::vector<std::int64_t> values(const NumberList& list)
{
    std::vector<std::int64_t> all;
    list.forEach([&](std::int64_t value) { all.push_back(value); });
    return all;
}

TEST(NumberList, KeepsEveryValueWhateverItsDistanceFromTheLast)
{
    NumberList list{0, 15, 0, 0, 260, -5, 9'999'999'999};
    list.set(2, 2049);
    list.set(9, 42); // past the end: the places between take the last value
    EXPECT_EQ(values(list),
              (std::vector<std::int64_t>{0, 15, 2049, 0, 260, -5, 9'999'999'999, 9'999'999'999, 9'999'999'999, 42}));
    NumberList many;
    for (std::int64_t page = 0; page < 300000; ++page)
        many.push_back(page * 3 + 7);
    std::int64_t expected = 7;
    bool same = many.size() == 300000;
    many.forEach([&](std::int64_t value) {
        same = same && value == expected;
        expected += 3;
    });
    EXPECT_TRUE(same);
}

// Where each object's line "n 0 obj" begins in the file, as the cross-reference table must say.
std::int64_t objectAt(const std::string& pdf, int object)
{
    const std::string line = std::to_string(object) + " 0 obj\r";
    return pdf.starts_with(line) ? 0 : static_cast<std::int64_t>(pdf.find("\r" + line)) + 1;
}

// A whole document of the given pages, each holding one row; returns its bytes.
std::string document(int pages, std::int16_t rotation = 0)
{
    const PageGeometry geometry = letterGeometry(rotation);
    MemorySink sink;
    PdfDocument document(sink, geometry, Information);
    document.startpdf();
    document.writeinfo("20030312101500");
    for (int page = 1; page <= pages; ++page) {
        const std::int64_t streamstart = document.startpage();
        EXPECT_EQ(document.pagecount(), page);
        document.writeRow("abc");
        document.endpage(streamstart);
    }
    document.endpdf();
    return sink.bytes();
}

TEST(PdfStructures, HeaderIsFifteenBytes)
{
    const PageGeometry geometry = letterGeometry();
    MemorySink sink;
    PdfDocument document(sink, geometry, Information);
    document.startpdf();
    document.writeline("", true);
    EXPECT_TRUE(sameBytes(sink.bytes(), std::string("%PDF-1.2\r%\xE2\xE3\xCF\xD3\r\r")));
    EXPECT_EQ(document.position(), 16);
}

TEST(PdfStructures, InfoDictionaryEscapesValuesInPdfDocEncoding)
{
    const PageGeometry geometry = letterGeometry();
    DocumentInformation information = Information;
    information.author = "a(b)\\c";
    information.title =
        "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xE2\x84\xA2 \xC3\xA9\xC2\xA0\xC2\xAD"; // € “q” ™ é, no-break space,
                                                                                        // soft hyphen
    MemorySink sink;
    PdfDocument document(sink, geometry, information);
    document.writeinfo("20030312101500");
    document.writeline("", true);
    const std::string& bytes = sink.bytes();
    EXPECT_TRUE(sameBytes(bytes.substr(0, bytes.find("4 0 obj")),
                          "1 0 obj\r<<\r/Author (a\\(b\\)\\\\c)\r/CreationDate (D:20030312101500)\r"
                          "/Creator (me)\r/Producer (http://www.quorvale.example/runchart)\r"
                          "/Title (\xA0 \x8Dq\x8E \x92 \xE9 -)\r/Subject (s)\r/Keywords (k)\r>>\r"
                          "endobj\r"));
}

TEST(PdfStructures, FixedObjectsAllocateCatalogAndPagesFirst)
{
    const std::string pdf = document(1);
    const auto font = static_cast<std::size_t>(objectAt(pdf, 4));
    EXPECT_TRUE(sameBytes(pdf.substr(font, pdf.find("7 0 obj") - font),
                          "4 0 obj\r<<\r/Type /Font\r/Subtype /Type1\r/Name /F1\r/Encoding 5 0 R\r"
                          "/BaseFont /Courier\r>>\rendobj\r"
                          "5 0 obj\r<<\r/Type /Encoding\r/BaseEncoding /WinAnsiEncoding\r>>\rendobj\r"
                          "6 0 obj\r<<\r  /Font << /F1 4 0 R >>\r  /ProcSet [ /PDF /Text ]\r>>\r"
                          "endobj\r"));
    EXPECT_EQ(objectAt(pdf, 5) - objectAt(pdf, 4), 94);
    EXPECT_EQ(objectAt(pdf, 6) - objectAt(pdf, 4), 162);
    EXPECT_NE(pdf.find("\r/Root 2 0 R\r"), std::string::npos);
    EXPECT_NE(pdf.find("\r/Parent 3 0 R\r"), std::string::npos);
}

TEST(PdfStructures, PageFrameWithCrLfAfterStreamAndLengthObject)
{
    const std::string pdf = document(1, /*rotation*/ 90);
    const std::string stream = "BT\r/F1 12 Tf\r1 0 0 1 50 752 Tm\r14.4 TL\rT* (abc\r\n) Tj\rET\r";
    const std::string expected = "7 0 obj\r<<\r/Type /Page\r/Parent 3 0 R\r/Resources 6 0 R\r/Contents 8 0 R\r"
                                 "/Rotate 90\r>>\rendobj\r8 0 obj\r<<\r/Length 9 0 R\r>>\rstream\r\n" +
                                 stream + "endstream\rendobj\r9 0 obj\r" + std::to_string(stream.size()) + "\rendobj\r";
    const auto page = static_cast<std::size_t>(objectAt(pdf, 7));
    EXPECT_TRUE(sameBytes(pdf.substr(page, expected.size()), expected));
    EXPECT_EQ(objectAt(pdf, 2), static_cast<std::int64_t>(page + expected.size()));
    const std::string xref = pdf.substr(pdf.find("\rxref\r"));
    for (const int object : {7, 8, 9})
        EXPECT_NE(xref.find(formatOffset(objectAt(pdf, object)) + " 00000 n \r"), std::string::npos) << object;
}

TEST(PdfStructures, CatalogPagesTreeXrefAndTrailer)
{
    const std::string pdf = document(2);
    const auto catalog = static_cast<std::size_t>(objectAt(pdf, 2));
    const std::size_t xref = pdf.find("xref\r");
    EXPECT_TRUE(sameBytes(pdf.substr(catalog, xref - catalog),
                          "2 0 obj\r<<\r/Type /Catalog\r/Pages 3 0 R\r>>\rendobj\r"
                          "3 0 obj\r<<\r/Type /Pages\r/Count 2\r/MediaBox [ 0 0 612 792 ]\r"
                          "/Kids [ 7 0 R 10 0 R ]\r>>\rendobj\r"));
    std::string expected = "xref\r0 13\r0000000000 65535 f \r";
    for (int object = 1; object <= 12; ++object)
        expected += formatOffset(objectAt(pdf, object)) + " 00000 n \r";
    expected += "trailer\r<<\r/Size 13\r/Root 2 0 R\r/Info 1 0 R\r>>\rstartxref\r" + std::to_string(xref) + "\r%%EOF\r";
    EXPECT_TRUE(sameBytes(pdf.substr(xref), expected));
}

TEST(PdfStructures, OnePageDocumentHasObjectsInFileOrder)
{
    const PageGeometry geometry = letterGeometry();
    MemorySink sink;
    PdfDocument document(sink, geometry, Information);
    document.startpdf();
    document.writeinfo("20030312101500");
    const std::int64_t streamstart = document.startpage();
    for (const char* footer : {"1 0 0 1 306 25 Tm", "(1) Tj", "/F1 12 Tf"})
        document.writeline(footer);
    document.endpage(streamstart);
    document.endpdf();
    test::PdfPages pages;
    EXPECT_TRUE(test::checkStructure(sink.bytes(), &pages));
    EXPECT_EQ(pages.rows.size(), 1U);
    EXPECT_NE(sink.bytes().find("\r/Count 1\r/MediaBox [ 0 0 612 792 ]\r/Kids [ 7 0 R ]\r"), std::string::npos);
    EXPECT_NE(sink.bytes().find("\rxref\r0 10\r"), std::string::npos);
    EXPECT_NE(sink.bytes().find("\r/Title ()\r"), std::string::npos);
}

} // namespace
} // namespace quorvale
