// Where the PDF bytes go: a file appended to chunk by chunk, or memory for tests.
#pragma once

#include "replacefile.h"

#include <string>
#include <string_view>

namespace quorvale {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Appends the bytes exactly as given; throws std::system_error with the reason on failure.
    virtual void append(std::string_view bytes) = 0;
};

// Writes the document beside the output file and puts it in place only when close() has seen it
// complete, so the older file stays whole after any failure. The file stays open for appending:
// opening and closing it again for every chunk costs more system calls than the chunk's write.
class FileSink final : public ByteSink {
public:
    // Creates the file that will replace path; throws what ReplacementFile throws.
    explicit FileSink(std::string path);

    void append(std::string_view bytes) override;
    // Puts the complete document in place; throws std::system_error with the reason on failure.
    // Without close(), destroying the sink leaves the older file as it was.
    void close();

private:
    std::string m_path;
    ReplacementFile m_file;
};

class MemorySink final : public ByteSink {
public:
    void append(std::string_view bytes) override;
    const std::string& bytes() const { return m_bytes; }
    int appendCount() const { return m_appendCount; }

private:
    std::string m_bytes;
    int m_appendCount = 0;
};

} // namespace quorvale
