#include <gtest/gtest.h>

#include <string>

#include "probe/probe.h"
#include "support.h"

struct ProxyCase {
    std::string text;
    int result;
    std::string host;
    int port;
};

TEST(ParseSysProxyText, Table)
{
    std::string longHost(1500, '1');
    const ProxyCase cases[] = {
        {"10.0.0.1:80", 0, "", 0},
        {"http=10.0.0.1:80 https=10.0.0.2:443", 1, "10.0.0.1", 80},
        {"ftp=10.0.0.9:21 http=192.168.1.5:81", 1, "192.168.1.5", 81},
        {"http=10.0.0.1:80 http=10.0.0.2:81", 1, "10.0.0.1", 80},
        {"http=10.0.0.1:80;https=10.0.0.1:443", 1, "10.0.0.1", 80},
        {"http=gateway7:80", 0, "", 0},
        {"https=10.0.0.2:443", 0, "", 0},
        {"HTTP=10.0.0.1:80", 0, "", 0},
        {"http=:80", 0, "", 0},
        {"http= 10.0.0.1:80", 0, "", 0},
        {"http=10.0.0.1:", 1, "10.0.0.1", 0},
        {"http=10.0.0.1: 80", 1, "10.0.0.1", 0},
        {"http=10.0.0.1:80x", 1, "10.0.0.1", 80},
        {"http=1.2.3:999", 1, "1.2.3", 999},
        {"http=10.0.0.1:-1", 1, "10.0.0.1", -1},
        {"xhttp=10.0.0.1:8080", 1, "10.0.0.1", 8080},
        // No ':' after the address: no port to read.
        {"http=10.0.0.1", 0, "", 0},
        {"http=10.0.0.1\r\n:80", 0, "", 0},
        {"http=", 0, "", 0},
        {"", 0, "", 0},
        // The host is cut to 1023 characters; the port still follows the ':'.
        {"http=" + longHost + ":3128", 1, longHost.substr(0, 1023), 3128},
        {"http=10.0.0.1:" + std::string(1500, '7'), 1, "10.0.0.1", atoi(std::string(1023, '7').c_str())},
    };

    for (const ProxyCase& c : cases) {
        char host[1024] = "untouched";
        int port = 12345;
        int result = ParseSysProxyText(c.text.c_str(), host, &port);
        std::string name = c.text.substr(0, 60);
        EXPECT_EQ(result, c.result) << name;
        if (c.result == 1) {
            EXPECT_EQ(std::string(host), c.host) << name;
            EXPECT_EQ(port, c.port) << name;
        } else {
            EXPECT_STREQ(host, "untouched") << name;
            EXPECT_EQ(port, 12345) << name;
        }
    }
}

// Wine's WinINet hands the program only what follows the first "http=" of
// ProxyServer, cut at the first ';'. So "http=" + T arrives as T.
struct QueryCase {
    int enable;
    const char* server;
    int result;
    const char* host;
    int port;
};

TEST(GetSysProxy, ThroughWinInet)
{
    SavedInternetSettings saved;
    const QueryCase cases[] = {
        {1, "http=http=10.0.0.1:80", 1, "10.0.0.1", 80},
        {1, "http=http=10.0.0.1:80 https=10.0.0.2:443", 1, "10.0.0.1", 80},
        {1, "http=ftp=10.0.0.9:21 http=192.168.1.5:81", 1, "192.168.1.5", 81},
        {1, "http=http=gateway7:80", 0, "", 0},
        {1, "http=10.0.0.1:80", 0, "", 0},
        {0, "http=http=10.0.0.1:80", 0, "", 0},
        {-1, NULL, 0, "", 0},
    };

    for (const QueryCase& c : cases) {
        char host[1024] = "untouched";
        int port = 12345;
        std::string name = c.server ? c.server : "(none)";
        name += c.enable == 1 ? " enabled" : " disabled";
        ASSERT_TRUE(SetInternetProxy(c.enable, c.server)) << name;
        EXPECT_EQ(GetSysProxy(host, &port), c.result) << name;
        if (c.result == 1) {
            EXPECT_STREQ(host, c.host) << name;
            EXPECT_EQ(port, c.port) << name;
        } else {
            EXPECT_STREQ(host, "untouched") << name;
        }
    }
}
