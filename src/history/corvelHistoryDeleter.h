#pragma once

// The history library's one entry, shared by the library and the program that loads it.

namespace nimbral::history {

inline constexpr char kLibraryName[] = "corvelHistoryDeleter.dll";
inline constexpr char kEntryName[] = "doDeleteHistory";

// Takes no arguments and returns nothing; nothing that goes wrong inside it reaches the caller.
// __stdcall, as library entries of this system are; corvelHistoryDeleter.def exports it under its
// bare name, which a 32-bit build would otherwise decorate as _doDeleteHistory@0.
using DoDeleteHistoryProc = void(__stdcall*)();

}  // namespace nimbral::history

// Clears the browser history of the machine it runs on: every history entry of the URL cache.
extern "C" void __stdcall doDeleteHistory() noexcept;
