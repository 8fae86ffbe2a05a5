// Shared by the PDF tests: the capacities of every choice the output window offers, and the
// helpers from tests/support they all use.
#pragma once

#include "pdfcheck.h"
#include "tempdir.h"
#include "testfiles.h"

#include <cstdint>
#include <vector>

namespace quorvale::test {

struct Capacity {
    std::int16_t size;
    const char* leading;
    int lines792, lines1008;
    int courier612, arial612, other612, courier1008, arial1008, other1008;
};
const std::vector<Capacity>& capacityTable();

} // namespace quorvale::test
