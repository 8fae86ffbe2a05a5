// A folder of the user's alone: made with mode 0700 where missing, never reached through a symbolic
// link, and used only when it and the folder above it belong to the user, so that nobody else can
// read what is in it or put a file or a link there. Its files are the user's alone too.
#pragma once

#include "result.h"

#include <string>

namespace quorvale {

// Makes folder (a child of parent) where missing and checks that both are the user's; a folder of
// the user's with a wider mode is closed to mode 0700.
Result MakePrivateFolder(const std::string& parent, const std::string& folder);

// Makes the file, empty, where missing, and checks that it is the user's regular file: mode 0600
// (a wider one is narrowed), never reached through a link.
Result MakePrivateFile(const std::string& path);

// The file's bytes; fails when it is missing, a symbolic link, not a regular file or not the user's.
Result ReadPrivateFile(const std::string& path, std::string& bytes);

// Replaces the file with a complete copy of bytes, mode 0600, synced before it is renamed in place: a
// failed write leaves the older file as it was, and a link at the path is replaced, never followed.
Result WritePrivateFile(const std::string& path, const std::string& bytes);

} // namespace quorvale
