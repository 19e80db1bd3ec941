#pragma once

#include "platform/FileSystem.h"
#include "platform/WebDownload.h"

namespace nimbral::win32 {

// Downloads with the internet library in its asynchronous mode, so that the program's one thread
// never blocks on a server: it waits for each piece in short steps, asking the progress function
// between them, and a download that is cancelled or stalls is abandoned at once.
class Win32WebDownload final : public WebDownload {
  public:
    // stallMs: how long nothing may come before the download is given up. direct: no proxy, for a
    // server on this machine.
    explicit Win32WebDownload(unsigned stallMs = 30000, bool direct = false) : stallMs_(stallMs), direct_(direct) {}

    Download Fetch(const std::string& url, std::uint64_t limit, const Progress& progress) override;

  private:
    unsigned stallMs_;
    bool direct_;
};

// Writes the new file beside the old one ("<name>.part"), then moves it over the old one. What is
// left beside after a failure goes through the file system's one deletion.
class Win32FileReplacer final : public FileReplacer {
  public:
    explicit Win32FileReplacer(FileSystem& fileSystem) : fileSystem_(fileSystem) {}
    bool Replace(const std::string& path, const std::string& content) override;

  private:
    FileSystem& fileSystem_;
};

}  // namespace nimbral::win32
