#include "platform/win32/Win32HistoryLibrary.h"

#include <utility>

namespace nimbral::win32 {

Win32HistoryLibrary::Win32HistoryLibrary(std::string libraryName) : libraryName_(std::move(libraryName)) {}

bool Win32HistoryLibrary::DeleteHistory() {
    if (!doDeleteHistory_) {
        // A library that could not be loaded is looked for again next time: it may have been put in place since.
        if (!module_)
            module_.reset(::LoadLibraryA(libraryName_.c_str()));
        if (!module_)
            return false;
        // GCC warns about a direct cast between unrelated function types; void (*)() is its accepted go-between.
        const auto entry = reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), history::kEntryName));
        doDeleteHistory_ = reinterpret_cast<history::DoDeleteHistoryProc>(entry);
        if (!doDeleteHistory_)
            return false;
    }
    doDeleteHistory_();
    return true;
}

}  // namespace nimbral::win32
