#include "platform/win32/CleanLock.h"

#include "platform/win32/SystemText.h"

namespace nimbral::win32 {

CleanLock::CleanLock(const std::string& productName)
    : mutex_(::CreateMutexW(nullptr, FALSE, (L"Local\\" + Wide(productName) + L" clean").c_str())) {}

bool CleanLock::Acquire() {
    if (held_)
        return true;
    // Without the mutex there is nothing to keep two cleans apart; a clean that cannot be sure
    // it is alone does not start.
    if (!mutex_)
        return false;
    const DWORD waited = ::WaitForSingleObject(mutex_.get(), 0);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return held_;
}

void CleanLock::Release() {
    if (held_)
        ::ReleaseMutex(mutex_.get());
    held_ = false;
}

bool CleanLock::HeldElsewhere() {
    if (held_ || !mutex_)
        return false;
    if (!Acquire())
        return true;
    Release();
    return false;
}

}  // namespace nimbral::win32
