#include <gtest/gtest.h>

#include <string>

#include "log/log.h"
#include "support.h"

TEST(LogText, StampOfTheWorkedExample)
{
    char stamp[1024];
    int length = FormatLogStamp(stamp, 2008, 3, 7, 14, 5, 9);

    ASSERT_EQ(length, 21);
    EXPECT_EQ(std::string(stamp), "2008/03/07 14:05:09  ");
    EXPECT_EQ(Hex(Complemented(stamp)),
              "CD CF CF C7 D0 CF CC D0 CF C8 DF CE CB C5 CF CA C5 CF C6 DF DF ");
    EXPECT_EQ(std::string(stamp, FormatLogStamp(stamp, 987, 12, 31, 0, 0, 0)), "987/12/31 00:00:00  ");
}

TEST(LogText, MessageLengthIsCutAt1023)
{
    const size_t lengths[] = {0, 1, 1023, 1024, 5000};
    const int want[] = {0, 1, 1023, 1023, 1023};

    for (int i = 0; i < 5; i++) {
        std::string message(lengths[i], 'm');
        EXPECT_EQ(LogMessageLength(message.c_str()), want[i]) << lengths[i];
    }
}

// Each test runs in a directory of its own, with the log closed.
class LogFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof(saved_), saved_);
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.path.c_str()));
        g_hLogFile = NULL;
        g_logCount = 0;
    }
    void TearDown() override
    {
        CloseLog();
        SetCurrentDirectoryA(saved_);
    }
    void CloseLog()
    {
        if (g_hLogFile != NULL) {
            CloseHandle(g_hLogFile);
            g_hLogFile = NULL;
        }
    }
    // The log's lines, decoded, with their time stamps checked and removed.
    std::vector<std::string> Entries()
    {
        std::string bytes;
        std::vector<std::string> entries;
        CloseLog();
        EXPECT_TRUE(ReadBytes(dir_.path + "proxy.log", &bytes));
        std::string text = Complemented(bytes);
        size_t pos = 0;
        while (pos < text.size()) {
            std::string stamp = text.substr(pos, 21);
            EXPECT_TRUE(IsStamp(stamp)) << "[" << stamp << "]";
            size_t end = text.find('\n', pos + 21);
            end = end == std::string::npos ? text.size() : end + 1;
            entries.push_back(text.substr(pos + 21, end - pos - 21));
            pos = end;
        }
        return entries;
    }
    static bool IsStamp(const std::string& s)
    {
        const char* shape = "dddd/dd/dd dd:dd:dd  ";
        if (s.size() != 21) {
            return false;
        }
        for (int i = 0; i < 21; i++) {
            if (shape[i] == 'd' ? !isdigit((unsigned char)s[i]) : s[i] != shape[i]) {
                return false;
            }
        }
        return true;
    }
    TempDir dir_;
    char saved_[MAX_PATH];
};

TEST_F(LogFile, TwoEntriesOfAFailedStart)
{
    SYSTEMTIME now;
    char today[16];
    std::string bytes;

    ASSERT_TRUE(WriteBytes(dir_.path + "proxy.log", "older run"));
    WriteLog("LoadProxyFile::err::GetAppPath\n");
    WriteLog("Proc_Wm_Initdialog::err::LoadProxyFile\n");
    EXPECT_EQ(g_logCount, 2);
    ASSERT_NE(g_hLogFile, (HANDLE)NULL);
    // Others may not read the log while it is open.
    EXPECT_FALSE(ReadBytes(dir_.path + "proxy.log", &bytes));

    GetLocalTime(&now);
    wsprintfA(today, "%d/%02d/%02d", now.wYear, now.wMonth, now.wDay);
    CloseLog();
    ASSERT_TRUE(ReadBytes(dir_.path + "proxy.log", &bytes));
    EXPECT_EQ(Complemented(bytes).substr(0, 10), today);
    std::vector<std::string> entries = Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], "LoadProxyFile::err::GetAppPath\n");
    EXPECT_EQ(entries[1], "Proc_Wm_Initdialog::err::LoadProxyFile\n");
}

TEST_F(LogFile, MessagesAreCutAt1023Bytes)
{
    std::string bytes;
    const size_t lengths[] = {0, 1023, 1024, 5000};

    for (size_t length : lengths) {
        WriteLog(std::string(length, 'm').c_str());
    }
    CloseLog();
    ASSERT_TRUE(ReadBytes(dir_.path + "proxy.log", &bytes));
    EXPECT_EQ(bytes.size(), 4 * 21 + 0 + 1023 + 1023 + 1023u);
    EXPECT_EQ(g_logCount, 4);
}

TEST_F(LogFile, RecreatedAfter800000Entries)
{
    WriteLog("first\n");
    g_logCount = 799999;
    WriteLog("800000th\n");
    EXPECT_EQ(g_logCount, 800000);
    WriteLog("800001st\n");
    EXPECT_EQ(g_logCount, 1);

    std::vector<std::string> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0], "800001st\n");
}

TEST_F(LogFile, UncreatableFileDropsTheEntryAndRetries)
{
    // A directory in the way of the file.
    ASSERT_TRUE(CreateDirectoryA("proxy.log", NULL));
    WriteLog("lost\n");
    EXPECT_EQ(g_logCount, 0);
    EXPECT_EQ(g_hLogFile, (HANDLE)NULL);
    EXPECT_EQ(OpenLogFile(), 0);
    EXPECT_EQ(g_hLogFile, (HANDLE)NULL);

    ASSERT_TRUE(RemoveDirectoryA("proxy.log"));
    WriteLog("kept\n");
    EXPECT_EQ(g_logCount, 1);
    std::vector<std::string> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0], "kept\n");
}
