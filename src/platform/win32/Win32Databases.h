#pragma once

// Database files on Windows: opened only where the file SQLite opens is the file named, never
// through a link or junction, and never while another program keeps it to itself.

#include "platform/sqlite/SqliteDatabases.h"

namespace nimbral::win32 {

class Win32Databases final : public SqliteDatabases {
  public:
    using SqliteDatabases::SqliteDatabases;

    // Opened for reading with no sharing at all: a running browser's lock file refuses that.
    bool HeldByAnother(const std::string& path) override;

  protected:
    // The database, and each journal, log or index of it that is there, must each be the entry named.
    std::string RefusalBeforeOpen(const std::string& path) override;
    // Asked again of the handle SQLite holds, so nothing can be swapped in between the two.
    std::string RefusalOfOpened(const std::string& path, Connection& connection) override;
};

}  // namespace nimbral::win32
