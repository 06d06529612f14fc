#ifndef KILN_PROXY_SETTING_H
#define KILN_PROXY_SETTING_H

#define PROXY_NONE 0
#define PROXY_AUTO 1
#define PROXY_MANUAL_IP 2
#define PROXY_MANUAL_DOMAIN 3

#define PROXY_HOST_CAPACITY 128
#define PROXY_PORT_CAPACITY 64

// The longest settings text: a mode of 11 characters and seven commas, three
// hosts of 127 bytes and three ports of 63.
#define PROXY_TEXT_MAX 588

typedef struct ProxySetting {
    int mode;
    char autoHost[PROXY_HOST_CAPACITY];
    char autoPort[PROXY_PORT_CAPACITY];
    char ipHost[PROXY_HOST_CAPACITY];
    char ipPort[PROXY_PORT_CAPACITY];
    char domainHost[PROXY_HOST_CAPACITY];
    char domainPort[PROXY_PORT_CAPACITY];
} ProxySetting;

// Complements the size bytes of data in place and reads the settings text
// they then hold into *out. data[size] must be a zero byte: the end of the
// data ends the last field the way a terminator would.
int DecodeProxyText(ProxySetting* out, char* data, int size);

// Writes the record's settings text, complemented, into out (room for
// PROXY_TEXT_MAX + 1 bytes) and returns its length. No terminator is counted.
int EncodeProxyText(const ProxySetting* setting, char* out);

#endif
