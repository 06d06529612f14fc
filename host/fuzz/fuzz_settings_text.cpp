// The settings file's decoder on arbitrary file contents, and the round trip
// of every record the dialog can produce through the encoder and back.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "settings/proxy_setting.h"

static void Require(int ok, const char* what)
{
    if (!ok) {
        fprintf(stderr, "settings text: %s\n", what);
        abort();
    }
}

static int IsLead932(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

static int IsTrail932(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

static int Terminated(const char* field, size_t capacity)
{
    return strnlen(field, capacity) < capacity;
}

// Decodes the input as a settings file would be decoded: every text must end
// inside its field and must come, in order, from the decoded text.
static void CheckDecode(const uint8_t* data, size_t size)
{
    char* file = (char*)malloc(size + 1);
    memcpy(file, data, size);
    file[size] = '\0';
    ProxySetting got;

    Require(DecodeProxyText(&got, file, (int)size) == 1, "decoding failed");
    Require(file[size] == '\0', "the byte after the data was changed");

    const char* texts[6] = {got.autoHost, got.autoPort, got.ipHost, got.ipPort, got.domainHost, got.domainPort};
    const size_t capacities[6] = {PROXY_HOST_CAPACITY, PROXY_PORT_CAPACITY, PROXY_HOST_CAPACITY,
                                  PROXY_PORT_CAPACITY, PROXY_HOST_CAPACITY, PROXY_PORT_CAPACITY};
    const char* from = file;
    for (int i = 0; i < 6; i++) {
        Require(Terminated(texts[i], capacities[i]), "a text runs past its field");
        size_t len = strlen(texts[i]);
        if (len == 0) {
            continue;
        }
        const char* at = (const char*)memmem(from, (size_t)(file + size - from), texts[i], len);
        Require(at != NULL, "a text that the data does not hold in that order");
        from = at + len;
    }
    free(file);
}

// A text as the dialog could hand it over: whole characters of code page 932
// (a lead byte without its trail byte is dropped), no comma, no zero byte,
// no CR LF pair, cut at the last whole character that fits.
static void DialogText(char* out, size_t capacity, const char* in, size_t n)
{
    size_t used = 0;
    size_t i = 0;

    while (i < n) {
        unsigned char c = (unsigned char)in[i];
        size_t len = 1;
        if (IsLead932(c)) {
            if (i + 1 >= n || !IsTrail932((unsigned char)in[i + 1])) {
                i++;
                continue;
            }
            len = 2;
        } else if (c == ',' || c == '\0' || (c == '\n' && used > 0 && out[used - 1] == '\r')) {
            i++;
            continue;
        }
        if (used + len + 1 > capacity) {
            break;
        }
        memcpy(out + used, in + i, len);
        used += len;
        i += len;
    }
    out[used] = '\0';
}

// The input, complemented, read as up to seven comma-separated pieces: the
// first gives the mode, the others the six texts.
static void MakeRecord(ProxySetting* record, const uint8_t* data, size_t size)
{
    char* plain = (char*)malloc(size + 1);
    for (size_t i = 0; i < size; i++) {
        plain[i] = (char)(255 - data[i]);
    }
    plain[size] = '\0';

    char* texts[6] = {record->autoHost, record->autoPort, record->ipHost,
                      record->ipPort, record->domainHost, record->domainPort};
    const size_t capacities[6] = {PROXY_HOST_CAPACITY, PROXY_PORT_CAPACITY, PROXY_HOST_CAPACITY,
                                  PROXY_PORT_CAPACITY, PROXY_HOST_CAPACITY, PROXY_PORT_CAPACITY};
    memset(record, 0, sizeof(*record));

    size_t start = 0;
    for (int piece = 0; piece < 7 && start <= size; piece++) {
        const char* comma = (const char*)memchr(plain + start, ',', size - start);
        size_t end = comma ? (size_t)(comma - plain) : size;
        if (piece == 0) {
            char digits[32];
            size_t n = end - start < sizeof(digits) - 1 ? end - start : sizeof(digits) - 1;
            memcpy(digits, plain + start, n);
            digits[n] = '\0';
            record->mode = (int)(uint32_t)strtoll(digits, NULL, 10);
        } else {
            DialogText(texts[piece - 1], capacities[piece - 1], plain + start, end - start);
        }
        start = end + 1;
    }
    free(plain);
}

static void CheckRoundTrip(const uint8_t* data, size_t size)
{
    ProxySetting record;
    MakeRecord(&record, data, size);

    char* encoded = (char*)malloc(PROXY_TEXT_MAX + 1);
    int length = EncodeProxyText(&record, encoded);
    size_t expected = (size_t)snprintf(NULL, 0, "%d,", record.mode) + strlen(record.autoHost)
                      + strlen(record.autoPort) + strlen(record.ipHost) + strlen(record.ipPort)
                      + strlen(record.domainHost) + strlen(record.domainPort) + 6;
    Require(length >= 0 && (size_t)length == expected, "encoded length differs from the record's text");
    Require(length <= PROXY_TEXT_MAX, "encoded text longer than the longest record");

    char* file = (char*)malloc((size_t)length + 1);
    memcpy(file, encoded, (size_t)length);
    file[length] = '\0';
    ProxySetting back;
    Require(DecodeProxyText(&back, file, length) == 1, "decoding failed");

    if (back.mode != record.mode || strcmp(back.autoHost, record.autoHost) != 0
        || strcmp(back.autoPort, record.autoPort) != 0 || strcmp(back.ipHost, record.ipHost) != 0
        || strcmp(back.ipPort, record.ipPort) != 0 || strcmp(back.domainHost, record.domainHost) != 0
        || strcmp(back.domainPort, record.domainPort) != 0) {
        fprintf(stderr, "wrote mode %d, read back %d; the settings text:", record.mode, back.mode);
        for (int i = 0; i < length; i++) {
            fprintf(stderr, " %02X", 255 - (unsigned char)encoded[i]);
        }
        fprintf(stderr, "\n");
        Require(0, "the record read back differs from the one written");
    }
    free(file);
    free(encoded);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckDecode(data, size);
    CheckRoundTrip(data, size);
    return 0;
}
