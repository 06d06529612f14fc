#include <gtest/gtest.h>

#include <algorithm>
#include <stdlib.h>
#include <string>
#include <vector>

#include "log/log.h"
#include "settings/settings.h"
#include "support.h"

// Run as "test_faults.exe hold PATH READY RELEASE": holds PATH open without
// sharing, as another program would, from the moment READY is set until
// RELEASE is.
static int HoldFile(const char* path, const char* readyName, const char* releaseName)
{
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyName);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, releaseName);
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    int status = 2;

    if (ready != NULL && release != NULL && file != INVALID_HANDLE_VALUE) {
        SetEvent(ready);
        status = WaitForSingleObject(release, 60000) == WAIT_OBJECT_0 ? 0 : 3;
    }
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    if (release != NULL) {
        CloseHandle(release);
    }
    if (ready != NULL) {
        CloseHandle(ready);
    }
    return status;
}

int main(int argc, char** argv)
{
    if (argc == 5 && strcmp(argv[1], "hold") == 0) {
        return HoldFile(argv[2], argv[3], argv[4]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// This test program started again to hold a file.
class Holder {
public:
    Holder() : ready_(NULL), release_(NULL) { memset(&process_, 0, sizeof(process_)); }
    ~Holder() { Release(); }
    bool Start(const std::string& path)
    {
        static int serial;
        char readyName[64], releaseName[64], exe[MAX_PATH];
        STARTUPINFOA startup;

        wsprintfA(readyName, "kiln_faults_ready_%lu_%d", GetCurrentProcessId(), ++serial);
        wsprintfA(releaseName, "kiln_faults_release_%lu_%d", GetCurrentProcessId(), serial);
        ready_ = CreateEventA(NULL, TRUE, FALSE, readyName);
        release_ = CreateEventA(NULL, TRUE, FALSE, releaseName);
        GetModuleFileNameA(NULL, exe, sizeof(exe));
        std::string command = std::string("\"") + exe + "\" hold \"" + path + "\" " + readyName + " " + releaseName;
        memset(&startup, 0, sizeof(startup));
        startup.cb = sizeof(startup);
        if (ready_ == NULL || release_ == NULL
            || !CreateProcessA(exe, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process_)) {
            return false;
        }
        HANDLE waits[2] = {ready_, process_.hProcess};
        return WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
    }
    // The holder's exit code: 0 when it held the file until released.
    DWORD Release()
    {
        DWORD code = (DWORD)-1;

        if (process_.hProcess != NULL) {
            SetEvent(release_);
            if (WaitForSingleObject(process_.hProcess, 30000) == WAIT_OBJECT_0) {
                GetExitCodeProcess(process_.hProcess, &code);
            } else {
                TerminateProcess(process_.hProcess, code);
            }
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
            memset(&process_, 0, sizeof(process_));
        }
        if (ready_ != NULL) {
            CloseHandle(ready_);
            ready_ = NULL;
        }
        if (release_ != NULL) {
            CloseHandle(release_);
            release_ = NULL;
        }
        return code;
    }

private:
    HANDLE ready_, release_;
    PROCESS_INFORMATION process_;
};

// The names in a directory, sorted and joined by blanks.
static std::string Names(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    std::vector<std::string> names;
    std::string joined;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);

    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : " ") + name;
    }
    return joined;
}

static void ExpectBytes(const std::string& path, const std::string& want)
{
    std::string got;
    ASSERT_TRUE(ReadBytes(path, &got)) << path;
    EXPECT_EQ(Hex(got), Hex(want)) << path;
}

using Faults = FreshStart;

TEST_F(Faults, FileHeldWithoutSharing)
{
    const std::string old = Complemented("2,,,10.1.1.1,8080,,,");
    const ProxySetting other = Record(3, "", "", "", "", "proxy.example.jp", "3128");
    const ProxySetting empty = Record(0, "", "", "", "", "", "");
    ProxySetting read;
    char* data = NULL;
    int length = -1;
    Holder holder;

    ASSERT_TRUE(WriteBytes(file_, old));
    ASSERT_TRUE(holder.Start(file_)) << "no second process holds " << file_;

    EXPECT_EQ(ReadFileAll(file_.c_str(), &data, &length, 0), 1);
    EXPECT_EQ(data, (char*)NULL);
    EXPECT_EQ(length, -1);
    memset(&read, 'X', sizeof(read));
    EXPECT_EQ(ParseProxyBuf(&read, file_.c_str()), 0);
    EXPECT_EQ(memcmp(&read, &empty, sizeof(read)), 0) << "mode " << read.mode;

    // Unreadable, so the load writes a default file, which cannot replace
    // the held one.
    ASSERT_TRUE(SetInternetProxy(1, "http=http=10.0.0.1:80"));
    g_proxySetting.mode = 77;
    EXPECT_EQ(LoadProxyFile(), 0);
    EXPECT_EQ(g_proxySetting.mode, 77);
    EXPECT_EQ(LogMessages(), "LoadProxyFile::err::AnalyProxyBuf\n");

    EXPECT_EQ(WriteProxyFile(file_.c_str(), &other), 0);
    EXPECT_EQ(Names(app_.path), "setting.bin");

    EXPECT_EQ(holder.Release(), 0u);
    ExpectBytes(file_, old);
}

// Files that "wb" could not rewrite on Windows: they read as usual and are
// never replaced.
TEST_F(Faults, ProtectedFileIsReadButNeverReplaced)
{
    const std::string old = Complemented("3,10.0.0.9,81,,,example.jp,8080,");
    const ProxySetting other = Record(2, "", "", "10.1.1.1", "8080", "", "");
    const DWORD attributes[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM};

    for (DWORD attribute : attributes) {
        ProxySetting read;
        SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(WriteBytes(file_, old));
        ASSERT_TRUE(SetFileAttributesA(file_.c_str(), attribute));

        EXPECT_EQ(ParseProxyBuf(&read, file_.c_str()), 1) << attribute;
        EXPECT_EQ(read.mode, 3) << attribute;
        EXPECT_STREQ(read.domainHost, "example.jp") << attribute;
        EXPECT_EQ(LoadProxyFile(), 1) << attribute;
        EXPECT_EQ(g_proxySetting.mode, 3) << attribute;
        EXPECT_STREQ(g_proxySetting.domainPort, "8080") << attribute;

        EXPECT_EQ(WriteProxyFile(file_.c_str(), &other), 0) << attribute;
        EXPECT_EQ(MakeDefaultProxyFile(file_.c_str()), 0) << attribute;
        EXPECT_EQ(GetFileAttributesA(file_.c_str()) & attribute, attribute);
        EXPECT_EQ(Names(app_.path), "setting.bin") << attribute;
        ExpectBytes(file_, old);
    }
    SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Faults, InstallationDirectoryThatIsAFile)
{
    const std::string product = app_.path + "product";

    ASSERT_TRUE(WriteBytes(product, "a file"));
    ASSERT_TRUE(SetAppPath(product + "\\"));
    EXPECT_EQ(LoadProxyFile(), 0);
    EXPECT_EQ(std::string(g_settingPath), product + "\\setting.bin");
    EXPECT_EQ(LogMessages(), "LoadProxyFile::err::AnalyProxyBuf\n");
    EXPECT_EQ(Names(app_.path), "product");
    ExpectBytes(product, "a file");
}

TEST_F(Faults, LogThatCannotBeCreated)
{
    // A directory in the way of the log file.
    ASSERT_TRUE(CreateDirectoryA((cwd_.path + "proxy.log").c_str(), NULL));

    ASSERT_TRUE(SetAppPath(app_.path + "absent\\"));
    EXPECT_EQ(LoadProxyFile(), 0);
    EXPECT_EQ(std::string(g_settingPath), app_.path + "absent\\setting.bin");
    EXPECT_EQ(g_logCount, 0);
    EXPECT_EQ(g_hLogFile, (HANDLE)NULL);

    ASSERT_TRUE(SetAppPath(app_.path));
    EXPECT_EQ(LoadProxyFile(), 1);
    ExpectBytes(file_, Complemented("0,,,,,,,"));
    EXPECT_EQ(g_logCount, 0);
    EXPECT_EQ(g_hLogFile, (HANDLE)NULL);
    EXPECT_EQ(Names(cwd_.path), "proxy.log");
    EXPECT_NE(GetFileAttributesA((cwd_.path + "proxy.log").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

struct TypeCase {
    const char* name;
    DWORD type;
    std::string data;  // stored exactly, terminator only where written
    int result;
    std::string settingPath;
    std::string file;  // where the default file lands, "" for nowhere
    const char* log;
};

// Values that are not plain strings, through the whole load: what the path
// becomes, and where the file is written.
TEST_F(Faults, InstallationDirectoryOfOtherTypes)
{
    const std::string expandDir = app_.path + "%SystemRoot%\\";
    const std::string long1024(1024, 'd');
    const TypeCase cases[] = {
        {"REG_DWORD, a relative directory", REG_DWORD, "DCBA", 1, "DCBAsetting.bin", cwd_.path + "DCBAsetting.bin", ""},
        {"REG_BINARY without a terminator", REG_BINARY, app_.path, 1, file_, file_, ""},
        {"REG_BINARY of 1024 bytes without a terminator", REG_BINARY, long1024, 0, "", "",
         "LoadProxyFile::err::GetAppPath\n"},
        {"REG_EXPAND_SZ, not expanded", REG_EXPAND_SZ, expandDir + '\0', 1, expandDir + "setting.bin",
         expandDir + "setting.bin", ""},
    };

    ASSERT_TRUE(CreateDirectoryA(expandDir.c_str(), NULL));
    for (const TypeCase& c : cases) {
        memset(&g_proxySetting, 0, sizeof(g_proxySetting));
        g_settingPath[0] = '\0';
        CloseLog();
        DeleteFileA((cwd_.path + "proxy.log").c_str());
        ASSERT_TRUE(SetAppPathRaw(c.type, c.data.data(), (DWORD)c.data.size())) << c.name;

        EXPECT_EQ(LoadProxyFile(), c.result) << c.name;
        EXPECT_EQ(std::string(g_settingPath), c.settingPath) << c.name;
        if (!c.file.empty()) {
            ExpectBytes(c.file, Complemented("0,,,,,,,"));
            DeleteFileA(c.file.c_str());
        }
        EXPECT_EQ(LogMessages(), *c.log ? c.log : "(no log)") << c.name;
    }
    EXPECT_EQ(Names(app_.path), "%SystemRoot%");
    EXPECT_EQ(Names(expandDir), "");
}

// A disk with no room left: the small tmpfs that the ctest fixture mounts,
// named by KILN_FULLDISK, filled by each test in a directory of its own.
class FullDisk : public Faults {
protected:
    void SetUp() override
    {
        static int serial;
        const char* base = getenv("KILN_FULLDISK");
        ULARGE_INTEGER available, total, totalFree;
        std::string why;
        char name[32];

        Faults::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_TRUE(base != NULL && *base != '\0') << "KILN_FULLDISK names no disk; ctest mounts one";
        base_ = base;
        if (base_.back() != '\\') {
            base_ += "\\";
        }
        if (ReadBytes(base_ + "NOT_ROOT", &why)) {
            GTEST_SKIP() << why;
        }
        ASSERT_TRUE(GetDiskFreeSpaceExA(base_.c_str(), &available, &total, &totalFree)) << base_;
        ASSERT_LT(total.QuadPart, 1024u * 1024u) << base_ << " is not the small tmpfs";
        wsprintfA(name, "t%lu_%d\\", GetCurrentProcessId(), ++serial);
        dir_ = base_ + name;
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), NULL)) << dir_;
    }
    void TearDown() override
    {
        Faults::TearDown();
        if (!dir_.empty()) {
            WIN32_FIND_DATAA found;
            HANDLE search = FindFirstFileA((dir_ + "*").c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                do {
                    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                        DeleteFileA((dir_ + found.cFileName).c_str());
                    }
                } while (FindNextFileA(search, &found));
                FindClose(search);
            }
            RemoveDirectoryA(dir_.c_str());
        }
    }
    // Grows a filler file until not one byte more fits, then shows that a
    // new file cannot take a byte either.
    void FillDisk()
    {
        static const char chunk[65536] = {0};
        std::string probe = dir_ + "probe";
        HANDLE file = CreateFileA((dir_ + "filler").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        DWORD written;

        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        for (DWORD size = sizeof(chunk); size > 0; size /= 2) {
            while (WriteFile(file, chunk, size, &written, NULL) && written == size) {
            }
        }
        CloseHandle(file);
        EXPECT_FALSE(WriteBytes(probe, "x")) << "the disk is not full";
        DeleteFileA(probe.c_str());
    }
    std::string base_, dir_;
};

TEST_F(FullDisk, FailedWriteKeepsTheOldFile)
{
    const std::string path = dir_ + "setting.bin";
    const ProxySetting first = Record(2, "", "", "10.1.1.1", "8080", "", "");
    const ProxySetting second = Record(3, "10.0.0.1", "80", "", "", "proxy.example.jp", "3128");
    std::string old;

    ASSERT_EQ(WriteProxyFile(path.c_str(), &first), 1);
    ASSERT_TRUE(ReadBytes(path, &old));
    ASSERT_EQ(Complemented(old), "2,,,10.1.1.1,8080,,,");
    FillDisk();

    EXPECT_EQ(WriteProxyFile(path.c_str(), &second), 0);
    ExpectBytes(path, old);
    EXPECT_EQ(Names(dir_), "filler setting.bin");
}

TEST_F(FullDisk, NoDefaultFileOnAFullDisk)
{
    ASSERT_TRUE(SetInternetProxy(1, "http=http=10.0.0.1:80"));
    FillDisk();

    EXPECT_EQ(MakeDefaultProxyFile((dir_ + "setting.bin").c_str()), 0);
    EXPECT_EQ(Names(dir_), "filler");

    ASSERT_TRUE(SetAppPath(dir_));
    EXPECT_EQ(LoadProxyFile(), 0);
    EXPECT_EQ(LogMessages(), "LoadProxyFile::err::AnalyProxyBuf\n");
    EXPECT_EQ(Names(dir_), "filler");
}

// The log file can still be created there, empty; its bytes are lost, which
// the log does not notice: the entry counts, and the load goes on as ever.
TEST_F(FullDisk, LogOnAFullDiskLosesOnlyItsBytes)
{
    std::string bytes;

    FillDisk();
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
    ASSERT_TRUE(SetAppPath(app_.path + "absent\\"));
    EXPECT_EQ(LoadProxyFile(), 0);
    EXPECT_EQ(std::string(g_settingPath), app_.path + "absent\\setting.bin");
    EXPECT_EQ(g_logCount, 1);
    EXPECT_NE(g_hLogFile, (HANDLE)NULL);
    CloseLog();
    EXPECT_EQ(Names(dir_), "filler proxy.log");
    ASSERT_TRUE(ReadBytes(dir_ + "proxy.log", &bytes));
    EXPECT_EQ(Hex(bytes), "");
}
