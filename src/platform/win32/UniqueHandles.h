#pragma once

// One move-only owner for every kind of OS handle. Copying is impossible, so no handle can be
// closed twice; each kind names its empty value and its close function once, here.

#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <utility>

namespace nimbral::win32 {

template <typename Traits>
class UniqueAny {
  public:
    using Handle = typename Traits::Handle;

    UniqueAny() = default;
    explicit UniqueAny(Handle handle) : handle_(handle) {}
    UniqueAny(UniqueAny&& other) noexcept : handle_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }

    // For out-parameters: closes what is held and hands out the slot.
    Handle* put() {
        reset();
        return &handle_;
    }
    void reset(Handle handle = Traits::Empty()) {
        if (handle_ != Traits::Empty())
            Traits::Close(handle_);
        handle_ = handle;
    }
    Handle release() { return std::exchange(handle_, Traits::Empty()); }

  private:
    Handle handle_ = Traits::Empty();
};

struct HkeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};

struct HandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

// File handles and find handles use INVALID_HANDLE_VALUE as their empty value.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};

struct HlocalTraits {
    using Handle = HLOCAL;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};

struct PidlTraits {
    using Handle = LPITEMIDLIST;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::CoTaskMemFree(h); }
};

struct HwndTraits {
    using Handle = HWND;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DestroyWindow(h); }
};

struct HmoduleTraits {
    using Handle = HMODULE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};

// A URL cache enumeration; one that was never opened has nothing to close.
struct CacheEnumTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::FindCloseUrlCache(h); }
};

using UniqueHkey = UniqueAny<HkeyTraits>;
using UniqueHandle = UniqueAny<HandleTraits>;
using UniqueHfile = UniqueAny<FileHandleTraits>;
using UniqueFindHandle = UniqueAny<FindHandleTraits>;
using UniqueHlocal = UniqueAny<HlocalTraits>;
using UniquePidl = UniqueAny<PidlTraits>;
using UniqueHwnd = UniqueAny<HwndTraits>;
using UniqueHmodule = UniqueAny<HmoduleTraits>;
using UniqueCacheEnum = UniqueAny<CacheEnumTraits>;

}  // namespace nimbral::win32
