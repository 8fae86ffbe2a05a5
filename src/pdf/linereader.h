// Reads text as pieces of lines through a fixed buffer, whatever the length of a line: decodes
// UTF-8 into Windows-1252 when asked and splits lines at the chosen ends.
#pragma once

#include "readingoptions.h"
#include "utf8decoder.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale {

// The message for a path that names a folder, a named pipe, a device or a socket.
std::string notRegularFile(const std::string& path);

class LineReader {
public:
    struct Piece {
        std::string_view text;
        bool first = false;         // the piece begins a line
        bool last = false;          // the piece ends its line
        std::int64_t formFeeds = 0; // on a line's first piece, the form feeds of the whole line
        bool holdsTab = false;
    };

    // Opens the text; "-" reads standard input when the options allow it. Standard input that
    // cannot seek is kept in an unnamed temporary file first, so that the encoding can be chosen
    // from the whole text and a long line scanned ahead. Throws std::system_error with the reason
    // on failure, std::invalid_argument when the path names something other than a regular file.
    // With wide, text read as UTF-8 is checked ahead whole, wide seeing every character that
    // Windows-1252 lacks, and decoding asks wide to show each of them.
    LineReader(const std::string& path, const ReadingOptions& options = {}, WideCharacters* wide = nullptr);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next piece; false at the end. A line that fits the buffer comes whole, a longer one in
    // pieces; a last line without an end counts. The view stays valid until the next call.
    // Throws std::system_error on a read failure.
    bool next(Piece& piece);
    const ReadingSummary& summary() const { return m_summary; }

private:
    void keepStandardInput();
    void closeFile() noexcept;
    bool opensWithByteOrderMark();
    bool wholeTextIsUtf8(WideCharacters* wide, bool toTheEnd);
    bool fill();
    std::size_t readBlock(char* into, std::size_t size);
    // Where a byte next occurs in the buffer, searched once per block rather than once per line.
    struct NextByte {
        char byte;
        bool searched = false;
        std::size_t at = 0;
    };
    std::size_t nextOf(NextByte& next) { return next.searched && next.at >= m_begin ? next.at : search(next); }
    std::size_t search(NextByte& next);
    std::size_t lineEnd();
    bool endsLine(char byte) const { return byte == '\r' || (byte == '\n' && m_anyLineEnd); }
    std::int64_t formFeedsAhead();

    std::string m_name; // as messages show it
    int m_file = -1;
    bool m_ownsFile = false;
    bool m_anyLineEnd;
    bool m_utf8 = false;
    WideCharacters* m_wide = nullptr;

    // Decoded text is [m_begin, m_end); raw bytes [m_undecoded, m_rawEnd) wait for the next block.
    std::vector<char> m_buffer;
    std::vector<char> m_ahead;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    std::size_t m_undecoded = 0;
    std::size_t m_rawEnd = 0;
    bool m_atStart = true;
    bool m_atEof = false;
    bool m_inLine = false;
    bool m_skipLf = false; // a CR ended the last block: a LF opening the next one belongs to it
    NextByte m_cr{'\r'};
    NextByte m_lf{'\n'};
    NextByte m_formFeed{'\f'};
    NextByte m_tab{'\t'};

    std::int64_t m_blockOffset = 0; // characters before the buffer's first one
    std::int64_t m_lineStart = 0;
    std::int64_t m_lineNumber = 0;
    std::int64_t m_firstReplaced = -1;
    ReadingSummary m_summary;
};

} // namespace quorvale
