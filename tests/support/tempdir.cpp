#include "tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quorvale::test {

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string pattern = ::testing::TempDir() + "quorvale-test-XXXXXX";
    if (mkdtemp(pattern.data()))
        m_path = pattern;
    else
        ADD_FAILURE() << "cannot make a temporary folder from " << pattern;
}

TempDir::~TempDir()
{
    if (m_path.empty())
        return;
    // A test may have locked a folder inside; give the owner its rights back so it can be emptied.
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(m_path, error); !error && it != fs::end(it); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
    fs::remove_all(m_path, error);
    if (error)
        ADD_FAILURE() << "cannot remove the temporary folder " << m_path << ": " << error.message();
}

} // namespace quorvale::test
