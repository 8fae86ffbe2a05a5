// A fresh empty folder for one test, removed with everything in it when the test is done.
#pragma once

#include <string>

namespace quorvale::test {

class TempDir final {
public:
    // Made under the folder the environment names for temporary files (TMPDIR, else /tmp).
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace quorvale::test
