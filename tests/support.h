// What the tests need of the machine: temporary directories, whole files,
// the installation directory key and the Internet settings.
#ifndef KILN_TEST_SUPPORT_H
#define KILN_TEST_SUPPORT_H

#include <windows.h>

#include <string>

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

#endif
