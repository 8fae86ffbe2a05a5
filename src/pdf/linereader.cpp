#include "linereader.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace quorvale {

namespace {
constexpr std::size_t ReadSize = 64 * 1024;
}

LineReader::LineReader(std::string path) : m_path(std::move(path)), m_buffer(ReadSize)
{
    m_file = std::fopen(m_path.c_str(), "rb");
    if (!m_file)
        throw std::system_error(errno, std::generic_category(), "Cannot open '" + m_path + "' for reading");
}

LineReader::~LineReader() { std::fclose(m_file); }

bool LineReader::fill()
{
    m_begin = 0;
    m_end = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
    if (m_end == 0 && std::ferror(m_file))
        throw std::system_error(errno != 0 ? errno : EIO, std::generic_category(), "Cannot read '" + m_path + "'");
    return m_end > 0;
}

bool LineReader::next(std::string_view& line)
{
    // Most lines lie inside the buffer and are handed out in place, without a copy.
    m_spanning.clear();
    bool readSomething = false;
    while (m_begin < m_end || fill()) {
        readSomething = true;
        const char* begin = m_buffer.data() + m_begin;
        const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', m_end - m_begin));
        if (!cr) {
            m_spanning.append(begin, m_end - m_begin);
            m_begin = m_end;
            continue;
        }
        const auto length = static_cast<std::size_t>(cr - begin);
        m_begin += length + 1;
        if (m_spanning.empty() && m_begin < m_end) {
            line = std::string_view(begin, length);
        } else {
            m_spanning.append(begin, length); // before a refill overwrites the buffer
            line = m_spanning;
        }
        if ((m_begin < m_end || fill()) && m_buffer[m_begin] == '\n')
            ++m_begin;
        return true;
    }
    line = m_spanning;
    return readSomething;
}

} // namespace quorvale
