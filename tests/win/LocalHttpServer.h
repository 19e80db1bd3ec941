#pragma once

// A web server on 127.0.0.1, started by a test on threads of its own, for the tests of downloads:
// each path answers the way the test set it up (a whole file, one cut short, one that stalls, one
// that never ends). Nothing a test does with it reaches the network.

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace nimbral::wintest {

struct HttpAnswer {
    std::string status = "200 OK";
    std::string body;
    // The Content-Length header; none for a body that ends when the connection does.
    bool announce = true;
    // What is said of the body's length when it is announced; its real length when none.
    std::optional<std::uint64_t> announcedLength = {};
    // Sent this much of the body, then the connection is closed...
    std::optional<std::size_t> cutAfter = {};
    // ...or held open without another byte, until the client gives up.
    std::optional<std::size_t> stallAfter = {};
    // A body of this many bytes made up as it is sent: a rule file's header, then comment lines.
    std::uint64_t generated = 0;
    // The body in pieces of this size, each after a pause.
    std::size_t pieceSize = 64 * 1024;
    unsigned pauseMs = 0;
};

class LocalHttpServer {
  public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    void Serve(const std::string& path, HttpAnswer answer);
    std::string Url(const std::string& path) const;
    // How many requests have been answered.
    int Requests() const { return requests_; }

  private:
    void Loop();
    void Answer(std::uintptr_t client);

    std::uintptr_t listener_ = ~std::uintptr_t{0};
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::mutex mutex_;
    std::map<std::string, HttpAnswer> answers_;
    std::thread thread_;
    // One for each connection, so that one held open does not keep the next waiting.
    std::vector<std::thread> connections_;
};

}  // namespace nimbral::wintest
