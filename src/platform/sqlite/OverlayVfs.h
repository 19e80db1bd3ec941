#pragma once

// A way of opening databases that reads the real files and keeps every change in memory. A
// database opened through it can be cleaned exactly as a clean would clean it (statements, integrity
// check, commit, checkpoint) while the files it names are never written, created, truncated or
// deleted: what a change would leave is only seen by this connection. Locks are taken on the real
// database file, and the real file is opened as a clean opens it, so another program that has the
// file open or locked is met as the clean would meet it.

#include <memory>
#include <string>

struct sqlite3_vfs;

namespace nimbral {

class OverlayVfs {
  public:
    // Stands over SQLite's default VFS of this system, under a name of its own.
    OverlayVfs();
    OverlayVfs(const OverlayVfs&) = delete;
    OverlayVfs& operator=(const OverlayVfs&) = delete;
    // Every connection opened through it must be closed before.
    ~OverlayVfs();

    // The name to open databases with (sqlite3_open_v2's last argument). A file opened again later
    // is seen as the connections before left it.
    const char* Name() const;

    struct State;

  private:
    std::unique_ptr<State> state_;
};

}  // namespace nimbral
