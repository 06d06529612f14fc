#include <gtest/gtest.h>

#include <string>

#include "text/text.h"

struct TokenCase {
    const char* name;
    std::string src;
    const char* delim;
    int delimLen;
    int capacity;
    std::string out;
    int result;
};

static const TokenCase kTokenCases[] = {
    {"empty source", "", ",", 1, 64, "", 0},
    {"starts with the delimiter", ",abc", ",", 1, 64, "", 0},
    {"no delimiter", "abc", ",", 1, 64, "abc", 3},
    {"stops at the delimiter", "ab,cd", ",", 1, 64, "ab", 2},
    {"CR LF ends the token", "ab\r\ncd", ",", 1, 64, "ab", 2},
    {"lone CR at the end is kept", "ab\r", ",", 1, 64, "ab\r", 3},
    {"CR before other is kept", "a\rb,c", ",", 1, 64, "a\rb", 3},
    {"lone LF is kept", "a\nb", ",", 1, 64, "a\nb", 3},
    {"double-byte 95 5C is not the delimiter 5C", "\x95\x5C" "a\\b", "\\", 1, 64, "\x95\x5C" "a", 3},
    {"lead byte before the terminator", "ab\x95", ",", 1, 64, "ab\x95", 3},
    {"cut at capacity 5", "0123456789", ",", 1, 5, "0123", 10},
    {"cut before a double-byte at bytes 4 and 5", "012\x82\xA0" "56789", ",", 1, 5, "012", 10},
    {"no later character after a cut", "012\x82\xA0" "5", ",", 1, 5, "012", 6},
    {"capacity 1", "abc,d", ",", 1, 1, "", 3},
    {"two-byte delimiter matches a whole character", "ab\x81\x46" "cd", "\x81\x46", 2, 64, "ab", 2},
    {"two-byte delimiter never matches single bytes", "a\x81\x46", "\x81", 2, 64, "a\x81\x46", 3},
    {"one-byte delimiter misses a trail byte", "\x81\x2C" ",x", ",", 1, 64, "\x81\x2C", 2},
    {"delimiter length 3 never matches", "a,b", ",", 3, 64, "a,b", 3},
};

TEST(GetToken, Table)
{
    for (const TokenCase& c : kTokenCases) {
        char out[64];
        memset(out, 'X', sizeof(out));
        int result = GetToken(out, c.src.c_str(), c.delim, c.delimLen, c.capacity);
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(std::string(out), c.out) << c.name;
        EXPECT_LT(strlen(out), (size_t)c.capacity) << c.name;
    }
}

TEST(GetToken, WritesNothingPastCapacity)
{
    char out[8];
    memset(out, 'X', sizeof(out));

    GetToken(out, "abcdefghij", ",", 1, 4);
    EXPECT_EQ(std::string(out, 4), std::string("abc\0", 4));
    EXPECT_EQ(std::string(out + 4, 4), "XXXX");
}

struct FindCase {
    const char* name;
    std::string buf;
    int bufLen;
    std::string pat;
    int result;
};

static const FindCase kFindCases[] = {
    {"buffer shorter than the pattern", "htt", 3, "http=", -1},
    {"empty pattern", "abc", 3, "", 0},
    {"empty buffer, empty pattern", "", 0, "", 0},
    {"at the very end", "xxhttp=", 7, "http=", 2},
    {"first of several", "http=a http=b", 13, "http=", 0},
    {"absent", "https=a", 7, "http=", -1},
    {"case-sensitive", "HTTP=a", 6, "http=", -1},
    {"only within bufLen", "abchttp=", 5, "http=", -1},
    {"may start on a trail byte", "\x82\x41" "B", 3, "AB", 1},
};

TEST(FindStr, Table)
{
    for (const FindCase& c : kFindCases) {
        EXPECT_EQ(FindStr(c.buf.data(), c.bufLen, c.pat.data(), (int)c.pat.size()), c.result) << c.name;
    }
}

TEST(ComplementBytes, TwiceRestoresAndMapsDigits)
{
    char text[] = "0,9.";

    ComplementBytes(text, 4);
    EXPECT_EQ(std::string(text, 4), "\xCF\xD3\xC6\xD1");
    ComplementBytes(text, 4);
    EXPECT_STREQ(text, "0,9.");
}
