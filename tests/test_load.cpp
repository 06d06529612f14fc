#include <gtest/gtest.h>

#include <string>

#include "log/log.h"
#include "settings/settings.h"
#include "support.h"

class Load : public FreshStart {
protected:
    void ExpectSetting(int mode, const char* autoHost, const char* autoPort)
    {
        EXPECT_EQ(g_proxySetting.mode, mode);
        EXPECT_STREQ(g_proxySetting.autoHost, autoHost);
        EXPECT_STREQ(g_proxySetting.autoPort, autoPort);
    }
};

TEST_F(Load, FirstRunWithoutSystemProxy)
{
    ASSERT_EQ(LoadProxyFile(), 1);
    EXPECT_EQ(std::string(g_settingPath), file_);
    EXPECT_EQ(FileText(), "0,,,,,,,");
    ExpectSetting(PROXY_NONE, "", "");
    EXPECT_FALSE(FileExists(cwd_.path + "proxy.log"));
    EXPECT_FALSE(FileExists(file_ + ".tmp"));
}

TEST_F(Load, FirstRunWithSystemProxy)
{
    ASSERT_TRUE(SetInternetProxy(1, "http=http=10.0.0.1:80"));
    ASSERT_EQ(LoadProxyFile(), 1);
    EXPECT_EQ(FileText(), "0,10.0.0.1,80,,,,,");
    ExpectSetting(PROXY_NONE, "10.0.0.1", "80");
}

TEST_F(Load, StoredAutoWithoutSystemProxyBecomesNoneInMemoryOnly)
{
    ASSERT_TRUE(WriteBytes(file_, Complemented("1,10.9.9.9,8080,,,,,")));
    ASSERT_EQ(LoadProxyFile(), 1);
    ExpectSetting(PROXY_NONE, "10.9.9.9", "8080");
    EXPECT_EQ(FileText(), "1,10.9.9.9,8080,,,,,");
}

TEST_F(Load, StoredAutoFollowsAMovedSystemProxy)
{
    ASSERT_TRUE(SetInternetProxy(1, "http=http=192.168.7.7:3128"));
    ASSERT_TRUE(WriteBytes(file_, Complemented("1,10.9.9.9,8080,,,,,")));
    ASSERT_EQ(LoadProxyFile(), 1);
    ExpectSetting(PROXY_AUTO, "192.168.7.7", "3128");
    EXPECT_EQ(FileText(), "1,10.9.9.9,8080,,,,,");
}

TEST_F(Load, OtherModesStayAsRead)
{
    ASSERT_TRUE(WriteBytes(file_, Complemented("2,10.9.9.9,8080,1.2.3.4,81,,,")));
    ASSERT_EQ(LoadProxyFile(), 1);
    ExpectSetting(PROXY_MANUAL_IP, "10.9.9.9", "8080");
    EXPECT_STREQ(g_proxySetting.ipHost, "1.2.3.4");

    ASSERT_TRUE(SetInternetProxy(1, "http=http=10.0.0.2:81"));
    ASSERT_EQ(LoadProxyFile(), 1);
    ExpectSetting(PROXY_MANUAL_IP, "10.0.0.2", "81");
}

TEST_F(Load, EmptyFileIsReadNotReplaced)
{
    ASSERT_TRUE(SetInternetProxy(1, "http=http=10.0.0.1:80"));
    ASSERT_TRUE(WriteBytes(file_, ""));
    ASSERT_EQ(LoadProxyFile(), 1);
    EXPECT_EQ(FileText(), "");
    ExpectSetting(PROXY_NONE, "10.0.0.1", "80");
}

TEST_F(Load, DirectoryWithoutTrailingBackslash)
{
    std::string dir = app_.path.substr(0, app_.path.size() - 1);

    ASSERT_TRUE(SetAppPath(dir));
    ASSERT_EQ(LoadProxyFile(), 1);
    EXPECT_EQ(std::string(g_settingPath), dir + "setting.bin");
    EXPECT_TRUE(FileExists(dir + "setting.bin"));
    DeleteFileA((dir + "setting.bin").c_str());
}

TEST_F(Load, UnwritableDirectoryLogsAnalyProxyBuf)
{
    std::string missing = app_.path + "absent\\";

    ASSERT_TRUE(SetAppPath(missing));
    g_proxySetting.mode = 77;
    EXPECT_EQ(LoadProxyFile(), 0);
    EXPECT_EQ(std::string(g_settingPath), missing + "setting.bin");
    EXPECT_EQ(g_proxySetting.mode, 77);
    EXPECT_EQ(LogMessages(), "LoadProxyFile::err::AnalyProxyBuf\n");
}

TEST_F(Load, SettingsPathThatIsADirectoryLogsAnalyProxyBuf)
{
    ASSERT_TRUE(CreateDirectoryA(file_.c_str(), NULL));
    EXPECT_EQ(LoadProxyFile(), 0);
    EXPECT_EQ(LogMessages(), "LoadProxyFile::err::AnalyProxyBuf\n");
    EXPECT_FALSE(FileExists(file_ + ".tmp"));
}

TEST_F(Load, NoRegistryKeyLogsGetAppPath)
{
    DeleteAppKey();
    EXPECT_EQ(LoadProxyFile(), 0);
    EXPECT_STREQ(g_settingPath, "");
    EXPECT_EQ(LogMessages(), "LoadProxyFile::err::GetAppPath\n");
}

// 1012 bytes of directory leave just room for the file name; one more does
// not fit, and the load stops before the path buffer is overrun.
TEST_F(Load, LongestDirectories)
{
    std::string fits = "C:\\" + std::string(1008, 'd') + "\\";
    std::string over = "C:\\" + std::string(1009, 'd') + "\\";

    ASSERT_EQ(fits.size(), 1012u);
    ASSERT_TRUE(SetAppPath(fits));
    EXPECT_EQ(LoadProxyFile(), 0);
    EXPECT_EQ(strlen(g_settingPath), 1023u);
    EXPECT_EQ(std::string(g_settingPath), fits + "setting.bin");

    g_settingPath[0] = '\0';
    ASSERT_TRUE(SetAppPath(over));
    EXPECT_EQ(LoadProxyFile(), 0);
    EXPECT_STREQ(g_settingPath, "");
    EXPECT_EQ(LogMessages(), "LoadProxyFile::err::AnalyProxyBuf\nLoadProxyFile::err::GetAppPath\n");
}

// A default file that cannot be read back although it was written: here a
// handle on the temporary file, which allows writing and replacing but no
// reading, follows the file to its new name. The load gives up after one
// attempt.
TEST_F(Load, DefaultFileUnreadableAfterWritingEndsTheLoad)
{
    std::string temp = file_ + ".tmp";
    HANDLE holder = CreateFileA(temp.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    EXPECT_EQ(LoadProxyFile(), 0);
    EXPECT_TRUE(FileExists(file_)) << "the default file was written";
    EXPECT_FALSE(FileExists(temp));
    EXPECT_EQ(LogMessages(), "LoadProxyFile::err::AnalyProxyBuf\n");
    CloseHandle(holder);
    EXPECT_EQ(FileText(), "0,,,,,,,");
}
