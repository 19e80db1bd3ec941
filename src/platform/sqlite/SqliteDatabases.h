#pragma once

// Database files opened through SQLite: for a clean, straight on the files; for a preview, over an
// overlay that keeps every change in memory, so that the same cleaning runs unchanged and leaves
// every byte of every file as it was. The system's own checks come in through the two hooks.

#include <memory>
#include <string>

#include "platform/Database.h"

namespace nimbral {

class OverlayVfs;

class SqliteDatabases : public Databases {
  public:
    enum class Changes { kWritten, kKeptInMemory };

    explicit SqliteDatabases(Changes changes = Changes::kWritten);
    ~SqliteDatabases() override;

    OpenedDatabase Open(const std::string& path) override;
    bool HeldByAnother(const std::string& path) override { return false; }

  protected:
    // Why the file must not be opened at all (it, or a file SQLite keeps beside it, is not the entry
    // named); empty when it may.
    virtual std::string RefusalBeforeOpen(const std::string& path) { return {}; }
    // Why the file SQLite opened must not be used; empty when it may.
    virtual std::string RefusalOfOpened(const std::string& path, Connection& connection) { return {}; }

  private:
    std::unique_ptr<OverlayVfs> overlay_;
};

// How long a statement waits for another program's lock before the file counts as in use.
inline constexpr int kBusyWaitMilliseconds = 250;

}  // namespace nimbral
