// Reads a text file line by line through a fixed buffer; a line ends at CR or CR LF.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale {

class LineReader {
public:
    // Throws std::system_error with the reason when the file cannot be opened.
    explicit LineReader(std::string path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line without its end, into line; false at the end of the file. A lone LF is an
    // ordinary character; a last line without an end counts. The view stays valid until the next
    // call. Throws std::system_error on a read failure.
    bool next(std::string_view& line);

private:
    bool fill();

    std::string m_path;
    std::FILE* m_file = nullptr;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    std::string m_spanning; // a line that runs over the buffer's edge, gathered piece by piece
};

} // namespace quorvale
