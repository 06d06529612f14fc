#include "charstep.h"

static int IsLead932(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

const char* CharNext932(const char* p)
{
    if (*p == '\0') {
        return p;
    }
    if (IsLead932((unsigned char)p[0]) && p[1] != '\0') {
        return p + 2;
    }
    return p + 1;
}
