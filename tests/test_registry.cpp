#include <gtest/gtest.h>

#include <string>

#include "probe/probe.h"
#include "support.h"

class AppPath : public ::testing::Test {
protected:
    void SetUp() override { DeleteAppKey(); }
    void TearDown() override { DeleteAppKey(); }
};

TEST_F(AppPath, MissingKeyLeavesOutUntouched)
{
    char out[1024] = "untouched";

    EXPECT_EQ(GetAppPath(out, sizeof(out)), 0);
    EXPECT_STREQ(out, "untouched");
}

TEST_F(AppPath, MissingValueGivesEmptyText)
{
    char out[1024] = "untouched";

    ASSERT_TRUE(CreateAppKeyOnly());
    EXPECT_EQ(GetAppPath(out, sizeof(out)), 0);
    EXPECT_STREQ(out, "");
}

struct ValueCase {
    const char* name;
    DWORD type;
    std::string data;  // stored exactly, terminator only where written
    int result;
    std::string out;
};

TEST_F(AppPath, Values)
{
    std::string long1023(1023, 'd');
    std::string long1024(1024, 'd');
    const ValueCase cases[] = {
        {"directory", REG_SZ, std::string("C:\\App\\\0", 8), 1, "C:\\App\\"},
        {"Japanese directory", REG_SZ, std::string("C:\\\x83\x76\x83\x8D\\\0", 8), 1, "C:\\\x83\x76\x83\x8D\\"},
        {"empty", REG_SZ, std::string("\0", 1), 0, ""},
        {"1023 characters", REG_SZ, long1023 + '\0', 1, long1023},
        {"1024 characters", REG_SZ, long1024 + '\0', 0, ""},
        {"no terminator", REG_BINARY, "C:\\App\\", 1, "C:\\App\\"},
        {"1024 bytes, no terminator", REG_BINARY, long1024, 0, ""},
        {"1023 bytes, no terminator", REG_BINARY, long1023, 1, long1023},
        {"environment references", REG_EXPAND_SZ, std::string("%SystemRoot%\\App\\\0", 18), 1, "%SystemRoot%\\App\\"},
        {"a DWORD", REG_DWORD, "DCBA", 1, "DCBA"},
    };

    for (const ValueCase& c : cases) {
        char out[1024];
        memset(out, 'X', sizeof(out));
        ASSERT_TRUE(SetAppPathRaw(c.type, c.data.data(), (DWORD)c.data.size())) << c.name;
        EXPECT_EQ(GetAppPath(out, sizeof(out)), c.result) << c.name;
        ASSERT_TRUE(memchr(out, 0, sizeof(out)) != NULL) << c.name << ": not terminated";
        EXPECT_EQ(std::string(out), c.out) << c.name;
    }
}

TEST_F(AppPath, ReadRegValueFallsBackWhenTheDataDoesNotFit)
{
    HKEY key;
    char out[8];

    ASSERT_TRUE(SetAppPath("C:\\Product\\"));
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\kiln_proxy", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    EXPECT_EQ(ReadRegValue(key, "apppath", out, sizeof(out), "fb"), 1);
    EXPECT_STREQ(out, "fb");
    EXPECT_EQ(ReadRegValue(key, "absent", out, sizeof(out), ""), 1);
    EXPECT_STREQ(out, "");
    RegCloseKey(key);
}
