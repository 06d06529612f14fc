#include "probe.h"

int ReadRegValue(HKEY key, const char* name, char* out, DWORD capacity, const char* fallback)
{
    DWORD type;
    DWORD size = capacity;

    // Data stored without its terminator comes back unterminated; it is
    // terminated within out, or refused when it fills out to the last byte.
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)out, &size) != ERROR_SUCCESS
        || !TerminateRegText(out, size, capacity)) {
        lstrcpyA(out, fallback);
    }
    return 1;
}

int GetAppPath(char* out, DWORD capacity)
{
    HKEY key;

    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\kiln_proxy", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return 0;
    }
    ReadRegValue(key, "apppath", out, capacity, "");
    RegCloseKey(key);
    return out[0] != '\0';
}
