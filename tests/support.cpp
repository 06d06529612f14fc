#include "support.h"

#include <stdio.h>

#include "log/log.h"
#include "settings/settings.h"

static const char kAppKey[] = "SOFTWARE\\kiln_proxy";
static const char kInetKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

static void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);

    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            std::string full = dir + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + "\\");
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(dir.c_str());
}

TempDir::TempDir()
{
    static int serial;
    char base[MAX_PATH];
    char name[MAX_PATH + 64];

    GetTempPathA(sizeof(base), base);
    for (;;) {
        wsprintfA(name, "%skiln_%lu_%d\\", base, GetCurrentProcessId(), ++serial);
        if (CreateDirectoryA(name, NULL)) {
            break;
        }
    }
    path = name;
}

TempDir::~TempDir()
{
    RemoveTree(path);
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;

    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    BOOL ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool ReadBytes(const std::string& path, std::string* bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD size = GetFileSize(file, NULL);
    std::string data(size, '\0');
    DWORD read = 0;
    BOOL ok = size == 0 || ReadFile(file, &data[0], size, &read, NULL);
    CloseHandle(file);
    if (!ok || read != size) {
        return false;
    }
    *bytes = data;
    return true;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Complemented(std::string text)
{
    for (char& c : text) {
        c = (char)(255 - (unsigned char)c);
    }
    return text;
}

std::string Hex(const std::string& bytes)
{
    std::string out;
    char part[4];

    for (unsigned char c : bytes) {
        snprintf(part, sizeof(part), "%02X ", c);
        out += part;
    }
    return out;
}

bool SetAppPathRaw(DWORD type, const void* data, DWORD size)
{
    HKEY key;

    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAppKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS) {
        return false;
    }
    LONG rc = RegSetValueExA(key, "apppath", 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool SetAppPath(const std::string& dir)
{
    return SetAppPathRaw(REG_SZ, dir.c_str(), (DWORD)dir.size() + 1);
}

bool CreateAppKeyOnly()
{
    HKEY key;

    DeleteAppKey();
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAppKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void DeleteAppKey()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppKey);
}

static bool QueryInet(HKEY key, const char* name, DWORD* type, std::string* data)
{
    char buffer[4096];
    DWORD size = sizeof(buffer);

    if (RegQueryValueExA(key, name, NULL, type, (BYTE*)buffer, &size) != ERROR_SUCCESS) {
        return false;
    }
    data->assign(buffer, size);
    return true;
}

SavedInternetSettings::SavedInternetSettings() : hadEnable(false), hadServer(false), enable(0)
{
    HKEY key;
    DWORD type;
    std::string data;

    if (RegOpenKeyExA(HKEY_CURRENT_USER, kInetKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return;
    }
    if (QueryInet(key, "ProxyEnable", &type, &data) && data.size() == sizeof(DWORD)) {
        hadEnable = true;
        memcpy(&enable, data.data(), sizeof(DWORD));
    }
    if (QueryInet(key, "ProxyServer", &type, &data)) {
        hadServer = true;
        server = data.c_str();
    }
    RegCloseKey(key);
}

SavedInternetSettings::~SavedInternetSettings()
{
    SetInternetProxy(hadEnable ? (int)enable : -1, hadServer ? server.c_str() : NULL);
}

bool SetInternetProxy(int enable, const char* server)
{
    HKEY key;
    bool ok = true;

    if (RegCreateKeyExA(HKEY_CURRENT_USER, kInetKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS) {
        return false;
    }
    if (enable < 0) {
        RegDeleteValueA(key, "ProxyEnable");
    } else {
        DWORD value = (DWORD)enable;
        ok = RegSetValueExA(key, "ProxyEnable", 0, REG_DWORD, (const BYTE*)&value, sizeof(value)) == ERROR_SUCCESS;
    }
    if (server == NULL) {
        RegDeleteValueA(key, "ProxyServer");
    } else {
        ok = ok && RegSetValueExA(key, "ProxyServer", 0, REG_SZ, (const BYTE*)server,
                                  (DWORD)strlen(server) + 1) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
}

ProxySetting Record(int mode, const char* autoHost, const char* autoPort, const char* ipHost,
                    const char* ipPort, const char* domainHost, const char* domainPort)
{
    ProxySetting s;

    memset(&s, 0, sizeof(s));
    s.mode = mode;
    lstrcpynA(s.autoHost, autoHost, sizeof(s.autoHost));
    lstrcpynA(s.autoPort, autoPort, sizeof(s.autoPort));
    lstrcpynA(s.ipHost, ipHost, sizeof(s.ipHost));
    lstrcpynA(s.ipPort, ipPort, sizeof(s.ipPort));
    lstrcpynA(s.domainHost, domainHost, sizeof(s.domainHost));
    lstrcpynA(s.domainPort, domainPort, sizeof(s.domainPort));
    return s;
}

void FreshStart::SetUp()
{
    GetCurrentDirectoryA(sizeof(saved_), saved_);
    ASSERT_TRUE(SetCurrentDirectoryA(cwd_.path.c_str()));
    memset(&g_proxySetting, 0, sizeof(g_proxySetting));
    g_settingPath[0] = '\0';
    g_hLogFile = NULL;
    g_logCount = 0;
    ASSERT_TRUE(SetAppPath(app_.path));
    ASSERT_TRUE(SetInternetProxy(0, NULL));
    file_ = app_.path + "setting.bin";
}

void FreshStart::TearDown()
{
    CloseLog();
    SetCurrentDirectoryA(saved_);
    DeleteAppKey();
}

void FreshStart::CloseLog()
{
    if (g_hLogFile != NULL) {
        CloseHandle(g_hLogFile);
        g_hLogFile = NULL;
    }
}

std::string FreshStart::FileText()
{
    std::string bytes;

    if (!ReadBytes(file_, &bytes)) {
        return "(no file)";
    }
    return Complemented(bytes);
}

std::string FreshStart::LogMessages()
{
    std::string bytes, text, out;

    CloseLog();
    if (!ReadBytes(cwd_.path + "proxy.log", &bytes)) {
        return "(no log)";
    }
    text = Complemented(bytes);
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find('\n', pos);
        end = end == std::string::npos ? text.size() : end + 1;
        out += text.substr(pos + 21, end - pos - 21);
        pos = end;
    }
    return out;
}
