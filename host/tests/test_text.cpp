#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exact.h"
#include "text/text.h"

// A token and the offsets at which its characters begin and it ends: at a
// capacity c, out must hold the token up to the last such offset below c.
struct CutCase {
    const char* name;
    std::string src;
    const char* delim;
    int delimLen;
    int result;
    std::vector<int> bounds;
};

static std::string Repeat(const std::string& piece, int times)
{
    std::string s;
    for (int i = 0; i < times; i++) {
        s += piece;
    }
    return s;
}

static std::vector<int> Steps(int from, int to, int step)
{
    std::vector<int> v;
    for (int i = from; i <= to; i += step) {
        v.push_back(i);
    }
    return v;
}

TEST(GetToken, CutAtEveryCapacity)
{
    const CutCase cases[] = {
        {"mixed, lead byte before the terminator", "a\x82\xA0" "b\x95\x5C" "c\x81", ",", 1, 8, {0, 1, 3, 4, 6, 7, 8}},
        {"double-byte before the delimiter", "\x82\xA0\x82\xA2" "x,\x82\xA4", ",", 1, 5, {0, 2, 4, 5}},
        {"double-byte before CR LF", "a\x83\x76\r\nb", ",", 1, 3, {0, 1, 3}},
        {"trail byte 2C is no delimiter", "\x81\x2C" "a,b", ",", 1, 3, {0, 2, 3}},
        {"lead byte takes the CR of CR LF", "\x81\r\nz", ",", 1, 4, {0, 2, 3, 4}},
        {"two-byte delimiter", "\x81\x40" "ab\x81\x46" "c", "\x81\x46", 2, 4, {0, 2, 3, 4}},
        {"lone CR at the end", "ab\r", ",", 1, 3, {0, 1, 2, 3}},
        {"forty bytes of double-byte characters", Repeat("\x82\xA0", 20), ":", 1, 40, Steps(0, 40, 2)},
    };

    for (const CutCase& c : cases) {
        Buffer src = ExactText(c.src);
        for (int capacity = 1; capacity <= c.result + 2; capacity++) {
            int want = 0;
            for (int b : c.bounds) {
                if (b <= capacity - 1) {
                    want = b;
                }
            }
            Buffer out = Filled((size_t)capacity, 'X');
            int result = GetToken(out.get(), src.get(), c.delim, c.delimLen, capacity);
            EXPECT_EQ(result, c.result) << c.name << ", capacity " << capacity;
            EXPECT_EQ(std::string(out.get()), c.src.substr(0, (size_t)want)) << c.name << ", capacity " << capacity;
        }
    }
}

struct FindCase {
    const char* name;
    std::string buf;
    std::string pat;
    int result;
};

TEST(FindStr, StaysWithinBothBuffers)
{
    const FindCase cases[] = {
        {"pattern at the very end", "xxhttp=", "http=", 2},
        {"pattern's start at the end", "xxxhttp", "http=", -1},
        {"buffer shorter than the pattern", "http", "http=", -1},
        {"empty buffer", "", "http=", -1},
        {"empty pattern, empty buffer", "", "", 0},
        {"buffer equal to the pattern", "http=", "http=", 0},
        {"match starting on a trail byte", "\x82" "http=", "http=", 1},
    };

    for (const FindCase& c : cases) {
        // Neither buffer carries a terminator: FindStr must keep to the lengths.
        Buffer buf = ExactBytes(c.buf);
        Buffer pat = ExactBytes(c.pat);
        EXPECT_EQ(FindStr(buf.get(), (int)c.buf.size(), pat.get(), (int)c.pat.size()), c.result) << c.name;
    }
}

TEST(FindStr, NegativeLengthsFindNothing)
{
    EXPECT_EQ(FindStr("abc", 3, "a", -1), -1);
    EXPECT_EQ(FindStr("abc", -1, "", 0), -1);
}
