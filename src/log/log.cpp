#include "log.h"

#include "../text/text.h"

HANDLE g_hLogFile = NULL;
int g_logCount = 0;

int OpenLogFile(void)
{
    HANDLE file = CreateFileA("proxy.log", GENERIC_WRITE, FILE_SHARE_WRITE, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);

    if (file == INVALID_HANDLE_VALUE) {
        g_hLogFile = NULL;
        return 0;
    }
    g_hLogFile = file;
    return 1;
}

// The bytes of one write are complemented in a copy, so that the caller's
// message stays as it was.
static void WriteComplemented(const char* text, int length)
{
    char buffer[1024];
    DWORD written;

    CopyMemory(buffer, text, length);
    ComplementBytes(buffer, length);
    WriteFile(g_hLogFile, buffer, (DWORD)length, &written, NULL);
}

void WriteLog(const char* message)
{
    char stamp[1024];
    SYSTEMTIME now;
    int length;

    if (g_logCount >= LOG_MAX_ENTRIES) {
        if (g_hLogFile != NULL) {
            CloseHandle(g_hLogFile);
        }
        OpenLogFile();
        g_logCount = 0;
    }
    if (g_hLogFile == NULL && !OpenLogFile()) {
        return;
    }
    GetLocalTime(&now);
    length = FormatLogStamp(stamp, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    WriteComplemented(stamp, length);
    WriteComplemented(message, LogMessageLength(message));
    g_logCount++;
}
