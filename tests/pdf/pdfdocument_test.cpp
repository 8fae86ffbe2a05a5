// The document layer: the line writer's count and chunks, and the exact bytes of each structure.
#include "pdfdocument.h"
#include "pdftestsupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quorvale {
namespace {

using test::sameBytes;

PdfWriterState letterState()
{
    PdfWriterState state;
    state.pageheight = 792;
    state.pagewidth = 612;
    state.fontname = "Courier";
    state.fontsize = 120000;
    state.leading = 144000;
    state.author = "Ann";
    state.creator = "me";
    state.keywords = "k";
    state.subject = "s";
    state.title = "";
    return state;
}

TEST(PdfLineWriter, CountsEveryByteAndAppendsInChunksThatJoinToTheWholeText)
{
    PdfWriterState state;
    MemorySink sink;
    PdfDocument document(state, sink);
    std::string expected;
    for (int i = 0; i < 8000; ++i) {
        const std::string line(i % 97, static_cast<char>('a' + i % 26));
        document.writeline(line);
        expected += line + "\r";
        ASSERT_EQ(state.pos, static_cast<std::int64_t>(sink.bytes().size() + state.buffer.size()));
        ASSERT_LE(state.buffer.size(), ChunkSize + 97U);
    }
    document.writeline("%%EOF", true);
    expected += "%%EOF\r";
    EXPECT_GT(sink.appendCount(), 2);
    EXPECT_TRUE(state.buffer.empty());
    EXPECT_TRUE(sameBytes(sink.bytes(), expected));
    EXPECT_EQ(state.pos, static_cast<std::int64_t>(expected.size()));
}

TEST(PdfLineWriter, RefusesADocumentTheCrossReferenceTableCannotAddress)
{
    PdfWriterState state;
    MemorySink sink;
    PdfDocument document(state, sink);
    state.pos = MaxDocumentBytes - 4;
    document.writeline("abc"); // ends exactly at the limit
    EXPECT_THROW(document.writeline("d"), std::length_error);
}

TEST(NumberList, KeepsEveryValueWhateverItsDistanceFromTheLast)
{
    NumberList list{0, 15, 0, 0, 260, -5, 9'999'999'999};
    list.set(2, 2049);
    list.set(9, 42); // past the end: the places between take the last value
    EXPECT_EQ(list.values(),
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

TEST(PdfStructures, HeaderIsFifteenBytes)
{
    PdfWriterState state;
    MemorySink sink;
    PdfDocument document(state, sink);
    document.startpdf();
    document.writeline("", true);
    EXPECT_TRUE(sameBytes(sink.bytes(), std::string("%PDF-1.2\r%\xE2\xE3\xCF\xD3\r\r")));
    EXPECT_EQ(state.pos, 16);
}

TEST(PdfStructures, InfoDictionaryEscapesValuesInPdfDocEncoding)
{
    PdfWriterState state = letterState();
    state.author = "a(b)\\c";
    state.title = "\x80 \x93q\x94 \x99 \xE9\xA0\xAD";
    MemorySink sink;
    PdfDocument document(state, sink);
    document.writeInfoDictionary("20030312101500");
    document.writeline("", true);
    EXPECT_TRUE(sameBytes(sink.bytes(), "1 0 obj\r<<\r/Author (a\\(b\\)\\\\c)\r/CreationDate (D:20030312101500)\r"
                                        "/Creator (me)\r/Producer (http://www.quorvale.example/runchart)\r"
                                        "/Title (\xA0 \x8Dq\x8E \x92 \xE9 -)\r/Subject (s)\r/Keywords (k)\r>>\r"
                                        "endobj\r\r"));
    EXPECT_EQ(state.infoobj, 1);
    EXPECT_EQ(state.offsets.at(1), 0);
}

TEST(PdfStructures, FixedObjectsAllocateCatalogAndPagesFirst)
{
    PdfWriterState state = letterState();
    state.objcount = 1;
    MemorySink sink;
    PdfDocument document(state, sink);
    document.writeFixedObjects();
    document.writeline("", true);
    EXPECT_TRUE(sameBytes(sink.bytes(), "4 0 obj\r<<\r/Type /Font\r/Subtype /Type1\r/Name /F1\r/Encoding 5 0 R\r"
                                        "/BaseFont /Courier\r>>\rendobj\r"
                                        "5 0 obj\r<<\r/Type /Encoding\r/BaseEncoding /WinAnsiEncoding\r>>\rendobj\r"
                                        "6 0 obj\r<<\r  /Font << /F1 4 0 R >>\r  /ProcSet [ /PDF /Text ]\r>>\r"
                                        "endobj\r\r"));
    EXPECT_EQ(state.catalogobj, 2);
    EXPECT_EQ(state.pagesobj, 3);
    EXPECT_EQ(state.objcount, 6);
    EXPECT_EQ(state.offsets.at(4), 0);
    EXPECT_EQ(state.offsets.at(5), 94);
    EXPECT_EQ(state.offsets.at(6), 162);
}

TEST(PdfStructures, PageFrameWithCrLfAfterStreamAndLengthObject)
{
    PdfWriterState state = letterState();
    state.objcount = 6;
    state.pagesobj = 3;
    state.resourcesobj = 6;
    state.rotation = 90;
    state.pos = 1000;
    MemorySink sink;
    PdfDocument document(state, sink);
    const std::int64_t streamstart = document.startpage();
    document.writeRow("abc");
    document.endpage(streamstart);
    document.writeline("", true);
    const std::string stream = "BT\r/F1 12 Tf\r1 0 0 1 50 752 Tm\r14.4 TL\rT* (abc\r\n) Tj\rET\r";
    const std::string expected = "7 0 obj\r<<\r/Type /Page\r/Parent 3 0 R\r/Resources 6 0 R\r/Contents 8 0 R\r"
                                 "/Rotate 90\r>>\rendobj\r8 0 obj\r<<\r/Length 9 0 R\r>>\rstream\r\n" +
                                 stream + "endstream\rendobj\r9 0 obj\r" + std::to_string(stream.size()) +
                                 "\rendobj\r\r";
    EXPECT_TRUE(sameBytes(sink.bytes(), expected));
    EXPECT_EQ(sink.bytes().substr(static_cast<std::size_t>(streamstart - 1000), 3), "BT\r");
    EXPECT_EQ(state.offsets.at(7), 1000);
    EXPECT_EQ(state.offsets.at(8), 1000 + static_cast<std::int64_t>(sink.bytes().find("8 0 obj")));
    EXPECT_EQ(state.offsets.at(9), 1000 + static_cast<std::int64_t>(sink.bytes().find("9 0 obj")));
    EXPECT_EQ(state.kids.values(), std::vector<std::int64_t>{7});
    EXPECT_EQ(state.objcount, 9);
}

TEST(PdfStructures, CatalogPagesTreeXrefAndTrailer)
{
    PdfWriterState state = letterState();
    state.catalogobj = 2;
    state.pagesobj = 3;
    state.infoobj = 1;
    state.objcount = 12;
    state.pagecount = 2;
    state.kids = {7, 10};
    state.offsets = {0, 15, 0, 0, 260, 358, 426, 497, 587, 1589, 1600, 1700, 1800};
    state.pos = 2000;
    MemorySink sink;
    PdfDocument document(state, sink);
    document.endpdf();
    std::string expected = "2 0 obj\r<<\r/Type /Catalog\r/Pages 3 0 R\r>>\rendobj\r"
                           "3 0 obj\r<<\r/Type /Pages\r/Count 2\r/MediaBox [ 0 0 612 792 ]\r"
                           "/Kids [ 7 0 R 10 0 R ]\r>>\rendobj\r"
                           "xref\r0 13\r0000000000 65535 f \r0000000015 00000 n \r0000002000 00000 n \r"
                           "0000002049 00000 n \r0000000260 00000 n \r0000000358 00000 n \r"
                           "0000000426 00000 n \r0000000497 00000 n \r0000000587 00000 n \r"
                           "0000001589 00000 n \r0000001600 00000 n \r0000001700 00000 n \r"
                           "0000001800 00000 n \r"
                           "trailer\r<<\r/Size 13\r/Root 2 0 R\r/Info 1 0 R\r>>\rstartxref\r2141\r%%EOF\r";
    EXPECT_TRUE(sameBytes(sink.bytes(), expected));
    EXPECT_EQ(sink.bytes().find("xref"), 141U);
}

TEST(PdfStructures, OnePageDocumentHasObjectsInFileOrder)
{
    PdfWriterState state = letterState();
    MemorySink sink;
    PdfDocument document(state, sink);
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
