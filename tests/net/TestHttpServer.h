#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: it answers each request from a table of routes
// (the request target, query included) on a port the system picks, one connection per request.
// It speaks plain HTTP, or HTTPS itself (OpenSSL) with a certificate from tests/data/tls.

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TestHttpServer {
public:
    // How the end of a response body is marked.
    enum class Framing {
        Length,    // "Content-Length" announces the whole body
        Chunked,   // chunked transfer coding; its last chunk ends the body
        Close,     // nothing: the body ends where the connection closes
    };

    struct Response {
        int status = 200;
        std::string body;
        std::vector<std::string> headers;   // extra header lines, without line ends
        // Send only this many body bytes (framed as for the whole body), then close.
        long truncateAt = -1;
        Framing framing = Framing::Length;
        // End the connection with a plain TCP close, without TLS's close_notify.
        bool abrupt = false;
        // After this many body bytes send nothing more until the client hangs up (at most 10 s).
        long stallAt = -1;
        // Send the body in pieces of this many bytes with dripMs between them; 0: at once.
        size_t dripBytes = 0;
        int dripMs = 0;
        // Sent as it stands before the status line: an interim (1xx) response, its empty line
        // included.
        std::string interim{};
    };

    // Plain HTTP.
    TestHttpServer();
    // HTTPS with the certificate `certificate` of tests/data/tls ("localhost.pem",
    // "wronghost.pem", "expired.pem"), all signed by TlsFile("ca.pem").
    explicit TestHttpServer(const std::string& certificate);
    ~TestHttpServer();

    // The path of `name` in tests/data/tls.
    static std::string TlsFile(const std::string& name);

    void Route(const std::string& target, Response response);
    // "http://127.0.0.1:<port>", or "https://127.0.0.1:<port>"
    std::string Base() const;

    // The request targets and header blocks received so far, in order.
    std::vector<std::string> Targets();
    std::vector<std::string> HeaderBlocks();

    // A port on 127.0.0.1 on which nothing listens.
    static int ClosedPort();

private:
    class Connection;
    void Start();
    void Serve();
    void Handle(Connection& client);

    void* tls_ = nullptr;   // SSL_CTX*, null for plain HTTP
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::map<std::string, Response> routes_;
    std::vector<std::string> targets_;
    std::vector<std::string> headerBlocks_;
    std::thread thread_;
};

// The value of header `name` (ignoring case) in a header block; empty when absent.
std::string HeaderValue(const std::string& block, const std::string& name);

// A real program of this machine (the updater stand-in built beside the tests): what the update
// serves. Read once; empty, with a failed expectation, when it cannot be read.
const std::string& RealProgram();
