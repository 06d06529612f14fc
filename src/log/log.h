#ifndef KILN_LOG_H
#define KILN_LOG_H

#include <windows.h>

#include "log_text.h"

// Entries per file: the entry that finds this many already written starts
// the file anew.
#define LOG_MAX_ENTRIES 800000

extern HANDLE g_hLogFile;
extern int g_logCount;

int OpenLogFile(void);
void WriteLog(const char* message);

#endif
