#pragma once

namespace nimbral {

// The history library: one operation that clears the browser history of the machine.
class HistoryLibrary {
  public:
    virtual ~HistoryLibrary() = default;
    // False when the library could not be loaded or lacks its entry; the caller does not care.
    virtual bool DeleteHistory() = 0;
};

}  // namespace nimbral
