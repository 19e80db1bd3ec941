#pragma once

// One clean at a time in a user's session, headless or from the window: two cleans over the same
// folders race for their entries, and each then logs what the other did.

#include <string>

#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

class CleanLock {
  public:
    // The lock of the product's cleans in this session ("Local\" + product + " clean").
    explicit CleanLock(const std::string& productName);

    // True when this process holds the lock now, as it may already; false while another holds it.
    // A lock its holder left by ending without letting go is taken over.
    bool Acquire();
    void Release();
    // Whether another process holds the lock now.
    bool HeldElsewhere();

  private:
    UniqueHandle mutex_;
    bool held_ = false;
};

}  // namespace nimbral::win32
