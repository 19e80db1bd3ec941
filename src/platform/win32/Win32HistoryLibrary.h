#pragma once

#include <string>

#include "history/corvelHistoryDeleter.h"
#include "platform/HistoryLibrary.h"
#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

// Loads the history library by name at the first call, not before: a machine without it runs
// every other step, and the library stays loaded for as long as this object lives.
class Win32HistoryLibrary final : public HistoryLibrary {
  public:
    explicit Win32HistoryLibrary(std::string libraryName = history::kLibraryName);

    bool DeleteHistory() override;

  private:
    std::string libraryName_;
    UniqueHmodule module_;
    history::DoDeleteHistoryProc doDeleteHistory_ = nullptr;
};

}  // namespace nimbral::win32
