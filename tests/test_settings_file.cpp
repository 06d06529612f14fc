#include <gtest/gtest.h>

#include <limits.h>
#include <string>

#include "settings/settings.h"
#include "support.h"

static void ExpectSame(const ProxySetting& got, const ProxySetting& want, const char* name)
{
    EXPECT_EQ(got.mode, want.mode) << name;
    EXPECT_STREQ(got.autoHost, want.autoHost) << name;
    EXPECT_STREQ(got.autoPort, want.autoPort) << name;
    EXPECT_STREQ(got.ipHost, want.ipHost) << name;
    EXPECT_STREQ(got.ipPort, want.ipPort) << name;
    EXPECT_STREQ(got.domainHost, want.domainHost) << name;
    EXPECT_STREQ(got.domainPort, want.domainPort) << name;
}

// A text of exactly n bytes built from a repeated piece of double-byte and
// single-byte characters, cut so that no double-byte character is split.
static std::string MixedText(size_t n)
{
    static const char piece[] = "\x83\x76\x83\x8D" "a" "\x8E\xA9" "9";  // プロa自9
    std::string text;
    while (text.size() + strlen(piece) <= n) {
        text += piece;
    }
    while (text.size() < n) {
        text += "x";
    }
    return text;
}

TEST(WriteProxyFile, EmptyRecordGivesEightBytes)
{
    TempDir dir;
    std::string path = dir.path + "setting.bin";
    ProxySetting empty = Record(0, "", "", "", "", "", "");
    std::string bytes;
    ProxySetting back;

    ASSERT_EQ(WriteProxyFile(path.c_str(), &empty), 1);
    ASSERT_TRUE(ReadBytes(path, &bytes));
    EXPECT_EQ(Hex(bytes), "CF D3 D3 D3 D3 D3 D3 D3 ");
    EXPECT_EQ(ParseProxyBuf(&back, path.c_str()), 1);
    ExpectSame(back, empty, "empty record");
    EXPECT_FALSE(FileExists(path + ".tmp"));
}

TEST(WriteProxyFile, LongestRecordRoundTrips)
{
    TempDir dir;
    std::string path = dir.path + "setting.bin";
    std::string host = MixedText(127), port = MixedText(63);
    ProxySetting longest = Record(INT_MIN, host.c_str(), port.c_str(), host.c_str(), port.c_str(),
                                  host.c_str(), port.c_str());
    std::string bytes;
    ProxySetting back;

    ASSERT_EQ(WriteProxyFile(path.c_str(), &longest), 1);
    ASSERT_TRUE(ReadBytes(path, &bytes));
    EXPECT_EQ(bytes.size(), 588u);
    std::string want = "-2147483648," + host + "," + port + "," + host + "," + port + "," + host + "," + port + ",";
    EXPECT_EQ(Complemented(bytes), want);
    EXPECT_EQ(ParseProxyBuf(&back, path.c_str()), 1);
    ExpectSame(back, longest, "longest record");
}

TEST(WriteProxyFile, ByteFFIsStoredAsZeroAndTheRestFollows)
{
    TempDir dir;
    std::string path = dir.path + "setting.bin";
    ProxySetting s = Record(3, "", "", "", "", "a\xFF" "b", "80");
    std::string bytes;

    ASSERT_EQ(WriteProxyFile(path.c_str(), &s), 1);
    ASSERT_TRUE(ReadBytes(path, &bytes));
    ASSERT_EQ(bytes.size(), 13u);
    EXPECT_EQ(bytes[7], '\0');
    EXPECT_EQ(Complemented(bytes), "3,,,,,a\xFF" "b,80,");
}

TEST(WriteProxyFile, ReplacesAnOlderFile)
{
    TempDir dir;
    std::string path = dir.path + "setting.bin";
    ProxySetting s = Record(1, "10.0.0.1", "80", "", "", "", "");
    std::string bytes;

    ASSERT_TRUE(WriteBytes(path, Complemented("2,,,10.1.1.1,8080,example.com,3128,")));
    ASSERT_EQ(WriteProxyFile(path.c_str(), &s), 1);
    ASSERT_TRUE(ReadBytes(path, &bytes));
    EXPECT_EQ(Complemented(bytes), "1,10.0.0.1,80,,,,,");
}

TEST(WriteProxyFile, MissingDirectoryGivesZero)
{
    TempDir dir;
    ProxySetting s = Record(0, "", "", "", "", "", "");

    EXPECT_EQ(WriteProxyFile((dir.path + "absent\\setting.bin").c_str(), &s), 0);
}

struct ParseCase {
    const char* name;
    std::string text;  // before complementing
    ProxySetting want;
};

TEST(ParseProxyBuf, DamagedAndShortFiles)
{
    std::string host200(200, 'h');
    // The 127-byte limit falls inside a double-byte character.
    std::string cut = "x" + MixedText(199);
    const ParseCase cases[] = {
        {"lone digit 2", "2", Record(2, "", "", "", "", "", "")},
        {"empty file", "", Record(0, "", "", "", "", "", "")},
        {"full record", "3,1.1.1.1,8,2.2.2.2,9,example.jp,3128,", Record(3, "1.1.1.1", "8", "2.2.2.2", "9", "example.jp", "3128")},
        {"CR LF instead of a comma", "1,10.0.0.1\r\n80,,,,,", Record(1, "10.0.0.1", "\n80", "", "", "", "")},
        {"200-byte host", "1," + host200 + ",80,ip,p,d,dp,", Record(1, host200.substr(0, 127).c_str(), "80", "ip", "p", "d", "dp")},
        {"200-byte host of double-byte characters", "1," + cut + ",80,", Record(1, cut.substr(0, 126).c_str(), "80", "", "", "", "")},
        {"zero bytes end fields", std::string("1,a\0b,c,", 8), Record(1, "a", "b", "c", "", "", "")},
        {"comma inside a domain", "3,,,,,a,b,80,", Record(3, "", "", "", "", "a", "b")},
        {"blanks before -1", "  -1,", Record(-1, "", "", "", "", "", "")},
        {"2 followed by letters", "2abc,", Record(2, "", "", "", "", "", "")},
        {"non-numeric mode", "x,", Record(0, "", "", "", "", "", "")},
        {"fewer fields", "2,,,10.0.0.1", Record(2, "", "", "10.0.0.1", "", "", "")},
        {"anything after the seventh field", "0,,,,,,,junk,more", Record(0, "", "", "", "", "", "")},
        {"lead byte at the very end", "1,\x83", Record(1, "\x83", "", "", "", "", "")},
    };
    TempDir dir;
    std::string path = dir.path + "setting.bin";

    for (const ParseCase& c : cases) {
        ProxySetting got;
        memset(&got, 0x55, sizeof(got));
        ASSERT_TRUE(WriteBytes(path, Complemented(c.text))) << c.name;
        EXPECT_EQ(ParseProxyBuf(&got, path.c_str()), 1) << c.name;
        ExpectSame(got, c.want, c.name);
    }
}

TEST(ParseProxyBuf, ByteFFAndMissingFile)
{
    TempDir dir;
    std::string path = dir.path + "setting.bin";
    ProxySetting got;

    // 0xFF stored is a zero in the text: it ends the mode, and the next
    // field starts after it.
    ASSERT_TRUE(WriteBytes(path, std::string("\xCD\xFF\x9E\xD3", 4)));
    EXPECT_EQ(ParseProxyBuf(&got, path.c_str()), 1);
    ExpectSame(got, Record(2, "a", "", "", "", "", ""), "FF bytes");

    memset(&got, 0x55, sizeof(got));
    EXPECT_EQ(ParseProxyBuf(&got, (dir.path + "missing.bin").c_str()), 0);
    ExpectSame(got, Record(0, "", "", "", "", "", ""), "missing file");
}

TEST(ReadFileAll, ExtraZeroBytesAndMissingFile)
{
    TempDir dir;
    std::string path = dir.path + "data.bin";
    char* data = NULL;
    int length = -1;

    ASSERT_TRUE(WriteBytes(path, "abc"));
    ASSERT_EQ(ReadFileAll(path.c_str(), &data, &length, 2), 0);
    EXPECT_EQ(length, 5);
    EXPECT_EQ(std::string(data, 5), std::string("abc\0\0", 5));
    GlobalFree(data);

    data = NULL;
    length = -1;
    EXPECT_EQ(ReadFileAll((dir.path + "none").c_str(), &data, &length, 0), 1);
    EXPECT_EQ(data, (char*)NULL);
    EXPECT_EQ(length, -1);
}
