// The document layer: the buffered line writer and the objects that frame the pages.
#pragma once

#include "bytesink.h"
#include "documentinformation.h"
#include "numberlist.h"
#include "pagesetup.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale {

// Largest byte offset the ten-digit cross-reference entries can hold.
inline constexpr std::int64_t MaxDocumentBytes = 9'999'999'999;

// Pending bytes go to the sink once there are more than this many. Measured on 100 MB of text,
// chunks of 128 KiB convert about a tenth faster than chunks of 32000 bytes; larger ones gain little
// more and cost memory.
inline constexpr std::size_t ChunkSize = 128 * 1024;

// Writes the lines of one document front to back; lines end in a lone CR. Failures throw. The
// document alone keeps its object numbers, offsets, pages and pending bytes.
class PdfDocument {
public:
    // maxBytes bounds the document's size; past it a write throws std::length_error.
    PdfDocument(ByteSink& sink, const PageGeometry& geometry, const DocumentInformation& information,
                std::int64_t maxBytes = MaxDocumentBytes);

    // Appends the line and its CR; the pending bytes go to the sink once they pass ChunkSize, or at flush.
    void writeline(std::string_view line, bool flush = false);
    // A text row "T* (" + text + CR LF + ") Tj"; the text must already be escaped.
    void writeRow(std::string_view text);
    // Escapes the text straight into the pending bytes as one row, when the escaped text has at most
    // maxchars characters; otherwise writes nothing and returns false.
    bool writeRowIfItFits(std::string_view text, std::size_t maxchars);

    void startpdf();
    // The information dictionary and the font, encoding and resources objects; allocates 2 and 3.
    // The resources name embeddedFonts more fonts, /F2 onwards, whose objects are written later.
    void writeinfo(const std::string& timestamp, std::size_t embeddedFonts = 0);
    // The object number writeinfo reserved for the embedded font /F(index + 2).
    std::int32_t embeddedFontObject(std::size_t index) const { return m_fontobjs.at(index); }
    // A number for an object written later.
    std::int32_t reserveObject() { return ++m_objcount; }
    // Writes a reserved object: its lines between "obj" and "endobj".
    void writeObject(std::int32_t object, const std::vector<std::string>& lines);
    // Writes a reserved stream object: its dictionary's entries besides /Length, then the bytes.
    void writeStreamObject(std::int32_t object, const std::vector<std::string>& entries, std::string_view bytes);
    // Begins a page and its content stream; returns the offset of the stream's first byte.
    std::int64_t startpage();
    void endpage(std::int64_t streamstart);
    // The catalog, pages tree, cross-reference table and trailer; empties the buffer.
    void endpdf();

    // Pages begun so far: during a page, its number.
    std::int32_t pagecount() const { return m_pagecount; }
    // Bytes written so far, pending ones included: the offset of the next line.
    std::int64_t position() const { return m_pos; }
    // Bytes not yet handed to the sink.
    std::size_t pendingBytes() const { return m_buffer.size(); }

private:
    // The parts of writeinfo and endpdf, each a structure of its own.
    void writeInfoDictionary(const std::string& timestamp);
    void writeFixedObjects(std::size_t embeddedFonts);
    void openObject(std::int32_t object, const std::vector<std::string>& lines);
    void writeCatalog();
    void writePagesTree();
    void writeXref();
    void writeTrailer(std::int64_t xrefStart);

    // Appends the line end, counts the line and hands full chunks to the sink.
    void endLine(std::size_t length, bool flush, std::string_view lineEnd);
    // Counts bytes just added to the buffer; hands the buffer to the sink once it passes the chunk
    // size, or at flush.
    void countPending(std::size_t added, bool flush);
    std::int32_t beginObject();
    void setOffset(std::int32_t object);

    ByteSink& m_sink;
    const PageGeometry& m_geometry;
    const DocumentInformation& m_information;
    const std::int64_t m_maxBytes;

    std::int64_t m_pos = 0;
    std::string m_buffer;
    std::int32_t m_objcount = 0;
    std::int32_t m_pagecount = 0;
    NumberList m_offsets; // m_offsets[n] is where object n begins; [0] is unused
    NumberList m_kids;    // the page object of each page, in order
    std::int32_t m_infoobj = 0;
    std::int32_t m_catalogobj = 0;
    std::int32_t m_pagesobj = 0;
    std::int32_t m_encodingobj = 0;
    std::int32_t m_resourcesobj = 0;
    std::vector<std::int32_t> m_fontobjs;
};

} // namespace quorvale
