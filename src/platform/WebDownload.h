#pragma once

// Fetching one file from the web, as the program's update of the community rules does: the system's
// internet library, the file kept in memory up to a limit, with a way to follow and stop it.

#include <cstdint>
#include <functional>
#include <string>

namespace nimbral {

struct Download {
    enum class Outcome {
        kDone,       // the whole file, as the server announced it
        kHttpError,  // the server answered with another status than 200
        kTooLarge,   // it is, or grew, larger than the limit
        kCutShort,   // the connection ended before the file did
        kStalled,    // nothing came for too long
        kCancelled,  // progress asked to stop
        kFailed,     // no answer at all: no server, no connection, a refused address
    };
    Outcome outcome = Outcome::kFailed;
    unsigned status = 0;  // the HTTP status, once the server answered
    std::string body;
};

class WebDownload {
  public:
    // Called with what has come so far and what the server announced (0 when it did not), as bytes
    // come and at least every few tens of milliseconds while they do not, so that a window can stay
    // alive; false stops the download.
    using Progress = std::function<bool(std::uint64_t received, std::uint64_t total)>;

    virtual ~WebDownload() = default;
    virtual Download Fetch(const std::string& url, std::uint64_t limit, const Progress& progress) = 0;
};

// Puts a new file in the place of an old one in one step.
class FileReplacer {
  public:
    virtual ~FileReplacer() = default;
    // Writes content beside path, then moves it over path. On any failure the file at path stays as it
    // was and nothing is left beside it; false then.
    virtual bool Replace(const std::string& path, const std::string& content) = 0;
};

}  // namespace nimbral
