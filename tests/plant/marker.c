#include "marker.h"

#include <string.h>

void WriteMarker(HINSTANCE dll, const char* name)
{
    char path[MAX_PATH + 64];
    char loader[MAX_PATH];
    DWORD length = GetModuleFileNameA(dll, path, MAX_PATH);
    char* slash;
    HANDLE file;
    DWORD written;

    if (length == 0 || length >= MAX_PATH || (slash = strrchr(path, '\\')) == NULL) {
        return;
    }
    strcpy(slash + 1, name);
    file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    length = GetModuleFileNameA(NULL, loader, sizeof(loader));
    WriteFile(file, loader, length, &written, NULL);
    CloseHandle(file);
}
