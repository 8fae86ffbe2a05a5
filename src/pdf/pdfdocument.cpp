#include "pdfdocument.h"

#include "maker.h"
#include "pdftext.h"
#include "utf8.h"
#include "windows1252.h"

#include <stdexcept>

namespace quorvale {

namespace {

// What follows a row's text: the end-of-line inside the string, the operator, the writer's CR.
constexpr std::string_view RowEnd = "\r\n) Tj\r";

std::string objectLine(std::int32_t object)
{
    return formatInteger(object) + " 0 obj";
}
std::string reference(std::int32_t object)
{
    return formatInteger(object) + " 0 R";
}

// An information value: in PDFDocEncoding, escaped like a text row, when Windows-1252 holds all of
// it; otherwise in UTF-16BE after its byte-order mark, in hexadecimal.
std::string infoString(const std::string& utf8)
{
    if (fitsWindows1252(utf8)) {
        std::string escaped = "(";
        appendEscaped(escaped, toPdfDocEncoding(encodeWindows1252(utf8)));
        return escaped + ")";
    }
    std::string utf16 = "<FEFF";
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Sequence sequence = readUtf8(utf8.data() + i, utf8.size() - i);
        i += sequence.length;
        appendUtf16Hex(utf16, sequence.kind == Utf8Sequence::Whole ? sequence.codePoint : U'?');
    }
    return utf16 + ">";
}

} // namespace

PdfDocument::PdfDocument(ByteSink& sink, const PageGeometry& geometry, const DocumentInformation& information,
                         std::int64_t maxBytes)
    : m_sink(sink), m_geometry(geometry), m_information(information), m_maxBytes(maxBytes)
{
}

void PdfDocument::writeline(std::string_view line, bool flush)
{
    m_buffer.append(line);
    endLine(line.size(), flush, "\r");
}

void PdfDocument::writeRow(std::string_view text)
{
    m_buffer.append("T* (").append(text).append(RowEnd);
    countPending(text.size() + 4 + RowEnd.size(), false);
}

bool PdfDocument::writeRowIfItFits(std::string_view text, std::size_t maxchars)
{
    if (text.size() > maxchars) // escaping only lengthens it
        return false;
    std::string& buffer = m_buffer;
    const std::size_t rowStart = buffer.size();
    buffer.append("T* (");
    appendEscaped(buffer, text);
    const std::size_t escapedLength = buffer.size() - rowStart - 4;
    if (escapedLength > maxchars) {
        buffer.resize(rowStart);
        return false;
    }
    buffer.append(RowEnd);
    countPending(escapedLength + 4 + RowEnd.size(), false);
    return true;
}

void PdfDocument::endLine(std::size_t length, bool flush, std::string_view lineEnd)
{
    m_buffer.append(lineEnd);
    countPending(length + lineEnd.size(), flush);
}

void PdfDocument::countPending(std::size_t added, bool flush)
{
    m_pos += static_cast<std::int64_t>(added);
    if (m_pos > m_maxBytes)
        throw std::length_error("The PDF document would grow past 9,999,999,999 bytes, more than its "
                                "cross-reference table can address.");
    if (m_buffer.size() > ChunkSize || flush) {
        m_sink.append(m_buffer);
        m_buffer.clear();
    }
}

std::int32_t PdfDocument::beginObject()
{
    ++m_objcount;
    setOffset(m_objcount);
    return m_objcount;
}

void PdfDocument::setOffset(std::int32_t object)
{
    m_offsets.set(static_cast<std::size_t>(object), m_pos);
}

void PdfDocument::startpdf()
{
    writeline("%PDF-1.2");
    writeline("%\xE2\xE3\xCF\xD3");
}

void PdfDocument::writeinfo(const std::string& timestamp, std::size_t embeddedFonts)
{
    writeInfoDictionary(timestamp);
    writeFixedObjects(embeddedFonts);
}

void PdfDocument::openObject(std::int32_t object, const std::vector<std::string>& lines)
{
    setOffset(object);
    writeline(objectLine(object));
    for (const std::string& line : lines)
        writeline(line);
}

void PdfDocument::writeObject(std::int32_t object, const std::vector<std::string>& lines)
{
    openObject(object, lines);
    writeline("endobj");
}

void PdfDocument::writeStreamObject(std::int32_t object, const std::vector<std::string>& entries,
                                    std::string_view bytes)
{
    std::vector<std::string> lines{"<<", "/Length " + formatInteger(static_cast<std::int64_t>(bytes.size()))};
    lines.insert(lines.end(), entries.begin(), entries.end());
    lines.emplace_back(">>");
    openObject(object, lines);
    m_buffer.append("stream");
    endLine(6, false, "\r\n");
    m_buffer.append(bytes);
    countPending(bytes.size(), false);
    writeline("");
    writeline("endstream");
    writeline("endobj");
}

void PdfDocument::writeInfoDictionary(const std::string& timestamp)
{
    m_infoobj = beginObject();
    writeline(objectLine(m_infoobj));
    writeline("<<");
    writeline("/Author " + infoString(m_information.author));
    writeline("/CreationDate (D:" + timestamp + ")");
    writeline("/Creator " + infoString(m_information.creator));
    writeline("/Producer (" + std::string(MakerUrl) + ")");
    writeline("/Title " + infoString(m_information.title));
    writeline("/Subject " + infoString(m_information.subject));
    writeline("/Keywords " + infoString(m_information.keywords));
    writeline(">>");
    writeline("endobj");
}

void PdfDocument::writeFixedObjects(std::size_t embeddedFonts)
{
    // The catalog and pages tree are numbered now, since every page names its parent, but written last.
    m_catalogobj = ++m_objcount;
    m_pagesobj = ++m_objcount;
    m_encodingobj = m_pagesobj + 2;
    m_resourcesobj = m_pagesobj + 3;

    const std::int32_t font = beginObject();
    writeline(objectLine(font));
    writeline("<<");
    writeline("/Type /Font");
    writeline("/Subtype /Type1");
    writeline("/Name /F1");
    writeline("/Encoding " + reference(m_encodingobj));
    writeline("/BaseFont /" + m_geometry.fontname);
    writeline(">>");
    writeline("endobj");

    writeline(objectLine(beginObject()));
    writeline("<<");
    writeline("/Type /Encoding");
    writeline("/BaseEncoding /WinAnsiEncoding");
    writeline(">>");
    writeline("endobj");

    writeline(objectLine(beginObject()));
    for (std::size_t index = 0; index < embeddedFonts; ++index)
        m_fontobjs.push_back(reserveObject());
    std::string fonts = "  /Font << /F1 " + reference(font);
    for (std::size_t index = 0; index < embeddedFonts; ++index)
        fonts += " /F" + formatInteger(static_cast<std::int64_t>(index) + 2) + " " + reference(m_fontobjs[index]);
    writeline("<<");
    writeline(fonts + " >>");
    writeline("  /ProcSet [ /PDF /Text ]");
    writeline(">>");
    writeline("endobj");
}

std::int64_t PdfDocument::startpage()
{
    const std::int32_t page = beginObject();
    ++m_pagecount;
    m_kids.push_back(page);
    writeline(objectLine(page));
    writeline("<<");
    writeline("/Type /Page");
    writeline("/Parent " + reference(m_pagesobj));
    writeline("/Resources " + reference(m_resourcesobj));
    const std::int32_t stream = ++m_objcount;
    writeline("/Contents " + reference(stream));
    writeline("/Rotate " + formatInteger(m_geometry.rotation));
    writeline(">>");
    writeline("endobj");

    // The length object is numbered by endpage, once the stream's length is known.
    setOffset(stream);
    writeline(objectLine(stream));
    writeline("<<");
    writeline("/Length " + reference(stream + 1));
    writeline(">>");
    m_buffer.append("stream");
    endLine(6, false, "\r\n"); // a lone CR may not follow the stream keyword

    const std::int64_t streamstart = m_pos;
    writeline("BT");
    writeline("/F1 " + formatFixed(m_geometry.fontsize) + " Tf");
    writeline("1 0 0 1 " + formatInteger(TextLeft) + " " + formatInteger(m_geometry.pageheight - 40) + " Tm");
    writeline(formatFixed(m_geometry.leading) + " TL");
    return streamstart;
}

void PdfDocument::endpage(std::int64_t streamstart)
{
    writeline("ET");
    const std::int64_t streamEnd = m_pos;
    writeline("endstream");
    writeline("endobj");
    const std::int32_t length = beginObject();
    writeline(objectLine(length));
    writeline(formatInteger(streamEnd - streamstart));
    writeline("endobj");
}

void PdfDocument::endpdf()
{
    writeCatalog();
    writePagesTree();
    const std::int64_t xrefStart = m_pos;
    writeXref();
    writeTrailer(xrefStart);
}

void PdfDocument::writeCatalog()
{
    setOffset(m_catalogobj);
    writeline(objectLine(m_catalogobj));
    writeline("<<");
    writeline("/Type /Catalog");
    writeline("/Pages " + reference(m_pagesobj));
    writeline(">>");
    writeline("endobj");
}

void PdfDocument::writePagesTree()
{
    setOffset(m_pagesobj);
    writeline(objectLine(m_pagesobj));
    writeline("<<");
    writeline("/Type /Pages");
    writeline("/Count " + formatInteger(m_pagecount));
    writeline("/MediaBox [ 0 0 " + formatInteger(m_geometry.pagewidth) + " " + formatInteger(m_geometry.pageheight) +
              " ]");
    // One reference per page: with many pages the line is long, so it goes out piece by piece.
    m_buffer.append("/Kids [ ");
    countPending(8, false);
    m_kids.forEach([this](std::int64_t page) {
        const std::string kid = reference(static_cast<std::int32_t>(page)) + " ";
        m_buffer.append(kid);
        countPending(kid.size(), false);
    });
    writeline("]");
    writeline(">>");
    writeline("endobj");
}

void PdfDocument::writeXref()
{
    writeline("xref");
    writeline("0 " + formatInteger(m_objcount + 1));
    writeline("0000000000 65535 f ");
    std::int32_t object = 0;
    m_offsets.forEach([&](std::int64_t offset) {
        if (object > 0 && object <= m_objcount)
            writeline(formatOffset(offset) + " 00000 n ");
        ++object;
    });
}

void PdfDocument::writeTrailer(std::int64_t xrefStart)
{
    writeline("trailer");
    writeline("<<");
    writeline("/Size " + formatInteger(m_objcount + 1));
    writeline("/Root " + reference(m_catalogobj));
    writeline("/Info " + reference(m_infoobj));
    writeline(">>");
    writeline("startxref");
    writeline(formatInteger(xrefStart));
    writeline("%%EOF", /*flush*/ true);
}

} // namespace quorvale
