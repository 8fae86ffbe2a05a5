// Decodes fuzz bytes into a conversion, runs it and checks the PDF's structure without a PDF library.
#include "txt2pdfcase.h"

#include "pdfwriter.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <vector>

namespace quorvale {

namespace {

// Hands out the fuzz bytes from the front; zeros once they run out.
class ByteReader {
public:
    explicit ByteReader(std::string_view data) : m_data(data) {}

    std::uint8_t byte()
    {
        if (m_data.empty())
            return 0;
        const auto value = static_cast<std::uint8_t>(m_data.front());
        m_data.remove_prefix(1);
        return value;
    }
    std::uint16_t word()
    {
        const std::uint16_t high = byte();
        return static_cast<std::uint16_t>(high << 8 | byte());
    }
    std::string_view take(std::size_t count)
    {
        const std::string_view taken = m_data.substr(0, count);
        m_data.remove_prefix(taken.size());
        return taken;
    }
    std::string_view rest() const { return m_data; }

private:
    std::string_view m_data;
};

std::string repeated(std::string_view pattern, std::size_t times)
{
    std::string result;
    result.reserve(pattern.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        result.append(pattern);
    return result;
}

// Mostly a short value; from 224 up a long one (to about 10,000 bytes) made of a repeated pattern.
std::string infoValue(ByteReader& reader)
{
    const std::uint8_t length = reader.byte();
    if (length < 224)
        return std::string(reader.take(length % 24));
    const std::string_view pattern = reader.take(8);
    return pattern.empty() ? std::string() : repeated(pattern, (length - 223) * 350 / pattern.size());
}

// A page side in inches: mostly 0.5 to 40.5; the top eight values pick edges the writer must refuse or survive.
float pageSide(ByteReader& reader)
{
    constexpr std::array<float, 8> edges = {0.0F,
                                            -1.0F,
                                            1e-4F,
                                            0.02F,
                                            1e5F,
                                            1e9F,
                                            std::numeric_limits<float>::infinity(),
                                            std::numeric_limits<float>::quiet_NaN()};
    const std::uint16_t value = reader.word();
    if (value >= 0xFFF8)
        return edges[value - 0xFFF8];
    return 0.5F + static_cast<float>(value) * 40.0F / 65535.0F;
}

std::string readFile(const std::string& path, bool& exists)
{
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Reads a non-negative decimal integer at pos, moving pos past it; -1 when there is none.
std::int64_t readNumber(std::string_view pdf, std::size_t& pos)
{
    std::int64_t value = -1;
    const char* begin = pdf.data() + pos;
    const auto [end, error] = std::from_chars(begin, pdf.data() + pdf.size(), value);
    if (error != std::errc() || value < 0)
        return -1;
    pos += static_cast<std::size_t>(end - begin);
    return value;
}

bool expect(std::string_view pdf, std::size_t& pos, std::string_view text)
{
    if (pdf.substr(pos, text.size()) != text)
        return false;
    pos += text.size();
    return true;
}

// Moves pos past a string that starts at pos with "(": every "\" must escape "\", "(", ")" or
// stand in "\r" for a CR, and the first unescaped ")" ends it; an unescaped "(" inside means the
// escaping broke.
bool skipString(std::string_view pdf, std::size_t& pos)
{
    if (!expect(pdf, pos, "("))
        return false;
    while (pos < pdf.size()) {
        const char c = pdf[pos];
        if (c == '\\') {
            if (pos + 1 >= pdf.size() || std::string_view("\\()r").find(pdf[pos + 1]) == std::string_view::npos)
                return false;
            pos += 2;
        } else if (c == '(') {
            return false;
        } else {
            ++pos;
            if (c == ')')
                return true;
        }
    }
    return false;
}

// Every string in the stream is whole and followed by " Tj" and the line's end, or by " Tj " where a
// row goes on in another font; nothing outside strings is a delimiter of them. A string after "T* "
// is a row: its text, without the CR LF that ends it, goes to rows when given.
std::string checkContent(std::string_view content, std::vector<std::string>* rows)
{
    std::size_t pos = 0;
    while (pos < content.size()) {
        const char c = content[pos];
        if (c == '(') {
            const std::size_t start = pos;
            if (!skipString(content, pos) || (!expect(content, pos, " Tj\r") && !expect(content, pos, " Tj ")))
                return "a string in a content stream is broken at stream byte " + std::to_string(pos);
            if (rows && start >= 4 && content.substr(start - 4, 4) == "\rT* ") {
                std::string_view text = content.substr(start + 1, pos - start - 6);
                if (text.ends_with("\r\n"))
                    text.remove_suffix(2);
                rows->emplace_back(text);
            }
        } else if (c == ')' || c == '\\') {
            return "a stray delimiter in a content stream at stream byte " + std::to_string(pos);
        } else {
            ++pos;
        }
    }
    return {};
}

// Moves pos past a hexadecimal string of UTF-16BE text after its byte-order mark.
bool skipUtf16(std::string_view pdf, std::size_t& pos)
{
    if (!expect(pdf, pos, "<FEFF"))
        return false;
    const std::size_t end = pdf.find('>', pos);
    if (end == std::string_view::npos || (end - pos) % 4 != 0 ||
        pdf.substr(pos, end - pos).find_first_not_of("0123456789ABCDEF") != std::string_view::npos)
        return false;
    pos = end + 1;
    return true;
}

std::string checkInfo(std::string_view pdf, std::size_t pos)
{
    if (!expect(pdf, pos, "1 0 obj\r<<\r"))
        return "the information dictionary does not begin where its entry points";
    for (const std::string_view key :
         {"/Author ", "/CreationDate ", "/Creator ", "/Producer ", "/Title ", "/Subject ", "/Keywords "}) {
        if (!expect(pdf, pos, key) || !(skipString(pdf, pos) || skipUtf16(pdf, pos)) || !expect(pdf, pos, "\r"))
            return "the information value " + std::string(key) + "is broken";
    }
    return expect(pdf, pos, ">>\rendobj\r") ? std::string() : "the information dictionary does not end";
}

// The page's object, its stream with the length its length object gives, which follows the stream at
// once, and the page's number in the footer, the last thing the stream positions.
std::string checkPage(std::string_view pdf, const std::vector<std::int64_t>& offsets, std::int64_t page,
                      std::int64_t fonts, std::vector<std::string>* rows)
{
    const std::int64_t pageObject = 3 * page + 4 + fonts;
    const std::int64_t streamObject = pageObject + 1;
    const std::int64_t lengthObject = pageObject + 2;
    auto pos = static_cast<std::size_t>(offsets[pageObject]);
    if (!expect(pdf, pos, std::to_string(pageObject) + " 0 obj\r<<\r/Type /Page\r/Parent 3 0 R\r"))
        return "page object " + std::to_string(pageObject) + " is not where its entry points";

    pos = static_cast<std::size_t>(offsets[lengthObject]);
    std::int64_t length = -1;
    if (!expect(pdf, pos, std::to_string(lengthObject) + " 0 obj\r") || (length = readNumber(pdf, pos)) < 0 ||
        !expect(pdf, pos, "\rendobj\r"))
        return "length object " + std::to_string(lengthObject) + " is malformed";

    pos = static_cast<std::size_t>(offsets[streamObject]);
    if (!expect(pdf, pos,
                std::to_string(streamObject) + " 0 obj\r<<\r/Length " + std::to_string(lengthObject) +
                    " 0 R\r>>\rstream\r\n"))
        return "stream object " + std::to_string(streamObject) + " is malformed";
    const std::string_view content = pdf.substr(pos, static_cast<std::size_t>(length));
    std::size_t end = pos + content.size();
    if (content.size() != static_cast<std::size_t>(length) || !content.ends_with("ET\r") ||
        !expect(pdf, end, "endstream\rendobj\r"))
        return "the length of stream " + std::to_string(streamObject) + " does not match its bytes";
    if (end != static_cast<std::size_t>(offsets[lengthObject]))
        return "length object " + std::to_string(lengthObject) + " does not follow its stream";

    const std::size_t footer = content.rfind("\r1 0 0 1 ");
    if (footer == std::string_view::npos ||
        content.find("(" + std::to_string(page) + ") Tj\r", footer) == std::string_view::npos)
        return "the footer of page " + std::to_string(page) + " does not show its number";
    return checkContent(content, rows);
}

} // namespace

Txt2PdfCase decodeTxt2PdfCase(std::string_view data)
{
    static constexpr std::array<const char*, 6> fonts = {"Times-Roman", "Courier",   "Arial",
                                                         "courier",     "Helvetica", "Courier-Bold"};
    static constexpr std::array<std::int16_t, 4> rotations = {0, 90, 180, 270};
    ByteReader reader(data);
    Txt2PdfCase result;
    result.page.font = fonts[reader.byte() % fonts.size()];
    const std::uint8_t size = reader.byte();
    result.page.fontSize =
        size == 255 ? static_cast<std::int16_t>(reader.word()) : static_cast<std::int16_t>(1 + size % 72);
    const std::uint8_t rotation = reader.byte();
    result.page.rotation = rotation < 128 ? rotations[rotation % 4] : static_cast<std::int16_t>(reader.word());
    if (rotation < 128) { // the bits left over pick the reading; 0 is the output window's
        static constexpr std::array<ReadingOptions::Encoding, 4> encodings = {
            ReadingOptions::Encoding::Windows1252OrMarkedUtf8, ReadingOptions::Encoding::Utf8,
            ReadingOptions::Encoding::Auto, ReadingOptions::Encoding::Utf8};
        const int encoding = (rotation >> 2) % 4;
        result.reading.encoding = encodings[encoding];
        result.reading.lineEnds = rotation & 16 ? ReadingOptions::LineEnds::Any : ReadingOptions::LineEnds::Cr;
        result.reading.trim = rotation & 32 ? ReadingOptions::Trim::Trailing : ReadingOptions::Trim::Both;
        result.reading.tabSize = rotation & 64 ? 0 : (encoding == 3 ? 3 : 8);
    }
    result.page.width = pageSide(reader);
    result.page.height = pageSide(reader);
    const std::uint8_t repeat = reader.byte();
    const std::size_t times = repeat >= 240 ? 1 + (repeat - 240) * 32 : 1; // past the 128 KiB chunks
    DocumentInformation& information = result.information;
    for (std::string* value :
         {&information.author, &information.creator, &information.keywords, &information.subject, &information.title})
        *value = infoValue(reader);
    result.text = repeated(reader.rest(), times);
    return result;
}

std::string checkPdf(std::string_view pdf, std::vector<std::vector<std::string>>* pageRows)
{
    if (pageRows)
        pageRows->clear();
    if (!pdf.starts_with("%PDF-1.2\r%\xE2\xE3\xCF\xD3\r") || !pdf.ends_with("\r%%EOF\r"))
        return "the header or the end of file is wrong";
    const std::size_t startxref = pdf.rfind("\rstartxref\r");
    std::size_t pos = startxref + 11;
    const std::int64_t xrefStart = startxref == std::string_view::npos ? -1 : readNumber(pdf, pos);
    if (xrefStart < 0 || static_cast<std::size_t>(xrefStart) >= pdf.size())
        return "startxref is missing or out of the file";

    pos = static_cast<std::size_t>(xrefStart);
    std::int64_t size = -1;
    if (!expect(pdf, pos, "xref\r0 ") || (size = readNumber(pdf, pos)) < 10 ||
        !expect(pdf, pos, "\r0000000000 65535 f \r"))
        return "the cross-reference section is malformed";
    std::vector<std::int64_t> offsets(static_cast<std::size_t>(size), 0);
    for (std::int64_t object = 1; object < size; ++object) {
        const std::size_t entry = pos;
        const std::int64_t offset = readNumber(pdf, pos);
        if (pos != entry + 10 || !expect(pdf, pos, " 00000 n \r") || static_cast<std::size_t>(offset) >= pdf.size())
            return "cross-reference entry " + std::to_string(object) + " is malformed";
        offsets[static_cast<std::size_t>(object)] = offset;
        std::size_t at = static_cast<std::size_t>(offset);
        if (at != 0 && pdf[at - 1] != '\r')
            return "object " + std::to_string(object) + " does not start a line";
        if (!expect(pdf, at, std::to_string(object) + " 0 obj\r"))
            return "cross-reference entry " + std::to_string(object) + " does not point at its object";
    }
    // The embedded fonts the resources name after /F1 (object 6): each is five objects, the first
    // numbered before the pages.
    std::int64_t fonts = -1;
    const std::size_t fontsEnd = pdf.find(">>", static_cast<std::size_t>(offsets[6]));
    for (std::size_t at = static_cast<std::size_t>(offsets[6]); (at = pdf.find(" 0 R", at)) < fontsEnd; ++at)
        ++fonts;
    if ((size - 7 - 5 * fonts) % 3 != 0 || size - 7 - 5 * fonts < 3)
        return "the cross-reference section is malformed";
    const std::int64_t pages = (size - 7 - 5 * fonts) / 3;
    // File order: 1, 4, 5, 6, then three objects per page, then the fonts', then 2 and 3.
    std::vector<std::int64_t> order = {1};
    for (std::int64_t object = 4; object < size; ++object) {
        if (object <= 6 || (object > 6 + fonts && object <= 6 + fonts + 3 * pages))
            order.push_back(object);
    }
    order.insert(order.end(), {2, 3});
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (offsets[static_cast<std::size_t>(order[i - 1])] >= offsets[static_cast<std::size_t>(order[i])])
            return "object " + std::to_string(order[i]) + " is out of the file order";
    }
    for (std::int64_t object = 7; object < size; ++object) {
        const bool fontObject = object <= 6 + fonts || object > 6 + fonts + 3 * pages;
        if (fontObject &&
            (offsets[static_cast<std::size_t>(object)] < offsets[static_cast<std::size_t>(order[order.size() - 3])] ||
             offsets[static_cast<std::size_t>(object)] > offsets[2]))
            return "font object " + std::to_string(object) + " is not between the pages and the catalog";
    }
    const std::string trailer = "trailer\r<<\r/Size " + std::to_string(size) + "\r/Root 2 0 R\r/Info 1 0 R\r>>\r" +
                                "startxref\r" + std::to_string(xrefStart) + "\r%%EOF\r";
    if (pdf.substr(pos) != trailer)
        return "the trailer is wrong";

    if (std::string problem = checkInfo(pdf, static_cast<std::size_t>(offsets[1])); !problem.empty())
        return problem;
    std::string kids;
    for (std::int64_t page = 1; page <= pages; ++page) {
        std::vector<std::string>* rows = pageRows ? &pageRows->emplace_back() : nullptr;
        if (std::string problem = checkPage(pdf, offsets, page, fonts, rows); !problem.empty())
            return problem;
        kids += std::to_string(3 * page + 4 + fonts) + " 0 R ";
    }
    pos = static_cast<std::size_t>(offsets[3]);
    if (!expect(pdf, pos, "3 0 obj\r<<\r/Type /Pages\r/Count " + std::to_string(pages) + "\r") ||
        pdf.find("\r/Kids [ " + kids + "]\r>>\rendobj\r", pos) == std::string_view::npos)
        return "the pages tree does not list the pages";
    // No stream but the pages' and two a font (its file and its ToUnicode map); the information
    // values before object 4 may hold any bytes.
    std::int64_t streams = 0;
    for (auto at = static_cast<std::size_t>(offsets[4]);
         (at = pdf.find(">>\rstream\r\n", at)) != std::string_view::npos; ++at)
        ++streams;
    if (streams != pages + 2 * fonts)
        return "the file holds " + std::to_string(streams) + " streams for " + std::to_string(pages) + " pages";
    return {};
}

std::string convertAndCheck(const Txt2PdfCase& fuzzCase, const std::string& folder, std::string* pdf)
{
    const std::string input = folder + "/in.txt";
    const std::string output = folder + "/out.pdf";
    const std::string older = "%older file";
    writeFile(input, fuzzCase.text);
    writeFile(output, older);

    PdfWriter writer([] { return std::string("20261207084837"); });
    Result converted;
    try {
        converted = writer.ConvertToPDF(PdfJob(input, output, fuzzCase.information, fuzzCase.page, fuzzCase.reading));
    } catch (const std::invalid_argument& wrong) {
        converted = Result::failure(wrong.what());
    }
    bool exists = false;
    const std::string written = readFile(output, exists);
    std::remove(output.c_str());
    if (pdf)
        *pdf = converted ? written : std::string();
    if (!converted) {
        if (converted.reason.empty())
            return "a failed conversion reported nothing";
        if (exists && written != older)
            return "a failed conversion left a partial file";
        return {};
    }
    return checkPdf(written);
}

} // namespace quorvale
