// Where the PDF bytes go: a file appended to chunk by chunk, or memory for tests.
#pragma once

#include <string>
#include <string_view>

namespace quorvale {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Appends the bytes exactly as given; throws std::system_error with the reason on failure.
    virtual void append(std::string_view bytes) = 0;
};

// Creates the file at the first chunk and keeps it open for appending until close(): opening and
// closing it again for every chunk costs more system calls than the chunk's write itself.
class FileSink final : public ByteSink {
public:
    explicit FileSink(std::string path);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void append(std::string_view bytes) override;
    // Closes the file after the last chunk; throws std::system_error with the reason on failure.
    void close();
    // Closes and removes what this sink wrote, after a failed conversion.
    void discard() noexcept;

private:
    std::string m_path;
    int m_file = -1;
    bool m_touched = false;
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
