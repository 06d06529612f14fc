#include "proxy_setting.h"

#include <stdlib.h>
#include <string.h>

#include "../text/charstep.h"
#include "../text/text.h"

// Reads one comma-ended field starting at *start into field and moves *start
// past the character that ended it. A field that starts at or beyond the end
// of the data stays empty.
static void ReadField(char* field, int capacity, const char* text, int size, int* start)
{
    if (*start >= size) {
        field[0] = '\0';
        return;
    }
    *start += GetToken(field, text + *start, ",", 1, capacity) + 1;
}

int DecodeProxyText(ProxySetting* out, char* data, int size)
{
    char work[1024];
    int start = 0;

    memset(out, 0, sizeof(*out));
    ComplementBytes(data, size);

    ReadField(work, sizeof(work), data, size, &start);
    out->mode = atoi(work);
    ReadField(out->autoHost, sizeof(out->autoHost), data, size, &start);
    ReadField(out->autoPort, sizeof(out->autoPort), data, size, &start);
    ReadField(out->ipHost, sizeof(out->ipHost), data, size, &start);
    ReadField(out->ipPort, sizeof(out->ipPort), data, size, &start);
    ReadField(out->domainHost, sizeof(out->domainHost), data, size, &start);
    ReadField(out->domainPort, sizeof(out->domainPort), data, size, &start);
    return 1;
}

int EncodeProxyText(const ProxySetting* setting, char* out)
{
    int length = TextFormat(out, "%d,%s,%s,%s,%s,%s,%s,", setting->mode,
                            setting->autoHost, setting->autoPort,
                            setting->ipHost, setting->ipPort,
                            setting->domainHost, setting->domainPort);
    ComplementBytes(out, length);
    return length;
}
