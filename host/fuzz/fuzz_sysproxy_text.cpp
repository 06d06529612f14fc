// ParseSysProxyText on arbitrary proxy texts: on 1 the host is 1 to 1023
// characters of "0123456789." taken from right after the first "http=";
// on 0 neither output is touched.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "probe/probe_text.h"
#include "text/charstep.h"

#define HOST_ROOM 1024
#define SENTINEL 0xA5
#define PORT_SENTINEL 0x5A5A5A5A

static void Require(int ok, const char* what)
{
    if (!ok) {
        fprintf(stderr, "ParseSysProxyText: %s\n", what);
        abort();
    }
}

// atoi of the port run when it is plain ASCII shorter than the port buffer,
// where stepping by bytes and by characters agree; -1 when that is not so.
static int SimplePortRun(const char* p, char* run, size_t room)
{
    size_t n = 0;

    while (p[n] != '\0' && p[n] != ' ' && !(p[n] == '\r' && p[n + 1] == '\n')) {
        if ((unsigned char)p[n] >= 0x80 || n + 1 >= room) {
            return -1;
        }
        n++;
    }
    memcpy(run, p, n);
    run[n] = '\0';
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    char* text = (char*)malloc(size + 1);
    memcpy(text, data, size);
    text[size] = '\0';
    char* host = (char*)malloc(HOST_ROOM);
    memset(host, SENTINEL, HOST_ROOM);
    int port = PORT_SENTINEL;

    int result = ParseSysProxyText(text, host, &port);

    Require(result == 0 || result == 1, "result neither 0 nor 1");
    if (result == 0) {
        for (size_t i = 0; i < HOST_ROOM; i++) {
            Require((unsigned char)host[i] == SENTINEL, "host written on 0");
        }
        Require(port == PORT_SENTINEL, "port written on 0");
    } else {
        size_t hostLen = strnlen(host, HOST_ROOM);
        Require(hostLen < HOST_ROOM, "host not terminated within 1024 bytes");
        Require(hostLen >= 1, "empty host on 1");
        Require(strspn(host, "0123456789.") == hostLen, "host holds a character other than digits and '.'");

        const char* entry = strstr(text, "http=");
        Require(entry != NULL, "1 without \"http=\"");
        const char* run = entry + 5;
        Require(memcmp(run, host, hostLen) == 0, "host is not the text after the first \"http=\"");
        // Unless the next character did not fit, the host is the whole run.
        const char* next = run + hostLen;
        size_t nextLen = (size_t)(CharNext932(next) - next);
        if (hostLen + nextLen + 1 <= HOST_ROOM) {
            Require(*next == ':', "host run not ended by ':'");
            char portRun[1024];
            if (SimplePortRun(run + hostLen + 1, portRun, sizeof(portRun)) == 0) {
                Require(port == atoi(portRun), "port is not the number after ':'");
            }
        }
    }

    free(host);
    free(text);
    return 0;
}
