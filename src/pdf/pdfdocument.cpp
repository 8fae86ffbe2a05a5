#include "pdfdocument.h"

#include "maker.h"
#include "pdftext.h"

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

// An information value: PDFDocEncoding, escaped like a text row.
std::string infoString(const std::string& windows1252)
{
    std::string escaped;
    appendEscaped(escaped, toPdfDocEncoding(windows1252));
    return escaped;
}

} // namespace

PdfDocument::PdfDocument(PdfWriterState& state, ByteSink& sink) : m_state(state), m_sink(sink) {}

void PdfDocument::writeline(std::string_view line, bool flush)
{
    m_state.buffer.append(line);
    endLine(line.size(), flush, "\r");
}

void PdfDocument::writeRow(std::string_view text)
{
    m_state.buffer.append("T* (").append(text).append(RowEnd);
    countPending(text.size() + 4 + RowEnd.size(), false);
}

bool PdfDocument::writeRowIfItFits(std::string_view text, std::size_t maxchars)
{
    if (text.size() > maxchars) // escaping only lengthens it
        return false;
    std::string& buffer = m_state.buffer;
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
    m_state.buffer.append(lineEnd);
    countPending(length + lineEnd.size(), flush);
}

void PdfDocument::countPending(std::size_t added, bool flush)
{
    m_state.pos += static_cast<std::int64_t>(added);
    if (m_state.pos > MaxDocumentBytes)
        throw std::length_error("The PDF document would grow past 9,999,999,999 bytes, more than its "
                                "cross-reference table can address.");
    if (m_state.buffer.size() > ChunkSize || flush) {
        m_sink.append(m_state.buffer);
        m_state.buffer.clear();
    }
}

std::int32_t PdfDocument::beginObject()
{
    ++m_state.objcount;
    setOffset(m_state.objcount);
    return m_state.objcount;
}

void PdfDocument::setOffset(std::int32_t object)
{
    m_state.offsets.set(static_cast<std::size_t>(object), m_state.pos);
}

void PdfDocument::startpdf()
{
    writeline("%PDF-1.2");
    writeline("%\xE2\xE3\xCF\xD3");
}

void PdfDocument::writeinfo(const std::string& timestamp)
{
    writeInfoDictionary(timestamp);
    writeFixedObjects();
}

void PdfDocument::writeInfoDictionary(const std::string& timestamp)
{
    m_state.infoobj = beginObject();
    writeline(objectLine(m_state.infoobj));
    writeline("<<");
    writeline("/Author (" + infoString(m_state.author) + ")");
    writeline("/CreationDate (D:" + timestamp + ")");
    writeline("/Creator (" + infoString(m_state.creator) + ")");
    writeline("/Producer (" + std::string(MakerUrl) + ")");
    writeline("/Title (" + infoString(m_state.title) + ")");
    writeline("/Subject (" + infoString(m_state.subject) + ")");
    writeline("/Keywords (" + infoString(m_state.keywords) + ")");
    writeline(">>");
    writeline("endobj");
}

void PdfDocument::writeFixedObjects()
{
    // The catalog and pages tree are numbered now, since every page names its parent, but written last.
    m_state.catalogobj = ++m_state.objcount;
    m_state.pagesobj = ++m_state.objcount;
    m_state.encodingobj = m_state.pagesobj + 2;
    m_state.resourcesobj = m_state.pagesobj + 3;

    const std::int32_t font = beginObject();
    writeline(objectLine(font));
    writeline("<<");
    writeline("/Type /Font");
    writeline("/Subtype /Type1");
    writeline("/Name /F1");
    writeline("/Encoding " + reference(m_state.encodingobj));
    writeline("/BaseFont /" + m_state.fontname);
    writeline(">>");
    writeline("endobj");

    writeline(objectLine(beginObject()));
    writeline("<<");
    writeline("/Type /Encoding");
    writeline("/BaseEncoding /WinAnsiEncoding");
    writeline(">>");
    writeline("endobj");

    writeline(objectLine(beginObject()));
    writeline("<<");
    writeline("  /Font << /F1 " + reference(font) + " >>");
    writeline("  /ProcSet [ /PDF /Text ]");
    writeline(">>");
    writeline("endobj");
}

std::int64_t PdfDocument::startpage()
{
    const std::int32_t page = beginObject();
    ++m_state.pagecount;
    m_state.kids.push_back(page);
    writeline(objectLine(page));
    writeline("<<");
    writeline("/Type /Page");
    writeline("/Parent " + reference(m_state.pagesobj));
    writeline("/Resources " + reference(m_state.resourcesobj));
    const std::int32_t stream = ++m_state.objcount;
    writeline("/Contents " + reference(stream));
    writeline("/Rotate " + formatInteger(m_state.rotation));
    writeline(">>");
    writeline("endobj");

    // The length object is numbered by endpage, once the stream's length is known.
    setOffset(stream);
    writeline(objectLine(stream));
    writeline("<<");
    writeline("/Length " + reference(stream + 1));
    writeline(">>");
    m_state.buffer.append("stream");
    endLine(6, false, "\r\n"); // a lone CR may not follow the stream keyword

    const std::int64_t streamstart = m_state.pos;
    writeline("BT");
    writeline("/F1 " + formatFixed(m_state.fontsize) + " Tf");
    writeline("1 0 0 1 50 " + formatInteger(m_state.pageheight - 40) + " Tm");
    writeline(formatFixed(m_state.leading) + " TL");
    return streamstart;
}

void PdfDocument::endpage(std::int64_t streamstart)
{
    writeline("ET");
    const std::int64_t streamEnd = m_state.pos;
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
    const std::int64_t xrefStart = m_state.pos;
    writeXref();
    writeTrailer(xrefStart);
}

void PdfDocument::writeCatalog()
{
    setOffset(m_state.catalogobj);
    writeline(objectLine(m_state.catalogobj));
    writeline("<<");
    writeline("/Type /Catalog");
    writeline("/Pages " + reference(m_state.pagesobj));
    writeline(">>");
    writeline("endobj");
}

void PdfDocument::writePagesTree()
{
    setOffset(m_state.pagesobj);
    writeline(objectLine(m_state.pagesobj));
    writeline("<<");
    writeline("/Type /Pages");
    writeline("/Count " + formatInteger(m_state.pagecount));
    writeline("/MediaBox [ 0 0 " + formatInteger(m_state.pagewidth) + " " + formatInteger(m_state.pageheight) + " ]");
    // One reference per page: with many pages the line is long, so it goes out piece by piece.
    m_state.buffer.append("/Kids [ ");
    countPending(8, false);
    m_state.kids.forEach([this](std::int64_t page) {
        const std::string kid = reference(static_cast<std::int32_t>(page)) + " ";
        m_state.buffer.append(kid);
        countPending(kid.size(), false);
    });
    writeline("]");
    writeline(">>");
    writeline("endobj");
}

void PdfDocument::writeXref()
{
    writeline("xref");
    writeline("0 " + formatInteger(m_state.objcount + 1));
    writeline("0000000000 65535 f ");
    std::int32_t object = 0;
    m_state.offsets.forEach([&](std::int64_t offset) {
        if (object > 0 && object <= m_state.objcount)
            writeline(formatOffset(offset) + " 00000 n ");
        ++object;
    });
}

void PdfDocument::writeTrailer(std::int64_t xrefStart)
{
    writeline("trailer");
    writeline("<<");
    writeline("/Size " + formatInteger(m_state.objcount + 1));
    writeline("/Root " + reference(m_state.catalogobj));
    writeline("/Info " + reference(m_state.infoobj));
    writeline(">>");
    writeline("startxref");
    writeline(formatInteger(xrefStart));
    writeline("%%EOF", /*flush*/ true);
}

} // namespace quorvale
