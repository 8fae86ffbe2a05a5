#include "bytesink.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace quorvale {

FileSink::FileSink(std::string path) : m_path(std::move(path)) {}

void FileSink::append(std::string_view bytes)
{
    std::FILE* file = std::fopen(m_path.c_str(), "ab");
    if (!file)
        throw std::system_error(errno, std::generic_category(), "Cannot open '" + m_path + "' for writing");
    m_touched = true;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = written ? 0 : errno;
    if (std::fclose(file) != 0 && error == 0)
        error = errno;
    if (!written || error != 0)
        throw std::system_error(error != 0 ? error : EIO, std::generic_category(), "Cannot write '" + m_path + "'");
}

void FileSink::discard() noexcept
{
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
