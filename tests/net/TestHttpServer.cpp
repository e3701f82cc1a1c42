#include "tests/net/TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
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

void SendAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return;
        data += n;
        size -= static_cast<size_t>(n);
    }
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

TestHttpServer::TestHttpServer() {
    listener_ = ListenOnLoopback(port_);
    listen(listener_, 16);
    thread_ = std::thread([this] { Serve(); });
}

TestHttpServer::~TestHttpServer() {
    stop_ = true;
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
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

std::string TestHttpServer::Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> TestHttpServer::Targets() {
    std::lock_guard<std::mutex> lock(mutex_);
    return targets_;
}

std::vector<std::string> TestHttpServer::HeaderBlocks() {
    std::lock_guard<std::mutex> lock(mutex_);
    return headerBlocks_;
}

void TestHttpServer::Serve() {
    while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        Handle(client);
        close(client);
    }
}

void TestHttpServer::Handle(int client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        pollfd p{client, POLLIN, 0};
        if (poll(&p, 1, 5000) <= 0) return;
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        request.append(buffer, static_cast<size_t>(n));
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
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
    head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    head += "Connection: close\r\n";
    for (const std::string& h : response.headers) head += h + "\r\n";
    head += "\r\n";
    SendAll(client, head.data(), head.size());
    size_t bodySize = response.body.size();
    if (response.truncateAt >= 0 && static_cast<size_t>(response.truncateAt) < bodySize)
        bodySize = static_cast<size_t>(response.truncateAt);
    SendAll(client, response.body.data(), bodySize);
}
