#include "probe.h"

#include <string.h>

#include "sysdll.h"

int GetSysProxy(char* hostOut, int* portOut)
{
    // The proxy record's texts follow it in the same buffer.
    DWORD buffer[4096 / sizeof(DWORD)];
    DWORD length = sizeof(buffer);
    const INTERNET_PROXY_INFO* info = (const INTERNET_PROXY_INFO*)buffer;

    memset(buffer, 0, sizeof(buffer));
    if (!SysInternetQueryOptionA(NULL, INTERNET_OPTION_PROXY, buffer, &length)) {
        return 0;
    }
    if (info->lpszProxy == NULL || info->lpszProxy[0] == '\0') {
        return 0;
    }
    return ParseSysProxyText((const char*)info->lpszProxy, hostOut, portOut);
}
