#include "linereader.h"

#include "result.h"
#include "utf8decoder.h"
#include "writeall.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace quorvale {

namespace {

constexpr std::size_t ReadSize = 64 * 1024;
constexpr std::size_t MaxCarried = 3; // the start of a UTF-8 sequence cut by a block's end

std::int64_t countFormFeeds(std::string_view text)
{
    std::int64_t count = 0;
    const char* end = text.data() + text.size();
    for (const char* at = text.data(); (at = static_cast<const char*>(std::memchr(at, '\f', end - at))); ++at)
        ++count;
    return count;
}

} // namespace

std::string notRegularFile(const std::string& path)
{
    return "File '" + path + "' is not a regular file.";
}

LineReader::LineReader(const std::string& path, const ReadingOptions& options, WideCharacters* wide)
    : m_anyLineEnd(options.lineEnds == ReadingOptions::LineEnds::Any), m_buffer(ReadSize + MaxCarried)
{
    if (options.standardStreams && path == "-") {
        m_name = "standard input";
        m_file = STDIN_FILENO;
        if (::lseek(m_file, 0, SEEK_CUR) < 0)
            keepStandardInput();
    } else {
        m_name = "'" + path + "'";
        // Without O_NONBLOCK, opening a named pipe would wait for a writer before the check below.
        m_file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (m_file < 0)
            ThrowSystemError(errno, "Cannot open " + m_name + " for reading");
        m_ownsFile = true;
        struct stat status {};
        const bool regular = ::fstat(m_file, &status) == 0 && S_ISREG(status.st_mode);
        if (!regular) {
            closeFile();
            throw std::invalid_argument(notRegularFile(path));
        }
    }
    try {
        const bool utf8 =
            options.encoding == ReadingOptions::Encoding::Utf8 ||
            (options.encoding == ReadingOptions::Encoding::Windows1252OrMarkedUtf8 && opensWithByteOrderMark());
        if (utf8 && wide != nullptr)
            wholeTextIsUtf8(wide, /*toTheEnd*/ true);
        m_utf8 = utf8 || (options.encoding == ReadingOptions::Encoding::Auto && wholeTextIsUtf8(wide, false));
        if (wide != nullptr)
            wide->checked(m_utf8);
        m_wide = m_utf8 ? wide : nullptr;
    } catch (...) {
        closeFile();
        throw;
    }
}

LineReader::~LineReader()
{
    closeFile();
}

void LineReader::closeFile() noexcept
{
    if (m_ownsFile)
        ::close(m_file);
    m_ownsFile = false;
}

void LineReader::keepStandardInput()
{
    const char* folder = std::getenv("TMPDIR");
    if (folder == nullptr || *folder == '\0')
        folder = "/tmp";
    int file = ::open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (file < 0) { // a file system without unnamed files
        std::string name = std::string(folder) + "/quorvale-stdin-XXXXXX";
        file = ::mkostemp(name.data(), O_CLOEXEC);
        if (file >= 0)
            ::unlink(name.c_str());
    }
    if (file < 0)
        ThrowSystemError(errno, "Cannot keep standard input in a temporary file in '" + std::string(folder) + "'");
    m_file = file;
    m_ownsFile = true;
    try {
        while (true) {
            const ssize_t got = ::read(STDIN_FILENO, m_buffer.data(), ReadSize);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                ThrowSystemError(errno, "Cannot read standard input");
            if (got == 0)
                break;
            if (const int error = WriteAll(file, std::string_view(m_buffer.data(), static_cast<std::size_t>(got))))
                ThrowSystemError(error,
                                 "Cannot keep standard input in a temporary file in '" + std::string(folder) + "'");
        }
        if (::lseek(file, 0, SEEK_SET) < 0)
            ThrowSystemError(errno, "Cannot read standard input");
    } catch (...) {
        closeFile();
        throw;
    }
}

bool LineReader::opensWithByteOrderMark()
{
    const off_t start = ::lseek(m_file, 0, SEEK_CUR);
    std::array<char, 3> opening{};
    ssize_t got = -1;
    do
        got = ::pread(m_file, opening.data(), opening.size(), start);
    while (got < 0 && errno == EINTR);
    if (start < 0 || got < 0)
        ThrowSystemError(errno, "Cannot read " + m_name);
    return got == 3 && std::memcmp(opening.data(), "\xEF\xBB\xBF", 3) == 0;
}

bool LineReader::wholeTextIsUtf8(WideCharacters* wide, bool toTheEnd)
{
    const off_t start = ::lseek(m_file, 0, SEEK_CUR);
    if (start < 0)
        ThrowSystemError(errno, "Cannot read " + m_name);
    std::size_t carried = 0;
    bool valid = true;
    bool first = true;
    while (valid || toTheEnd) {
        const std::size_t got = readBlock(m_buffer.data() + carried, ReadSize);
        const bool last = got < ReadSize;
        // A byte-order mark opening the text is not shown, so it is not seen.
        const std::size_t mark = first && got >= 3 && std::memcmp(m_buffer.data(), "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
        first = false;
        const Utf8Check check = checkUtf8(m_buffer.data() + mark, carried + got - mark, last, wide);
        valid = valid && check.valid;
        if (last)
            break;
        const std::size_t consumed = mark + check.consumed;
        carried = carried + got - consumed;
        std::memmove(m_buffer.data(), m_buffer.data() + consumed, carried);
    }
    if (::lseek(m_file, start, SEEK_SET) < 0)
        ThrowSystemError(errno, "Cannot read " + m_name);
    return valid;
}

std::size_t LineReader::readBlock(char* into, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(m_file, into + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ThrowSystemError(errno, "Cannot read " + m_name);
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool LineReader::fill()
{
    m_blockOffset += static_cast<std::int64_t>(m_end);
    const std::size_t carried = m_rawEnd - m_undecoded;
    std::memmove(m_buffer.data(), m_buffer.data() + m_undecoded, carried);
    const std::size_t got = m_atEof ? 0 : readBlock(m_buffer.data() + carried, ReadSize);
    m_atEof = got < ReadSize;
    const std::size_t size = carried + got;
    m_begin = 0;
    for (NextByte* next : {&m_cr, &m_lf, &m_formFeed, &m_tab})
        next->searched = false;
    if (!m_utf8) {
        m_end = m_undecoded = m_rawEnd = size;
        return size > 0;
    }
    const std::size_t start = m_atStart && size >= 3 && std::memcmp(m_buffer.data(), "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    m_atStart = false;
    const Utf8Block block = decodeUtf8(m_buffer.data() + start, size - start, m_buffer.data(), m_atEof, m_wide);
    m_end = block.written;
    m_undecoded = start + block.consumed;
    m_rawEnd = size;
    if (block.replaced > 0) {
        if (m_summary.replaced == 0)
            m_firstReplaced = m_blockOffset + static_cast<std::int64_t>(block.firstReplaced);
        m_summary.replaced += block.replaced;
    }
    return m_end > 0 || !m_atEof;
}

std::size_t LineReader::search(NextByte& next)
{
    const auto* found = static_cast<const char*>(std::memchr(m_buffer.data() + m_begin, next.byte, m_end - m_begin));
    next.at = found ? static_cast<std::size_t>(found - m_buffer.data()) : m_end;
    next.searched = true;
    return next.at;
}

std::size_t LineReader::lineEnd()
{
    return m_anyLineEnd ? std::min(nextOf(m_cr), nextOf(m_lf)) : nextOf(m_cr);
}

bool LineReader::next(Piece& piece)
{
    while (true) {
        if (m_begin == m_end) {
            if (fill())
                continue;
            if (!m_inLine)
                return false;
            m_inLine = false; // a last line without an end, read in pieces
            piece = Piece{{}, false, true, 0};
            return true;
        }
        if (!m_skipLf)
            break;
        m_skipLf = false;
        if (m_buffer[m_begin] == '\n')
            ++m_begin;
    }
    const std::size_t end = lineEnd();
    piece.text = std::string_view(m_buffer.data() + m_begin, end - m_begin);
    piece.holdsTab = nextOf(m_tab) < end;
    const bool holdsFormFeed = nextOf(m_formFeed) < end;
    piece.first = !m_inLine;
    piece.last = end < m_end;
    if (piece.first) {
        ++m_lineNumber;
        m_lineStart = m_blockOffset + static_cast<std::int64_t>(m_begin);
    }
    if (m_firstReplaced >= 0 && m_summary.firstLine == 0 &&
        m_firstReplaced < m_blockOffset + static_cast<std::int64_t>(end)) {
        m_summary.firstLine = m_lineNumber;
        m_summary.firstColumn = m_firstReplaced - m_lineStart + 1;
    }
    m_inLine = !piece.last;
    m_begin = piece.last ? end + 1 : m_end;
    if (piece.last && m_buffer[end] == '\r') {
        if (m_begin == m_end)
            m_skipLf = true;
        else if (m_buffer[m_begin] == '\n')
            ++m_begin;
    }
    if (piece.first) {
        piece.formFeeds = holdsFormFeed ? countFormFeeds(piece.text) : 0;
        if (!piece.last)
            piece.formFeeds += formFeedsAhead();
    }
    return true;
}

std::int64_t LineReader::formFeedsAhead()
{
    // Bytes not yet read are raw; form feeds and line ends are the same bytes in both encodings.
    off_t at = ::lseek(m_file, 0, SEEK_CUR);
    if (at < 0)
        ThrowSystemError(errno, "Cannot read " + m_name);
    // A few kilobytes at a time: the line mostly ends within the first, and a whole block copied
    // at every block's edge would read the text twice over.
    constexpr std::size_t AheadStep = 4096;
    m_ahead.resize(AheadStep);
    std::int64_t count = 0;
    while (true) {
        const ssize_t got = ::pread(m_file, m_ahead.data(), AheadStep, at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ThrowSystemError(errno, "Cannot read " + m_name);
        for (ssize_t i = 0; i < got; ++i) {
            if (m_ahead[static_cast<std::size_t>(i)] == '\f')
                ++count;
            else if (endsLine(m_ahead[static_cast<std::size_t>(i)]))
                return count;
        }
        if (got == 0)
            return count;
        at += got;
    }
}

} // namespace quorvale
