#ifndef KILN_SETTINGS_H
#define KILN_SETTINGS_H

#include <stdio.h>

#include "proxy_setting.h"

// Reads the whole file, followed by extra zero bytes, into a GlobalAlloc
// buffer that the caller frees. 0 on success; 1 cannot open, 2 no size,
// 3 no memory.
int ReadFileAll(const char* path, char** data, int* length, int extra);

// Reads the settings file into *out; on 0 *out is the empty record.
int ParseProxyBuf(ProxySetting* out, const char* path);

// Replaces the settings file with the record. 1 only when the whole text is
// in place; on 0 the file that stood there before is left as it was.
int WriteProxyFile(const char* path, const ProxySetting* setting);

// A settings file being written: the text goes to a temporary file beside
// the real one, which is replaced only once the text is complete, so that a
// failed write never leaves a truncated setting.bin behind.
typedef struct SettingWriter {
    FILE* file;
    char tempPath[1024 + 8];
} SettingWriter;

int OpenSettingWriter(SettingWriter* writer, const char* path);
int CommitSettingWriter(SettingWriter* writer, const char* path, const ProxySetting* setting);

extern char g_settingPath[1024];
extern ProxySetting g_proxySetting;

int LoadProxyFile(void);
int AnalyProxyBuf(const char* path, ProxySetting* out);
int MakeDefaultProxyFile(const char* path);

#endif
