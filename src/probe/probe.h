#ifndef KILN_PROBE_H
#define KILN_PROBE_H

#include <windows.h>

#include "probe_text.h"

int ReadRegValue(HKEY key, const char* name, char* out, DWORD capacity, const char* fallback);
int GetAppPath(char* out, DWORD capacity);

// The system's HTTP proxy, from the Internet settings: 1 with a numeric host
// (hostOut has room for 1024 bytes) and a port; 0 writes neither.
int GetSysProxy(char* hostOut, int* portOut);

#endif
