#include <gtest/gtest.h>

#include <string>

#include "exact.h"
#include "probe/probe_text.h"

struct ProxyCase {
    const char* name;
    std::string text;
    int result;
    std::string host;
    int port;
};

TEST(ParseSysProxyText, LongRunsAndMissingColon)
{
    std::string d1022(1022, '1'), d1023(1023, '1'), d1024(1024, '1');
    const ProxyCase cases[] = {
        {"host of 1023 digits", "http=" + d1023 + ":80", 1, d1023, 80},
        {"host of 1024 digits is cut", "http=" + d1024 + ":80", 1, d1023, 80},
        {"a letter past the cut is not seen", "http=" + d1023 + "a:80", 1, d1023, 80},
        {"a double-byte character across the cut is not seen", "http=" + d1022 + "\x9C" "1:80", 1, d1022, 80},
        {"a letter before the cut is", "http=" + d1022 + "a:80", 0, "", 0},
        {"2000 digits and no ':'", "http=" + std::string(2000, '2'), 0, "", 0},
        {"text ends after the host", "http=10.0.0.1", 0, "", 0},
        {"':' hidden in a double-byte character", "http=1.2.3.4\x81:80", 0, "", 0},
        {"port of 1023 characters", "http=1.2.3.4:" + std::string(1022, '0') + "7", 1, "1.2.3.4", 7},
        {"port of 1024 characters is cut", "http=1.2.3.4:" + std::string(1023, '0') + "7", 1, "1.2.3.4", 0},
        {"lead byte as the last byte of the port", "http=1.2.3.4:8\x81", 1, "1.2.3.4", 8},
        {"nothing after http= at the very end", "xhttp=", 0, "", 0},
    };

    for (const ProxyCase& c : cases) {
        Buffer text = ExactText(c.text);
        Buffer host = Filled(1024, '\xA5');
        int port = 12345;
        int result = ParseSysProxyText(text.get(), host.get(), &port);
        EXPECT_EQ(result, c.result) << c.name;
        if (c.result == 1) {
            EXPECT_EQ(std::string(host.get()), c.host) << c.name;
            EXPECT_EQ(port, c.port) << c.name;
        } else {
            EXPECT_EQ(std::string(host.get(), 1024), std::string(1024, '\xA5')) << c.name << ": host written";
            EXPECT_EQ(port, 12345) << c.name << ": port written";
        }
    }
}

struct TerminateCase {
    const char* name;
    std::string before;  // the buffer's capacity bytes as the query left them
    unsigned long size;
    int result;
    std::string after;
};

TEST(TerminateRegText, SizesAroundTheCapacity)
{
    const TerminateCase cases[] = {
        {"size 0", "XXXX", 0, 1, std::string("\0XXX", 4)},
        {"size 0, capacity 0", "", 0, 0, ""},
        {"capacity - 1 without a zero", "abcX", 3, 1, std::string("abc\0", 4)},
        {"capacity - 1 with a final zero", std::string("ab\0X", 4), 3, 1, std::string("ab\0X", 4)},
        {"capacity with a final zero", std::string("abc\0", 4), 4, 1, std::string("abc\0", 4)},
        {"capacity without a zero", "abcd", 4, 0, "abcd"},
        {"capacity with a zero inside only", std::string("a\0cd", 4), 4, 0, std::string("a\0cd", 4)},
        {"over capacity", "abcd", 5, 0, "abcd"},
        {"far over capacity", "abcd", 4096, 0, "abcd"},
        {"one zero byte", std::string("\0XXX", 4), 1, 1, std::string("\0XXX", 4)},
    };

    for (const TerminateCase& c : cases) {
        Buffer out = ExactBytes(c.before);
        int result = TerminateRegText(out.get(), c.size, (unsigned long)c.before.size());
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(std::string(out.get(), c.before.size()), c.after) << c.name;
    }
}
