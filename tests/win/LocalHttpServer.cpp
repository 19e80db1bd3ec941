#include "LocalHttpServer.h"

#include <windows.h>
#include <winsock2.h>

#include <algorithm>
#include <stdexcept>

#include "platform/win32/UniqueHandles.h"

namespace nimbral::wintest {

namespace {

struct SocketTraits {
    using Handle = SOCKET;
    static Handle Empty() { return INVALID_SOCKET; }
    static void Close(Handle h) { ::closesocket(h); }
};
using UniqueSocket = win32::UniqueAny<SocketTraits>;

// Whether the socket can be read (or was closed by its other end) within the wait.
bool Readable(SOCKET socket, unsigned waitMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval wait = {0, static_cast<long>(waitMs) * 1000};
    return ::select(0, &set, nullptr, nullptr, &wait) == 1;
}

bool SendAll(SOCKET socket, const char* data, std::size_t size) {
    while (size > 0) {
        const int sent = ::send(socket, data, static_cast<int>(std::min<std::size_t>(size, 1 << 20)), 0);
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

std::string GeneratedPiece(std::uint64_t at, std::size_t size) {
    static const std::string header = "; Version: 1\r\n";
    std::string piece;
    while (piece.size() < size) {
        if (at + piece.size() < header.size())
            piece += header.substr(static_cast<std::size_t>(at + piece.size()));
        else
            piece += "; filler line of a file that never ends\r\n";
    }
    piece.resize(size);
    return piece;
}

}  // namespace

LocalHttpServer::LocalHttpServer() {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        throw std::runtime_error("WSAStartup failed");
    UniqueSocket listener(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (!listener || ::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.get(), 8) != 0 ||
        ::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ::ntohs(address.sin_port);
    listener_ = listener.release();
    thread_ = std::thread([this] { Loop(); });
}

LocalHttpServer::~LocalHttpServer() {
    stop_ = true;
    thread_.join();
    for (std::thread& connection : connections_)
        connection.join();
    UniqueSocket listener(listener_);
    ::WSACleanup();
}

void LocalHttpServer::Serve(const std::string& path, HttpAnswer answer) {
    const std::lock_guard<std::mutex> lock(mutex_);
    answers_[path] = std::move(answer);
}

std::string LocalHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LocalHttpServer::Loop() {
    while (!stop_) {
        if (!Readable(listener_, 50))
            continue;
        const SOCKET client = ::accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        connections_.emplace_back([this, client] {
            UniqueSocket owned(client);
            Answer(owned.get());
        });
    }
}

void LocalHttpServer::Answer(std::uintptr_t socketValue) {
    const auto client = static_cast<SOCKET>(socketValue);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && !stop_) {
        if (!Readable(client, 50))
            continue;
        const int got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            return;
        request.append(buffer, static_cast<std::size_t>(got));
    }
    ++requests_;
    const std::size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    HttpAnswer answer;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto found = answers_.find(path);
        if (found == answers_.end())
            answer = HttpAnswer{"404 Not Found", "not here"};
        else
            answer = found->second;
    }
    const std::uint64_t length = answer.generated ? answer.generated : answer.body.size();
    std::string head = "HTTP/1.1 " + answer.status + "\r\nContent-Type: text/plain\r\nConnection: close\r\n";
    if (answer.announce)
        head += "Content-Length: " + std::to_string(answer.announcedLength.value_or(length)) + "\r\n";
    head += "\r\n";
    if (!SendAll(client, head.data(), head.size()))
        return;

    const std::uint64_t upTo = std::min<std::uint64_t>(
        length, answer.cutAfter ? *answer.cutAfter : (answer.stallAfter ? *answer.stallAfter : length));
    for (std::uint64_t sent = 0; sent < upTo && !stop_;) {
        const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(answer.pieceSize, upTo - sent));
        const std::string piece =
            answer.generated ? GeneratedPiece(sent, size) : answer.body.substr(static_cast<std::size_t>(sent), size);
        if (!SendAll(client, piece.data(), piece.size()))
            return;
        sent += size;
        if (answer.pauseMs)
            ::Sleep(answer.pauseMs);
    }
    if (answer.stallAfter) {
        // Until the client gives up and closes its end, or the test ends.
        while (!stop_) {
            if (Readable(client, 50) && ::recv(client, buffer, sizeof buffer, 0) <= 0)
                return;
        }
    }
    ::shutdown(client, SD_SEND);
}

}  // namespace nimbral::wintest
