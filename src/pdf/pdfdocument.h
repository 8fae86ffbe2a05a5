// The document layer: the buffered line writer and the objects that frame the pages.
#pragma once

#include "bytesink.h"
#include "pdfwriterstate.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvale {

// Largest byte offset the ten-digit cross-reference entries can hold.
inline constexpr std::int64_t MaxDocumentBytes = 9'999'999'999;

// Pending bytes go to the sink once there are more than this many. Measured on 100 MB of text,
// chunks of 128 KiB convert about a tenth faster than chunks of 32000 bytes; larger ones gain little
// more and cost memory.
inline constexpr std::size_t ChunkSize = 128 * 1024;

// Writes the lines of one document front to back; lines end in a lone CR. Failures throw.
class PdfDocument {
public:
    PdfDocument(PdfWriterState& state, ByteSink& sink);

    // Appends the line and its CR; the pending bytes go to the sink once they pass ChunkSize, or at flush.
    void writeline(std::string_view line, bool flush = false);
    // A text row "T* (" + text + CR LF + ") Tj"; the text must already be escaped.
    void writeRow(std::string_view text);
    // Escapes the text straight into the pending bytes as one row, when the escaped text has at most
    // maxchars characters; otherwise writes nothing and returns false.
    bool writeRowIfItFits(std::string_view text, std::size_t maxchars);

    void startpdf();
    // The information dictionary and the font, encoding and resources objects; allocates 2 and 3.
    void writeinfo(const std::string& timestamp);
    // Begins a page and its content stream; returns the offset of the stream's first byte.
    std::int64_t startpage();
    void endpage(std::int64_t streamstart);
    // The catalog, pages tree, cross-reference table and trailer; empties the buffer.
    void endpdf();

    // The parts of writeinfo and endpdf, each a structure of its own.
    void writeInfoDictionary(const std::string& timestamp);
    void writeFixedObjects();
    void writeCatalog();
    void writePagesTree();
    void writeXref();
    void writeTrailer(std::int64_t xrefStart);

private:
    // Appends the line end, counts the line and hands full chunks to the sink.
    void endLine(std::size_t length, bool flush, std::string_view lineEnd);
    // Counts bytes just added to the buffer; hands the buffer to the sink once it passes the chunk
    // size, or at flush.
    void countPending(std::size_t added, bool flush);
    std::int32_t beginObject();
    void setOffset(std::int32_t object);

    PdfWriterState& m_state;
    ByteSink& m_sink;
};

} // namespace quorvale
