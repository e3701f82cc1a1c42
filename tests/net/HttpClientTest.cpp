#include "platform/net/HttpClient.h"
#include "tests/net/TestHttpServer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

namespace {

struct WorkLog {
    std::vector<std::string> events;     // "begin:<max>", "work:<count>", "end"
    void Attach(THttpClient& c) {
        c.OnWorkBegin = [this](THttpClient&, TWorkMode, int64_t max) { events.push_back("begin:" + std::to_string(max)); };
        c.OnWork = [this](THttpClient&, TWorkMode, int64_t n) { events.push_back("work:" + std::to_string(n)); };
        c.OnWorkEnd = [this](THttpClient&, TWorkMode) { events.push_back("end"); };
    }
};

std::string Pattern(size_t size) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return s;
}

}  // namespace

TEST(HttpClient, GetStringSendsTheRequestSettingsAndReportsProgress) {
    TestHttpServer server;
    server.Route("/update.inf", {200, "Morvane=1.23\r\nMsg=none\r\n", {}, -1});
    THttpClient client;
    client.Request.ContentType = "text/html";
    client.Request.Accept = "text/html, */*";
    client.Request.UserAgent = "Morvo for test";
    WorkLog log;
    log.Attach(client);

    EXPECT_EQ(client.Get(server.Base() + "/update.inf"), "Morvane=1.23\r\nMsg=none\r\n");
    EXPECT_EQ(client.ResponseCode(), 200);
    ASSERT_EQ(server.HeaderBlocks().size(), 1u);
    const std::string headers = server.HeaderBlocks()[0];
    EXPECT_EQ(HeaderValue(headers, "User-Agent"), "Morvo for test");
    EXPECT_EQ(HeaderValue(headers, "Accept"), "text/html, */*");
    EXPECT_EQ(HeaderValue(headers, "Content-Type"), "text/html");
    ASSERT_GE(log.events.size(), 3u);
    EXPECT_EQ(log.events.front(), "begin:24");
    EXPECT_EQ(log.events[log.events.size() - 2], "work:24");
    EXPECT_EQ(log.events.back(), "end");
}

TEST(HttpClient, GetIntoStreamDeliversLargeBodiesInOrderWithGrowingProgress) {
    TestHttpServer server;
    const std::string body = Pattern(700 * 1024);
    server.Route("/file", {200, body, {}, -1});
    THttpClient client;
    std::vector<int64_t> counts;
    client.OnWork = [&](THttpClient&, TWorkMode, int64_t n) { counts.push_back(n); };
    std::ostringstream out;
    client.Get(server.Base() + "/file", out);
    EXPECT_TRUE(out.str() == body);
    ASSERT_GT(counts.size(), 1u);
    for (size_t i = 1; i < counts.size(); ++i) EXPECT_GT(counts[i], counts[i - 1]);
    EXPECT_EQ(counts.back(), static_cast<int64_t>(body.size()));
}

TEST(HttpClient, FailuresArriveAsOneExceptionClass) {
    TestHttpServer server;
    server.Route("/short", {200, Pattern(5000), {}, 1000});
    THttpClient client;
    WorkLog log;
    log.Attach(client);

    // An error status: the error page is not delivered and no progress is shown.
    std::ostringstream out;
    try {
        client.Get(server.Base() + "/missing", out);
        FAIL() << "a 404 must fail";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.ResponseCode, 404);
    }
    EXPECT_TRUE(out.str().empty());
    EXPECT_TRUE(log.events.empty());

    // A body that breaks off: the progress display still ends.
    EXPECT_THROW(client.Get(server.Base() + "/short"), EHttpError);
    ASSERT_FALSE(log.events.empty());
    EXPECT_EQ(log.events.front(), "begin:5000");
    EXPECT_EQ(log.events.back(), "end");

    // Nobody listening.
    try {
        client.Get("http://127.0.0.1:" + std::to_string(TestHttpServer::ClosedPort()) + "/x");
        FAIL() << "a refused connection must fail";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.ResponseCode, 0);
    }
    EXPECT_FALSE(client.Busy());

    // Only HTTP is spoken.
    EXPECT_THROW(client.Get("file:///etc/hostname"), EHttpError);

    // A target that cannot take the data, with and without stream exceptions.
    server.Route("/file", {200, Pattern(300 * 1024), {}, -1});
    std::ofstream full("/dev/full", std::ios::binary);
    ASSERT_TRUE(full.is_open());
    EXPECT_THROW(client.Get(server.Base() + "/file", full), EHttpError);
    std::ofstream fullThrowing("/dev/full", std::ios::binary);
    fullThrowing.exceptions(std::ios::badbit | std::ios::failbit);
    EXPECT_THROW(client.Get(server.Base() + "/file", fullThrowing), EHttpError);

    // A string body has a limit.
    server.Route("/big", {200, Pattern(3000), {}, -1});
    client.MaxStringSize = 2000;
    EXPECT_THROW(client.Get(server.Base() + "/big"), EHttpError);
}

TEST(HttpClient, LimitsAndAnUnmarkedEndFailTheTransfer) {
    using Framing = TestHttpServer::Framing;
    TestHttpServer server("localhost.pem");
    // Each server below would finish the body, so only the client's limit can fail it. A stall
    // lasts until the client hangs up, at most 10 s, then the close ends the (empty) body. The
    // speed is measured over the last seconds, so bytes sent before a stall would delay its end.
    TestHttpServer::Response stall{200, Pattern(5000), {}, -1, Framing::Close};
    stall.stallAt = 0;
    TestHttpServer::Response drip{200, Pattern(1200), {}, -1};
    drip.dripBytes = 100;
    drip.dripMs = 100;   // 1000 bytes/s
    TestHttpServer::Response longDrip = drip;
    longDrip.body = Pattern(5000);
    // Stalls after more than the limit, so only the limit can end it before the total timeout.
    TestHttpServer::Response pastLimit = stall;
    pastLimit.stallAt = 4000;
    const auto closed = [](std::vector<std::string> headers, std::string interim = {}) {
        TestHttpServer::Response r{200, Pattern(3000), std::move(headers), -1, Framing::Close};
        r.interim = std::move(interim);
        return r;
    };
    TestHttpServer::Response afterInterim{200, Pattern(3000), {}, -1};
    afterInterim.interim = "HTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\n";
    const auto requireEnd = [](THttpClient& c) { c.RequireBodyEnd = true; };
    struct Case {
        const char* what;
        TestHttpServer::Response response;
        std::function<void(THttpClient&)> limit;
        bool fails;
    } cases[] = {
        {"stalled, read timeout", stall, [](THttpClient& c) { c.ReadTimeout = 1000; }, true},
        {"stalled, total timeout", stall, [](THttpClient& c) { c.TotalTimeout = 300; }, true},
        {"dripping below the floor", longDrip, [](THttpClient& c) { c.ReadTimeout = 1000, c.ReadMinSpeed = 4000; }, true},
        {"dripping above the floor", drip, [](THttpClient& c) { c.ReadTimeout = 1000, c.ReadMinSpeed = 100; }, false},
        {"announced larger than allowed", {200, Pattern(3000), {}, -1},
         [](THttpClient& c) { c.MaxStreamSize = 2999; }, true},
        {"chunked larger than allowed", {200, Pattern(3000), {}, -1, Framing::Chunked},
         [](THttpClient& c) { c.MaxStreamSize = 2999; }, true},
        {"as large as allowed", {200, Pattern(3000), {}, -1}, [](THttpClient& c) { c.MaxStreamSize = 3000; }, false},
        {"ended by the close", {200, Pattern(3000), {}, -1, Framing::Close},
         [](THttpClient& c) { c.RequireBodyEnd = true; }, true},
        {"ended by the close, allowed", {200, Pattern(3000), {}, -1, Framing::Close}, nullptr, false},
        {"chunked", {200, Pattern(3000), {}, -1, Framing::Chunked}, [](THttpClient& c) { c.RequireBodyEnd = true; },
         false},
        {"stalled past the limit", pastLimit, [](THttpClient& c) { c.MaxStreamSize = 3000, c.TotalTimeout = 3000; },
         true},
        // libcurl ignores a length it cannot read and reads such a body to the close.
        {"unusable length, ended by the close", closed({"Content-Length: 12345678901234567890123"}), requireEnd,
         true},
        {"unusable length, ended by the close, allowed", closed({"Content-Length: 12345678901234567890123"}),
         nullptr, false},
        {"chunked under another name", closed({"X-Transfer-Encoding: chunked", "X-Note: chunked"}), requireEnd,
         true},
        {"length of a 1xx response", closed({}, "HTTP/1.1 103 Early Hints\r\nContent-Length: 3000\r\n\r\n"),
         requireEnd, true},
        {"chunked 1xx response", closed({}, "HTTP/1.1 103 Early Hints\r\nTransfer-Encoding: chunked\r\n\r\n"),
         requireEnd, true},
        {"announced after a 1xx response", afterInterim, requireEnd, false},
    };
    for (const Case& c : cases) {
        server.Route("/file", c.response);
        THttpClient client;
        client.TrustedCAFile = TestHttpServer::TlsFile("ca.pem");
        if (c.limit) c.limit(client);
        std::ostringstream out;
        if (c.fails) {
            EXPECT_THROW(client.Get(server.Base() + "/file", out), EHttpError) << c.what;
            if (client.MaxStreamSize > 0) {
                EXPECT_LE(static_cast<int64_t>(out.str().size()), client.MaxStreamSize) << c.what;
            }
        } else {
            EXPECT_NO_THROW(client.Get(server.Base() + "/file", out)) << c.what;
            EXPECT_TRUE(out.str() == c.response.body) << c.what;
        }
    }
}

TEST(HttpClient, AHandlersExceptionAbortsTheTransferAndReachesTheCaller) {
    TestHttpServer server;
    server.Route("/file", {200, Pattern(400 * 1024), {}, -1});
    THttpClient client;
    bool sawBusy = false, reentryFailed = false;
    bool ended = false;
    client.OnWork = [&](THttpClient& c, TWorkMode, int64_t) {
        sawBusy = c.Busy();
        try {
            c.Get(server.Base() + "/file");
        } catch (const EHttpError&) {
            reentryFailed = true;
        }
        throw std::logic_error("stop");
    };
    client.OnWorkEnd = [&](THttpClient&, TWorkMode) { ended = true; };
    EXPECT_THROW(client.Get(server.Base() + "/file"), std::logic_error);
    EXPECT_TRUE(sawBusy);
    EXPECT_TRUE(reentryFailed);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(client.Busy());

    // The client stays usable.
    client.OnWork = nullptr;
    EXPECT_EQ(client.Get(server.Base() + "/file").size(), 400u * 1024u);

    // Each of the three handlers, the last one after a complete body too.
    WorkLog log;
    for (int thrower = 0; thrower < 3; ++thrower) {
        log.Attach(client);
        const auto stop = [](auto&&...) { throw std::logic_error("stop"); };
        if (thrower == 0) client.OnWorkBegin = stop;
        if (thrower == 1) client.OnWork = stop;
        if (thrower == 2) client.OnWorkEnd = stop;
        EXPECT_THROW(client.Get(server.Base() + "/file"), std::logic_error) << thrower;
        EXPECT_FALSE(client.Busy());
    }
}

TEST(HttpClient, CookiesAreKeptBetweenRequestsOnlyWhenAllowed) {
    TestHttpServer server;
    server.Route("/login", {200, "ok", {"Set-Cookie: session=abc; Path=/"}, -1});
    server.Route("/next", {200, "ok", {}, -1});
    THttpClient client;
    client.Get(server.Base() + "/login");
    client.Get(server.Base() + "/next");
    EXPECT_EQ(HeaderValue(server.HeaderBlocks().back(), "Cookie"), "session=abc");

    client.AllowCookies = false;
    client.Get(server.Base() + "/next");
    EXPECT_EQ(HeaderValue(server.HeaderBlocks().back(), "Cookie"), "");
}

TEST(HttpClient, ForceEncodeParamsEncodesUnsafeBytes) {
    EXPECT_EQ(EncodeUrl("http://h/a b?x=\"1\"&y=%41"), "http://h/a%20b?x=%221%22&y=%41");
    EXPECT_EQ(EncodeUrl(std::string("/\xB0\xA1")), "/%B0%A1");

    TestHttpServer server;
    THttpClient client;
    client.HTTPOptions = hoForceEncodeParams;
    server.Route("/a%20b?q=%7Bx%7D", {200, "found", {}, -1});
    EXPECT_EQ(client.Get(server.Base() + "/a b?q={x}"), "found");
}

TEST(HttpClient, AnEmptyBodyStillShowsAndHidesProgress) {
    TestHttpServer server;
    server.Route("/empty", {200, "", {}, -1});
    THttpClient client;
    WorkLog log;
    log.Attach(client);
    EXPECT_EQ(client.Get(server.Base() + "/empty"), "");
    EXPECT_EQ(log.events, (std::vector<std::string>{"begin:0", "end"}));
}

TEST(HttpClient, OverlongHeaderLinesFailUnlessSplitIsAllowed) {
    TestHttpServer server;
    server.Route("/long", {200, "body", {"X-Long: " + std::string(300, 'a')}, -1});
    THttpClient client;
    client.MaxLineLength = 100;
    EXPECT_THROW(client.Get(server.Base() + "/long"), EHttpError);
    client.MaxLineAction = maSplit;
    EXPECT_EQ(client.Get(server.Base() + "/long"), "body");
}
