#include "settings.h"

#include <windows.h>
#include <string.h>

#include "../log/log.h"
#include "../probe/probe.h"

char g_settingPath[1024];
ProxySetting g_proxySetting;

static const char kSettingName[] = "setting.bin";

// Puts the system's HTTP proxy into the automatic fields. 0 when the system
// has none, and the fields are left as they were.
static int TakeSysProxy(ProxySetting* setting)
{
    char host[1024];
    int port;

    if (GetSysProxy(host, &port) != 1) {
        return 0;
    }
    lstrcpynA(setting->autoHost, host, sizeof(setting->autoHost));
    wsprintfA(setting->autoPort, "%d", port);
    return 1;
}

int MakeDefaultProxyFile(const char* path)
{
    SettingWriter writer;
    ProxySetting setting;

    if (!OpenSettingWriter(&writer, path)) {
        return 0;
    }
    memset(&setting, 0, sizeof(setting));
    TakeSysProxy(&setting);
    return CommitSettingWriter(&writer, path, &setting);
}

int AnalyProxyBuf(const char* path, ProxySetting* out)
{
    char* data;
    int length;

    if (ReadFileAll(path, &data, &length, 0) != 0) {
        // One attempt: a file that cannot be read back right after it was
        // written will not become readable by writing it again.
        if (!MakeDefaultProxyFile(path) || ReadFileAll(path, &data, &length, 0) != 0) {
            return 0;
        }
    }
    GlobalFree(data);
    ParseProxyBuf(out, path);
    return 1;
}

int LoadProxyFile(void)
{
    char path[1024];
    size_t dirLength;

    // A directory too long to take the file name cannot hold the settings
    // file: it is as unusable as a missing one.
    if (!GetAppPath(path, sizeof(path))
        || (dirLength = strlen(path)) + sizeof(kSettingName) > sizeof(path)) {
        WriteLog("LoadProxyFile::err::GetAppPath\n");
        return 0;
    }
    memcpy(path + dirLength, kSettingName, sizeof(kSettingName));
    lstrcpyA(g_settingPath, path);

    if (!AnalyProxyBuf(path, &g_proxySetting)) {
        WriteLog("LoadProxyFile::err::AnalyProxyBuf\n");
        return 0;
    }
    if (!TakeSysProxy(&g_proxySetting) && g_proxySetting.mode == PROXY_AUTO) {
        g_proxySetting.mode = PROXY_NONE;
    }
    return 1;
}
