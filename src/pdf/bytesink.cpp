#include "bytesink.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace quorvale {

namespace {

[[noreturn]] void fail(int error, const std::string& what)
{
    throw std::system_error(error, std::generic_category(), what);
}

} // namespace

FileSink::FileSink(std::string path) : m_path(std::move(path)) {}

FileSink::~FileSink()
{
    if (m_file >= 0)
        ::close(m_file);
}

void FileSink::append(std::string_view bytes)
{
    if (m_file < 0) {
        m_file = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        if (m_file < 0)
            fail(errno, "Cannot open '" + m_path + "' for writing");
        m_touched = true;
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_file, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            fail(written < 0 ? errno : EIO, "Cannot write '" + m_path + "'");
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void FileSink::close()
{
    const int file = m_file;
    m_file = -1;
    if (file >= 0 && ::close(file) != 0)
        fail(errno, "Cannot write '" + m_path + "'");
}

void FileSink::discard() noexcept
{
    if (m_file >= 0) {
        ::close(m_file);
        m_file = -1;
    }
    if (!m_touched)
        return;
    std::error_code ignored;
    if (std::filesystem::is_regular_file(m_path, ignored))
        std::filesystem::remove(m_path, ignored);
}

void MemorySink::append(std::string_view bytes)
{
    m_bytes.append(bytes);
    ++m_appendCount;
}

} // namespace quorvale
