#include "text.h"

#include <string.h>

#include "charstep.h"

int GetToken(char* out, const char* src, const char* delim, int delimLen, int capacity)
{
    const char* pos = src;
    int count = 0;
    int copied = 0;
    int full = 0;

    for (;;) {
        int len = (int)(TextNext(pos) - pos);
        if (len == 0) {
            break;
        }
        if (len == 1 && pos[0] == '\r' && pos[1] == '\n') {
            break;
        }
        if (len == delimLen && memcmp(pos, delim, (size_t)len) == 0) {
            break;
        }
        // Once one character has not fitted, later ones are dropped too, so
        // that out holds a prefix of the token and never a gap.
        if (!full && copied + len + 1 <= capacity) {
            memcpy(out + copied, pos, (size_t)len);
            copied += len;
        } else {
            full = 1;
        }
        count += len;
        pos += len;
    }
    out[copied] = '\0';
    return count;
}

int FindStr(const char* buf, int bufLen, const char* pat, int patLen)
{
    int i;

    if (patLen < 0 || bufLen < patLen) {
        return -1;
    }
    for (i = 0; i <= bufLen - patLen; i++) {
        if (memcmp(buf + i, pat, (size_t)patLen) == 0) {
            return i;
        }
    }
    return -1;
}

void ComplementBytes(char* data, int length)
{
    int i;

    for (i = 0; i < length; i++) {
        data[i] = (char)(255 - (unsigned char)data[i]);
    }
}
