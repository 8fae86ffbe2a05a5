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

// Opens the file for appending, writes and closes it again for every chunk, so the file is
// open only while a chunk is written.
class FileSink final : public ByteSink {
public:
    explicit FileSink(std::string path);
    void append(std::string_view bytes) override;
    // Removes what this sink wrote, after a failed conversion.
    void discard() noexcept;

private:
    std::string m_path;
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
