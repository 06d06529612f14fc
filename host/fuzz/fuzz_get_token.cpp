// GetToken with capacity, delimiter and delimiter length taken from the
// input. Input: 2 bytes of capacity (1..2048), 1 byte choosing delimLen
// (-1..3), 3 delimiter bytes, then the text.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "text/charstep.h"
#include "text/text.h"

#define SENTINEL 0xA5

static void Require(int ok, const char* what, int capacity, int delimLen, int result)
{
    if (!ok) {
        fprintf(stderr, "GetToken: %s (capacity %d, delimLen %d, result %d)\n", what, capacity, delimLen, result);
        abort();
    }
}

static int StepAt(const char* p)
{
    return (int)(CharNext932(p) - p);
}

// Whether the scan must stop at the character at p, of length len.
static int IsStop(const char* p, int len, const char* delim, int delimLen)
{
    if (len == 0) {
        return 1;
    }
    if (len == 1 && p[0] == '\r' && p[1] == '\n') {
        return 1;
    }
    return len == delimLen && memcmp(p, delim, (size_t)len) == 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6) {
        return 0;
    }
    int capacity = 1 + ((data[0] | (data[1] << 8)) % 2048);
    int delimLen = (data[2] % 5) - 1;
    size_t textSize = size - 6;

    // Every buffer has exactly its stated size, so that a byte read or written
    // past it is caught.
    char* delim = (char*)malloc(delimLen > 0 ? (size_t)delimLen : 1);
    memcpy(delim, data + 3, delimLen > 0 ? (size_t)delimLen : 0);
    char* text = (char*)malloc(textSize + 1);
    memcpy(text, data + 6, textSize);
    text[textSize] = '\0';
    char* out = (char*)malloc((size_t)capacity);
    memset(out, SENTINEL, (size_t)capacity);

    int result = GetToken(out, text, delim, delimLen, capacity);

    int textLen = (int)strlen(text);
    Require(result >= 0 && result <= textLen, "result outside the text", capacity, delimLen, result);

    size_t copied = strnlen(out, (size_t)capacity);
    Require(copied < (size_t)capacity, "out not terminated within capacity", capacity, delimLen, result);
    Require((int)copied <= result, "out longer than the token", capacity, delimLen, result);
    Require(memcmp(out, text, copied) == 0, "out is not a prefix of the token", capacity, delimLen, result);
    for (size_t i = copied + 1; i < (size_t)capacity; i++) {
        Require((unsigned char)out[i] == SENTINEL, "written past the terminator", capacity, delimLen, result);
    }

    // The token is whole characters up to the first stop, and out holds as
    // many of its first characters as fit with the terminator.
    int pos = 0;
    int copiedOnBoundary = copied == 0;
    while (pos < result) {
        int len = StepAt(text + pos);
        Require(!IsStop(text + pos, len, delim, delimLen), "token runs over a stop", capacity, delimLen, result);
        if ((size_t)pos == copied) {
            Require(pos + len + 1 > capacity, "a character that fits was dropped", capacity, delimLen, result);
        }
        pos += len;
        if ((size_t)pos == copied) {
            copiedOnBoundary = 1;
        }
    }
    Require(pos == result, "result not on a character boundary", capacity, delimLen, result);
    Require(copiedOnBoundary, "out ends inside a character", capacity, delimLen, result);
    Require(IsStop(text + result, StepAt(text + result), delim, delimLen), "token ends before no stop", capacity,
            delimLen, result);

    free(out);
    free(text);
    free(delim);
    return 0;
}
