#pragma once

// Another copy of this program, started before this one.

namespace nimbral {

// Brings the window another running copy of this program shows to the front (the message box it
// waits on, when it waits on one). False when no other copy shows a window.
bool BringOtherCopyToFront();

}  // namespace nimbral
