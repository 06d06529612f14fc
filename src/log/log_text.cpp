#include "log_text.h"

#include <string.h>

#include "../text/charstep.h"

int FormatLogStamp(char* out, int year, int month, int day, int hour, int minute, int second)
{
    return TextFormat(out, "%d/%02d/%02d %02d:%02d:%02d  ", year, month, day, hour, minute, second);
}

int LogMessageLength(const char* message)
{
    size_t length = strlen(message);

    return length >= 1024 ? 1023 : (int)length;
}
