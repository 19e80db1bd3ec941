#pragma once

#include <windows.h>

#include "system/modRebrand.h"

namespace nimbral::win32 {

// The identity values from the version information of a module (the running program by default).
// Fields the resource lacks stay empty.
Identity ReadIdentity(HMODULE module = nullptr);

}  // namespace nimbral::win32
