// Where this copy keeps its data sheet, decided once when it starts: the data sheet, the one-copy
// lock and every message about them use that one folder.
#pragma once

#include "result.h"

#include <string>

namespace quorvale {

struct DataSheetFolder {
    std::string path;    // the folder; when none could be used, the last one tried
    Result usable;       // why none could be used
    bool shared = false; // others may write in it too
};

// The program's folder where the user may write there, as for a copy run from a folder of its
// own (shared when another user owns it or may write in it); where the system refuses it (an
// installed program), the user's own folder below.
DataSheetFolder ChooseDataSheetFolder(const std::string& programFolder, const char* runtimeDir, const char* cacheHome,
                                      const char* home);

// The user's own folder for the data sheet: $XDG_RUNTIME_DIR/quorvale where the runtime folder
// is the user's and writable, else $XDG_CACHE_HOME/quorvale or $HOME/.cache/quorvale. The folder
// is made with mode 0700 where missing, never through a symbolic link, and used only when it is a
// folder of the user's own, closed to everyone else. The arguments are the variables' values,
// null when unset; a value that is not an absolute path is ignored.
DataSheetFolder UserDataSheetFolder(const char* runtimeDir, const char* cacheHome, const char* home);

// The data sheet's path for the user: "tempchart.txt" in a folder of the user's own, and
// "tempchart-UID.txt" in a shared one, so that no user's copy reads, replaces or removes another's.
std::string DataSheetPathFor(const DataSheetFolder& folder, unsigned user);

} // namespace quorvale
