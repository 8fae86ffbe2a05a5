// Places where no file can be written, for root too, so every writer's failure path is tested
// with the same faults: a path through a regular file, a directory in the file's place, a
// missing folder, and a full device.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvale::test {

struct UnwritablePlace {
    // On a full device the file opens and the writing fails; everywhere else the opening fails.
    enum class Kind { ThroughFile, Directory, MissingFolder, FullDevice };
    Kind kind;
    std::string path;
    std::string reason; // what strerror says
};

// Made inside folder; /dev/full only where the system has it.
std::vector<UnwritablePlace> unwritablePlaces(const std::string& folder);

// The place is as it was: the directory there and empty, the device a device, nothing at the other paths.
::testing::AssertionResult leftAlone(const UnwritablePlace& place);

} // namespace quorvale::test
