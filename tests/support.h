// What the tests need of the machine: temporary directories, whole files,
// the installation directory key and the Internet settings.
#ifndef KILN_TEST_SUPPORT_H
#define KILN_TEST_SUPPORT_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/proxy_setting.h"

// A fresh directory under the temporary folder, with a trailing backslash;
// removed with everything in it when the object goes.
struct TempDir {
    TempDir();
    ~TempDir();
    std::string path;
};

bool WriteBytes(const std::string& path, const std::string& bytes);
bool ReadBytes(const std::string& path, std::string* bytes);
bool FileExists(const std::string& path);
std::string Complemented(std::string text);
// Hex of the bytes, "CF D3 ..." for failure messages.
std::string Hex(const std::string& bytes);

// HKLM\SOFTWARE\kiln_proxy, in the view of this 32-bit process.
bool SetAppPathRaw(DWORD type, const void* data, DWORD size);
bool SetAppPath(const std::string& dir);
bool CreateAppKeyOnly();
void DeleteAppKey();

// Saves ProxyEnable and ProxyServer of the user's Internet settings and puts
// them back when the object goes.
struct SavedInternetSettings {
    SavedInternetSettings();
    ~SavedInternetSettings();
    bool hadEnable, hadServer;
    DWORD enable;
    std::string server;
};
// enable < 0 removes ProxyEnable; server == NULL removes ProxyServer.
bool SetInternetProxy(int enable, const char* server);

// A record with the given mode and texts, each cut to its field.
ProxySetting Record(int mode, const char* autoHost, const char* autoPort, const char* ipHost,
                    const char* ipPort, const char* domainHost, const char* domainPort);

// A test that starts like a fresh process of the program: empty globals, no
// log open, the current directory (where the log goes) a directory of its
// own, the installation directory in the registry pointing at another
// (file_ is its setting.bin), and no proxy in the Internet settings, which
// are put back afterwards.
class FreshStart : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void CloseLog();
    // setting.bin decoded, or "(no file)".
    std::string FileText();
    // The decoded log without its time stamps, or "(no log)".
    std::string LogMessages();
    SavedInternetSettings savedInet_;
    TempDir cwd_, app_;
    std::string file_;
    char saved_[MAX_PATH];
};

#endif
