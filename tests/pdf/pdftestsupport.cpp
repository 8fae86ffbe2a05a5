#include "pdftestsupport.h"

namespace quorvale::test {

const std::vector<Capacity>& capacityTable()
{
    static const std::vector<Capacity> table = {
        {8, "9.6", 75, 98, 115, 153, 168, 189, 252, 277},  {10, "12", 60, 78, 92, 122, 135, 151, 202, 222},
        {12, "14.4", 50, 65, 76, 102, 112, 126, 168, 185}, {14, "16.8", 43, 56, 66, 87, 96, 108, 144, 158},
        {16, "19.2", 38, 49, 57, 76, 84, 94, 126, 139},    {18, "21.6", 33, 43, 51, 68, 75, 84, 112, 123},
        {20, "24", 30, 39, 46, 61, 67, 76, 101, 111},
    };
    return table;
}

} // namespace quorvale::test
