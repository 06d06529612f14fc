#include <gtest/gtest.h>

#include <limits.h>
#include <string>

#include "exact.h"
#include "settings/proxy_setting.h"
#include "text/text.h"

static const size_t kCapacities[6] = {PROXY_HOST_CAPACITY, PROXY_PORT_CAPACITY, PROXY_HOST_CAPACITY,
                                      PROXY_PORT_CAPACITY, PROXY_HOST_CAPACITY, PROXY_PORT_CAPACITY};

static const char* Text(const ProxySetting& s, int i)
{
    const char* texts[6] = {s.autoHost, s.autoPort, s.ipHost, s.ipPort, s.domainHost, s.domainPort};
    return texts[i];
}

// Decodes the complement of plain from a buffer of exactly its size and the
// zero byte the decoder asks for; every text must end inside its field.
static ProxySetting DecodePlain(const std::string& plain, const std::string& name)
{
    Buffer data = ExactText(plain);
    ComplementBytes(data.get(), (int)plain.size());
    ProxySetting got;
    memset(&got, 0x55, sizeof(got));

    EXPECT_EQ(DecodeProxyText(&got, data.get(), (int)plain.size()), 1) << name;
    for (int i = 0; i < 6; i++) {
        EXPECT_LT(strnlen(Text(got, i), kCapacities[i]), kCapacities[i]) << name << ", field " << i;
    }
    return got;
}

struct DecodeCase {
    const char* name;
    std::string plain;
    int mode;
    std::string texts[6];
};

TEST(DecodeProxyText, DamagedTexts)
{
    std::string a300(300, 'a');
    std::string nines(100, '9');
    std::string host126(126, 'h');
    std::string port62(62, 'p');
    const DecodeCase cases[] = {
        {"no data", "", 0, {"", "", "", "", "", ""}},
        {"lead byte as the last byte", "3,a,b,c,d,e,\x81", 3, {"a", "b", "c", "d", "e", "\x81"}},
        {"CR as the last byte", "1,h\r", 1, {"h\r", "", "", "", "", ""}},
        {"CR LF at the end", "1,h\r\n", 1, {"h", "\n", "", "", "", ""}},
        {"lead byte before a comma takes it", "1,\x81,x,y,", 1, {"\x81,x", "y", "", "", "", ""}},
        {"lead byte takes the CR of CR LF", "1,\x81\r\nz,p,", 1, {"\x81\r\nz", "p", "", "", "", ""}},
        {"bytes FF in the text (00 in the file)", "1,\xFF\xFE,p,", 1, {"\xFF\xFE", "p", "", "", "", ""}},
        {"every field overlong", "2," + a300 + "," + nines + "," + a300 + "," + nines + "," + a300 + "," + nines + ",",
         2, {a300.substr(0, 127), nines.substr(0, 63), a300.substr(0, 127), nines.substr(0, 63), a300.substr(0, 127),
             nines.substr(0, 63)}},
        {"double-byte across the last byte of a host and of a port",
         "1," + host126 + "\x82\xA0" "," + port62 + "\x82\xA0" ",x,", 1, {host126, port62, "x", "", "", ""}},
        {"mode token of 1023 blanks and a digit", std::string(1023, ' ') + "5,h,", 0, {"h", "", "", "", "", ""}},
        {"mode token of 1022 blanks and a digit", std::string(1022, ' ') + "5,h,", 5, {"h", "", "", "", "", ""}},
        {"mode -2147483648", "-2147483648,h,", INT_MIN, {"h", "", "", "", "", ""}},
        {"comma at the very end of a short text", "1,h,", 1, {"h", "", "", "", "", ""}},
    };

    for (const DecodeCase& c : cases) {
        ProxySetting got = DecodePlain(c.plain, c.name);
        EXPECT_EQ(got.mode, c.mode) << c.name;
        for (int i = 0; i < 6; i++) {
            EXPECT_EQ(std::string(Text(got, i)), c.texts[i]) << c.name << ", field " << i;
        }
    }
}

// Every file of one or two bytes, which covers each lead byte, CR, comma and
// zero byte at the very end of the data.
TEST(DecodeProxyText, EveryShortFileStaysInItsFields)
{
    for (int a = 0; a < 256; a++) {
        DecodePlain(std::string(1, (char)a), "one byte " + std::to_string(a));
        for (int b = 0; b < 256; b++) {
            std::string plain;
            plain += (char)a;
            plain += (char)b;
            DecodePlain(plain, "two bytes " + std::to_string(a) + " " + std::to_string(b));
        }
    }
}

// Whole characters only: a piece of double-byte and single-byte characters
// repeated and filled up with single bytes to exactly n bytes.
static std::string Mixed(size_t n)
{
    static const std::string piece = "\x83\x76\x83\x8D" "a" "\x8E\xA9" "9";
    std::string text;
    while (text.size() + piece.size() <= n) {
        text += piece;
    }
    return text + std::string(n - text.size(), 'x');
}

struct EncodeCase {
    int mode;
    size_t length;
};

TEST(EncodeProxyText, LongestRecordsFitAndReadBack)
{
    const EncodeCase cases[] = {{INT_MIN, PROXY_TEXT_MAX}, {INT_MAX, PROXY_TEXT_MAX - 1}, {-1, PROXY_TEXT_MAX - 9}};
    std::string host = Mixed(127), port = Mixed(63);

    for (const EncodeCase& c : cases) {
        ProxySetting s;
        memset(&s, 0, sizeof(s));
        s.mode = c.mode;
        memcpy(s.autoHost, host.c_str(), host.size() + 1);
        memcpy(s.ipHost, host.c_str(), host.size() + 1);
        memcpy(s.domainHost, host.c_str(), host.size() + 1);
        memcpy(s.autoPort, port.c_str(), port.size() + 1);
        memcpy(s.ipPort, port.c_str(), port.size() + 1);
        memcpy(s.domainPort, port.c_str(), port.size() + 1);

        Buffer out = Filled(PROXY_TEXT_MAX + 1, 'X');
        int length = EncodeProxyText(&s, out.get());
        ASSERT_EQ((size_t)length, c.length) << c.mode;

        std::string plain(out.get(), (size_t)length);
        ComplementBytes(&plain[0], length);
        std::string pair = host + "," + port + ",";
        EXPECT_EQ(plain, std::to_string(c.mode) + "," + pair + pair + pair) << c.mode;

        ProxySetting back = DecodePlain(plain, std::to_string(c.mode));
        EXPECT_EQ(back.mode, c.mode);
        for (int i = 0; i < 6; i++) {
            EXPECT_STREQ(Text(back, i), Text(s, i)) << c.mode << ", field " << i;
        }
    }
}
