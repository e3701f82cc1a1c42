#pragma once
// A blocking HTTP client over libcurl's easy interface: request settings, GET into a string or a
// stream, and work events that report the progress of the response body. An https:// URL is
// fetched only from a server whose certificate chain verifies and names the URL's host; redirects
// are never followed.
//
// Every failure (no connection, a broken transfer, a response status other than 2xx, a write
// error of the target stream, a limit below exceeded) reaches the caller as one exception class,
// EHttpError; an exception thrown by an event handler reaches it as it was thrown. A client is used from one thread; it keeps its connection and its
// cookies between requests.

#include <cstdint>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>

class EHttpError : public std::runtime_error {
public:
    // `responseCode` is the HTTP status of the response, 0 when none was received.
    EHttpError(const std::string& message, int responseCode = 0)
        : std::runtime_error(message), ResponseCode(responseCode) {}
    int ResponseCode;
};

enum TWorkMode { wmRead, wmWrite };

// hoForceEncodeParams: bytes that may not stand in a URL (blanks, control bytes, bytes >= 0x80,
// '"', '<', '>', '\', '^', '`', '{', '|', '}') are sent percent-encoded.
enum THTTPOption : unsigned { hoForceEncodeParams = 1u };
using THTTPOptions = unsigned;

// What happens to a response header line longer than MaxLineLength: maException fails the
// request, maSplit accepts it.
enum TMaxLineAction { maException, maSplit };

struct THttpRequest {
    std::string ContentType;             // sent as "Content-Type" when not empty
    std::string Accept = "text/html, */*";
    std::string UserAgent;               // sent as "User-Agent" when not empty
};

class THttpClient {
public:
    using TWorkBeginEvent = std::function<void(THttpClient& Sender, TWorkMode Mode, int64_t WorkCountMax)>;
    using TWorkEvent = std::function<void(THttpClient& Sender, TWorkMode Mode, int64_t WorkCount)>;
    using TWorkEndEvent = std::function<void(THttpClient& Sender, TWorkMode Mode)>;

    THttpClient();
    virtual ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    THttpRequest Request;
    THTTPOptions HTTPOptions = 0;
    bool AllowCookies = true;
    TMaxLineAction MaxLineAction = maException;
    int MaxLineLength = 16384;            // bytes of one header line, line end included
    int ConnectTimeout = 0;               // ms to establish the connection; 0 = no limit
    // The low-speed floor: a transfer that receives fewer than ReadMinSpeed bytes per second for
    // ReadTimeout ms (rounded up to whole seconds) fails, so a stalled or dripping server cannot
    // hold the caller. The speed is libcurl's average over the last few seconds, so a stall right
    // after a burst of data is seen only once the burst has left that window. ReadTimeout 0 = no
    // floor.
    int ReadTimeout = 0;
    int ReadMinSpeed = 1;                 // bytes per second
    int TotalTimeout = 0;                 // ms for a whole request, connection included; 0 = no limit
    int64_t MaxStringSize = 16 << 20;     // bytes a GET into a string accepts before it fails; 0 = no limit
    int64_t MaxStreamSize = 0;            // bytes a GET into a stream accepts before it fails; 0 = no limit
    // True: a response body whose end nothing marks fails, since a connection dropped early looks
    // the same as a complete body. That is an HTTP/1.x body without chunked coding and without a
    // "Content-Length" that libcurl can use (one it cannot read, such as a number too large for
    // it, is ignored), which ends where the connection closes. Only the final response's headers
    // count, not those of a 1xx response before it. A body that ends before its announced length
    // always fails.
    bool RequireBodyEnd = false;
    // The certificate authorities that HTTPS servers are verified against. Empty: the system's
    // certificate store. Otherwise a file of PEM certificates that alone is trusted, so that a
    // test can trust the certificate of its own local server; no user setting reaches it.
    std::string TrustedCAFile;

    // Body progress. OnWorkBegin fires once before the first block with the announced length (0
    // when the server announces none), OnWork after every block with the bytes received so far,
    // OnWorkEnd once after the last block, also when the transfer fails. A handler may throw: the
    // transfer is aborted and the handler's exception is rethrown to the caller of Get.
    TWorkBeginEvent OnWorkBegin;
    TWorkEvent OnWork;
    TWorkEndEvent OnWorkEnd;

    // The status of the last response, 0 when none was received.
    int ResponseCode() const { return responseCode_; }
    // True while a request runs (also inside the work events). A Get called then fails.
    bool Busy() const { return busy_; }

    // GET the URL; the response body as bytes.
    std::string Get(const std::string& url);
    // GET the URL, writing the response body into `out` as it arrives. Only the body of a 2xx
    // response is written.
    void Get(const std::string& url, std::ostream& out);

private:
    struct Transfer;
    void Perform(const std::string& url, Transfer& transfer);
    static size_t WriteCallback(char* data, size_t size, size_t count, void* user);
    static size_t HeaderCallback(char* data, size_t size, size_t count, void* user);

    void* curl_ = nullptr;   // CURL*, created on first use and kept for connection and cookie reuse
    // libcurl's built-in certificate file and folder (the system store); empty when it has none.
    std::string systemCAFile_, systemCAPath_;
    bool cookiesEnabled_ = false;
    int responseCode_ = 0;
    bool busy_ = false;
};

// The URL with the bytes that hoForceEncodeParams names percent-encoded; '%' itself is kept.
std::string EncodeUrl(const std::string& url);
