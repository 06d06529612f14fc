// The ground every other test stands on: the ANSI code page is 932, and the
// project's own code page 932 stepping agrees with the platform's.
#include <gtest/gtest.h>
#include <windows.h>

#include "text/charstep.h"

TEST(Platform, AnsiCodePageIs932)
{
    ASSERT_EQ(GetACP(), 932u) << "the tests must run with LC_ALL=ja_JP.UTF-8";
}

TEST(Platform, CharNext932MatchesCharNextAForEveryTwoByteText)
{
    int mismatches = 0;

    for (int first = 1; first < 256; first++) {
        for (int second = 0; second < 256; second++) {
            char text[3] = {(char)first, (char)second, 0};
            ptrdiff_t platform = CharNextA(text) - text;
            ptrdiff_t own = CharNext932(text) - text;
            if (platform != own && mismatches++ < 10) {
                ADD_FAILURE() << "bytes " << std::hex << first << " " << second << ": CharNextA steps "
                              << platform << ", CharNext932 steps " << own;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(Platform, CharNext932StaysOnTheTerminator)
{
    char empty[1] = {0};

    EXPECT_EQ(CharNextA(empty), empty);
    EXPECT_EQ(CharNext932(empty), empty);
}
