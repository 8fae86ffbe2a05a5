// An output written beside its target and renamed over it when complete: until then the older file
// stays exactly as it was, whatever stops the writing (a failure, a signal, a crash).
#pragma once

#include "removeonsignal.h"

#include <functional>
#include <string>
#include <sys/stat.h>

namespace quorvale {

class ReplacementFile {
public:
    // Unnamed: a temporary without a name (O_TMPFILE) that nothing can leave behind, where the file
    // system offers it; Named: a hidden temporary name in the same folder.
    enum class Temporary { Unnamed, Named };

    // Creates the temporary file in the folder of target, or of the file target links to, with the
    // older file's permission bits, and its owner and group where the process may give them.
    // Throws std::system_error (EACCES for an older file the user may not write), or
    // std::runtime_error when target is a named pipe, a device or a socket.
    explicit ReplacementFile(const std::string& target, Temporary kind = Temporary::Unnamed);
    // Removes the temporary file unless commit() has put it in place.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    int descriptor() const { return m_file; }
    // A path through which another library can open the temporary file for writing.
    std::string path() const;
    // Flushes the new file to disk and renames it over the target; throws std::system_error.
    void commit();

private:
    // Gives the temporary a hidden name beside the target through create(name), which returns 0,
    // or -1 with errno set; a name already taken is skipped. Throws with failure on any other error.
    void takeName(const std::string& failure, const std::function<int(const char*)>& create);
    void keepOwnerAndMode(const std::string& failure);
    void release() noexcept;
    void remove() noexcept;

    std::string m_target;    // as given, for messages
    std::string m_resolved;  // the file that receives the new content
    std::string m_temporary; // the temporary's name; empty while it has none
    int m_file = -1;
    struct stat m_older {};
    bool m_keepOlder = false;
    RemoveOnSignal m_removedOnSignal;
};

} // namespace quorvale
