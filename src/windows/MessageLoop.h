#pragma once

// The program's message handling on its one thread: the main loop and the pumping that long work does
// between pieces. Both hand keyboard messages to the modeless windows first, so Tab, Enter and Escape
// work in every window that is up, not only in modal ones.

#include <windows.h>

namespace nimbral {

// The modeless windows of this thread. Window handles and the loop that must see their keys belong
// to a thread, and so does this list.
class ModelessWindows {
  public:
    static void Add(HWND window);
    static void Remove(HWND window);
    // True when one of them took the message as a dialog key (or any other dialog message).
    static bool TakeDialogMessage(MSG& message);
};

// One retrieved message: to a modeless window's dialog handling, or translated and dispatched.
void HandleMessage(MSG& message);

// Handles every message that is waiting. A quit request is left in the queue for the loop that ends
// on it; the answer is then false.
bool ProcessPendingMessages();

// Runs until a quit request; answers its exit code.
int RunMessageLoop();

}  // namespace nimbral
