#include "bytesink.h"

#include "result.h"
#include "writeall.h"

namespace quorvale {

FileSink::FileSink(std::string path) : m_path(std::move(path)), m_file(m_path) {}

void FileSink::append(std::string_view bytes)
{
    if (const int error = WriteAll(m_file.descriptor(), bytes))
        ThrowSystemError(error, "Cannot write '" + m_path + "'");
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
