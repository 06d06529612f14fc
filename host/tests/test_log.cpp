#include <gtest/gtest.h>

#include <limits.h>
#include <string>

#include "exact.h"
#include "log/log_text.h"

struct StampCase {
    int year, month, day, hour, minute, second;
    std::string text;
};

TEST(FormatLogStamp, ExtremeFields)
{
    const StampCase cases[] = {
        {0, 0, 0, 0, 0, 0, "0/00/00 00:00:00  "},
        {10000, 12, 31, 23, 59, 59, "10000/12/31 23:59:59  "},
        {2008, -1, 7, 14, 5, 9, "2008/-1/07 14:05:09  "},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX,
         "2147483647/2147483647/2147483647 2147483647:2147483647:2147483647  "},
        {INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN,
         "-2147483648/-2147483648/-2147483648 -2147483648:-2147483648:-2147483648  "},
    };

    for (const StampCase& c : cases) {
        Buffer out = Filled(1024, 'X');
        int length = FormatLogStamp(out.get(), c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_EQ(length, (int)c.text.size()) << c.text;
        EXPECT_EQ(std::string(out.get()), c.text);
    }
}
