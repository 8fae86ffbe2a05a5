#include "bytesink.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace quorvale {

namespace {

[[noreturn]] void fail(int error, const std::string& what)
{
    throw std::system_error(error, std::generic_category(), what);
}

} // namespace

FileSink::FileSink(std::string path) : m_path(std::move(path)), m_file(m_path) {}

void FileSink::append(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_file.descriptor(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            fail(written < 0 ? errno : EIO, "Cannot write '" + m_path + "'");
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void FileSink::close()
{
    m_file.commit();
}

void MemorySink::append(std::string_view bytes)
{
    m_bytes.append(bytes);
    ++m_appendCount;
}

} // namespace quorvale
