#include "tests/net/TestHttpServer.h"

#include "platform/core/FileUtils.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace {

int ListenOnLoopback(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) throw std::runtime_error("bind");
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

std::string ChunkSize(size_t n) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "%zx", n);
    return hex;
}

const char* Reason(int status) {
    switch (status) {
        case 200: return "OK";
        case 404: return "Not Found";
        case 500: return "Internal Server Error";
        default: return "Status";
    }
}

}  // namespace

// One accepted connection, plain or TLS. Reads and writes give up after 5 s of silence.
class TestHttpServer::Connection {
public:
    Connection(int fd, SSL_CTX* tls) : fd_(fd) {
        timeval timeout{5, 0};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        if (tls) {
            ssl_ = SSL_new(tls);
            if (ssl_) SSL_set_fd(ssl_, fd_);
        }
    }
    ~Connection() {
        if (ssl_) {
            if (open_ && !abrupt_) SSL_shutdown(ssl_);
            SSL_free(ssl_);
        }
        close(fd_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The TLS handshake (nothing for plain HTTP); false when the client broke it off.
    bool Open(bool tls) {
        open_ = !tls || (ssl_ && SSL_accept(ssl_) == 1);
        return open_;
    }
    // Bytes received, 0 at the end or on an error.
    size_t Read(char* buffer, size_t size) {
        if (ssl_) {
            const int n = SSL_read(ssl_, buffer, static_cast<int>(size));
            return n > 0 ? static_cast<size_t>(n) : 0;
        }
        const ssize_t n = recv(fd_, buffer, size, 0);
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
    // False when the client is gone.
    bool Write(const char* data, size_t size) {
        while (size > 0) {
            const long n = ssl_ ? SSL_write(ssl_, data, static_cast<int>(size))
                                : static_cast<long>(send(fd_, data, size, MSG_NOSIGNAL));
            if (n <= 0) return false;
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }
    bool Write(const std::string& s) { return Write(s.data(), s.size()); }
    // Waits until the client sends more or hangs up, at most `ms`, or until `stop` is set.
    void WaitForClient(int ms, const std::atomic<bool>& stop) {
        for (int waited = 0; waited < ms && !stop; waited += 100) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 100) != 0) return;
        }
    }
    // The connection ends without TLS's close_notify.
    void EndAbruptly() { abrupt_ = true; }

private:
    int fd_;
    SSL* ssl_ = nullptr;
    bool open_ = false;
    bool abrupt_ = false;
};

std::string TestHttpServer::TlsFile(const std::string& name) {
    return std::string(MORVANE_TEST_DATA) + "/tls/" + name;
}

std::string HeaderValue(const std::string& block, const std::string& name) {
    size_t pos = 0;
    while (pos < block.size()) {
        size_t end = block.find("\r\n", pos);
        if (end == std::string::npos) end = block.size();
        const std::string line = block.substr(pos, end - pos);
        const size_t colon = line.find(':');
        if (colon == name.size()) {
            bool same = true;
            for (size_t i = 0; i < colon; ++i)
                same = same && std::tolower(static_cast<unsigned char>(line[i])) ==
                                   std::tolower(static_cast<unsigned char>(name[i]));
            if (same) {
                size_t v = colon + 1;
                while (v < line.size() && line[v] == ' ') ++v;
                return line.substr(v);
            }
        }
        pos = end + 2;
    }
    return {};
}

TestHttpServer::TestHttpServer() { Start(); }

TestHttpServer::TestHttpServer(const std::string& certificate) {
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    if (!ctx) throw std::runtime_error("SSL_CTX_new");
    tls_ = ctx;
    if (SSL_CTX_use_certificate_chain_file(ctx, TlsFile(certificate).c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(ctx, TlsFile("server.key").c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_check_private_key(ctx) != 1) {
        SSL_CTX_free(ctx);
        throw std::runtime_error("cannot load the test certificate " + certificate);
    }
    Start();
}

void TestHttpServer::Start() {
    listener_ = ListenOnLoopback(port_);
    listen(listener_, 16);
    thread_ = std::thread([this] { Serve(); });
}

TestHttpServer::~TestHttpServer() {
    stop_ = true;
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
    SSL_CTX_free(static_cast<SSL_CTX*>(tls_));
}

int TestHttpServer::ClosedPort() {
    int port = 0;
    const int fd = ListenOnLoopback(port);
    close(fd);  // bound but never listening: connections are refused
    return port;
}

void TestHttpServer::Route(const std::string& target, Response response) {
    std::lock_guard<std::mutex> lock(mutex_);
    routes_[target] = std::move(response);
}

std::string TestHttpServer::Base() const {
    return (tls_ ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_);
}

std::vector<std::string> TestHttpServer::Targets() {
    std::lock_guard<std::mutex> lock(mutex_);
    return targets_;
}

std::vector<std::string> TestHttpServer::HeaderBlocks() {
    std::lock_guard<std::mutex> lock(mutex_);
    return headerBlocks_;
}

void TestHttpServer::Serve() {
    // A client that hangs up early must not end the test program: writes then fail with EPIPE.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        Connection client(fd, static_cast<SSL_CTX*>(tls_));
        if (client.Open(tls_ != nullptr)) Handle(client);
    }
}

void TestHttpServer::Handle(Connection& client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const size_t n = client.Read(buffer, sizeof buffer);
        if (n == 0) return;
        request.append(buffer, n);
    }
    const size_t lineEnd = request.find("\r\n");
    const std::string line = request.substr(0, lineEnd);
    const size_t s1 = line.find(' ');
    const size_t s2 = line.find(' ', s1 + 1);
    const std::string target = line.substr(s1 + 1, s2 - s1 - 1);

    Response response;
    response.status = 404;
    response.body = "<html><body>Not Found</body></html>";
    {
        std::lock_guard<std::mutex> lock(mutex_);
        targets_.push_back(target);
        headerBlocks_.push_back(request.substr(lineEnd + 2, request.find("\r\n\r\n") - lineEnd));
        auto it = routes_.find(target);
        if (it != routes_.end()) response = it->second;
    }
    if (response.abrupt) client.EndAbruptly();
    std::string head = response.interim + "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
    if (response.framing == Framing::Length)
        head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    else if (response.framing == Framing::Chunked)
        head += "Transfer-Encoding: chunked\r\n";
    head += "Connection: close\r\n";
    for (const std::string& h : response.headers) head += h + "\r\n";
    head += "\r\n";
    if (!client.Write(head)) return;

    const size_t size = response.body.size();
    const size_t end = response.truncateAt >= 0 ? std::min(size, static_cast<size_t>(response.truncateAt)) : size;
    const size_t stall = response.stallAt >= 0 ? std::min(end, static_cast<size_t>(response.stallAt)) : end;
    const size_t piece = response.dripBytes > 0 ? response.dripBytes : size + 1;
    const bool chunked = response.framing == Framing::Chunked;
    for (size_t at = 0; at < stall;) {
        const size_t n = std::min(piece, stall - at);
        std::string data = response.body.substr(at, n);
        if (chunked) data = ChunkSize(n) + "\r\n" + data + "\r\n";
        if (!client.Write(data)) return;
        at += n;
        if (at < stall && response.dripMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(response.dripMs));
    }
    if (stall < end) {
        client.WaitForClient(10000, stop_);
        return;
    }
    if (chunked && end == size) client.Write("0\r\n\r\n");
}

const std::string& RealProgram() {
    static const std::string bytes = [] {
        std::string b;
        EXPECT_TRUE(ReadFileBytes(STANDIN_PATH, b));
        return b;
    }();
    return bytes;
}
