#include "probe_text.h"

#include <stdlib.h>
#include <string.h>

#include "../text/text.h"

int ParseSysProxyText(const char* proxy, char* hostOut, int* portOut)
{
    char host[1024];
    char port[1024];
    int at;
    int hostLen;
    const char* hostStart;

    at = FindStr(proxy, (int)strlen(proxy), "http=", 5);
    if (at < 0) {
        return 0;
    }
    hostStart = proxy + at + 5;
    hostLen = GetToken(host, hostStart, ":", 1, sizeof(host));
    if (hostLen == 0) {
        return 0;
    }
    // Without a ':' there is no port to read, and stepping over the
    // character that ended the host would leave the text.
    if (hostStart[hostLen] != ':') {
        return 0;
    }
    GetToken(port, hostStart + hostLen + 1, " ", 1, sizeof(port));
    if (strspn(host, "0123456789.") != strlen(host)) {
        return 0;
    }
    memcpy(hostOut, host, strlen(host) + 1);
    *portOut = atoi(port);
    return 1;
}

int TerminateRegText(char* out, unsigned long size, unsigned long capacity)
{
    if (size > capacity) {
        return 0;
    }
    if (size > 0 && out[size - 1] == '\0') {
        return 1;
    }
    if (size == capacity) {
        return 0;
    }
    out[size] = '\0';
    return 1;
}
