#include "settings.h"

#include <windows.h>
#include <io.h>
#include <string.h>

int ReadFileAll(const char* path, char** data, int* length, int extra)
{
    HANDLE file;
    DWORD size;
    DWORD read = 0;
    char* buffer;

    file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    size = GetFileSize(file, NULL);
    if (size == INVALID_FILE_SIZE) {
        CloseHandle(file);
        return 2;
    }
    buffer = (char*)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, (SIZE_T)size + (SIZE_T)extra);
    if (buffer == NULL) {
        CloseHandle(file);
        return 3;
    }
    // A short read leaves zero bytes, which read as empty fields.
    ReadFile(file, buffer, size, &read, NULL);
    CloseHandle(file);
    *data = buffer;
    *length = (int)size + extra;
    return 0;
}

int ParseProxyBuf(ProxySetting* out, const char* path)
{
    char* data;
    int length;

    memset(out, 0, sizeof(*out));
    // One zero byte more than the file holds ends the last field, so that
    // no scan can run past the buffer.
    if (ReadFileAll(path, &data, &length, 1) != 0) {
        return 0;
    }
    DecodeProxyText(out, data, length - 1);
    GlobalFree(data);
    return 1;
}

// A settings file that Windows would not let "wb" rewrite (read-only, and
// also hidden or system: creating over those fails unless the same
// attributes are asked for) is never replaced either. MoveFileEx would
// replace such a file under Wine, and a hidden or system one under Windows,
// so the writer looks before it writes anything.
static int IsProtectedFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    DWORD protection = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & protection) != 0;
}

int OpenSettingWriter(SettingWriter* writer, const char* path)
{
    size_t length = strlen(path);

    if (length + sizeof(".tmp") > sizeof(writer->tempPath) || IsProtectedFile(path)) {
        return 0;
    }
    memcpy(writer->tempPath, path, length);
    memcpy(writer->tempPath + length, ".tmp", sizeof(".tmp"));
    writer->file = fopen(writer->tempPath, "wb");
    return writer->file != NULL;
}

static int WriteAndClose(FILE* file, const char* text, int length)
{
    int ok = fwrite(text, 1, (size_t)length, file) == (size_t)length;

    if (fflush(file) != 0) {
        ok = 0;
    }
    // The text must be on the disk before it replaces the old file.
    if (ok && _commit(_fileno(file)) != 0) {
        ok = 0;
    }
    if (fclose(file) != 0) {
        ok = 0;
    }
    return ok;
}

int CommitSettingWriter(SettingWriter* writer, const char* path, const ProxySetting* setting)
{
    char text[PROXY_TEXT_MAX + 1];
    int length = EncodeProxyText(setting, text);

    if (!WriteAndClose(writer->file, text, length)
        || !MoveFileExA(writer->tempPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(writer->tempPath);
        return 0;
    }
    return 1;
}

int WriteProxyFile(const char* path, const ProxySetting* setting)
{
    SettingWriter writer;

    if (!OpenSettingWriter(&writer, path)) {
        return 0;
    }
    return CommitSettingWriter(&writer, path, setting);
}
