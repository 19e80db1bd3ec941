#pragma once

// One move-only owner for every kind of OS handle. Copying is impossible, so no handle can be
// closed twice; each kind names its empty value and its close function once, here.

#include <windows.h>
#include <ole2.h>
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

// Memory DCs; a DC borrowed with GetDC goes back with ReleaseDC and is not owned here.
struct HdcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};

template <typename GdiObject>
struct GdiObjectTraits {
    using Handle = GdiObject;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};

// Icons made or loaded for one use; shared icons (LR_SHARED) belong to the system and are never owned.
struct HiconTraits {
    using Handle = HICON;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};

// A URL cache enumeration; one that was never opened has nothing to close.
struct CacheEnumTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::FindCloseUrlCache(h); }
};

// A text the shell allocated for the caller (SHGetKnownFolderPath).
struct CoTaskTextTraits {
    using Handle = PWSTR;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::CoTaskMemFree(h); }
};

struct HinternetTraits {
    using Handle = HINTERNET;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::InternetCloseHandle(h); }
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
using UniqueHdc = UniqueAny<HdcTraits>;
using UniqueHfont = UniqueAny<GdiObjectTraits<HFONT>>;
using UniqueHbitmap = UniqueAny<GdiObjectTraits<HBITMAP>>;
using UniqueHicon = UniqueAny<HiconTraits>;
using UniqueCoTaskText = UniqueAny<CoTaskTextTraits>;
using UniqueHinternet = UniqueAny<HinternetTraits>;

// A window's DC (the screen's with no window), borrowed with GetDC and given back with ReleaseDC.
class WindowDc {
  public:
    explicit WindowDc(HWND window = nullptr) : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Puts back into a DC the object that a selection replaced, so a DC never ends its life holding an
// object that is deleted before it (or deletes one it was only lent).
class SelectObjectRestorer {
  public:
    SelectObjectRestorer() = default;
    SelectObjectRestorer(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc && object ? ::SelectObject(dc, object) : nullptr) {
        if (!previous_ || previous_ == HGDI_ERROR)
            dc_ = nullptr, previous_ = nullptr;
    }
    SelectObjectRestorer(SelectObjectRestorer&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
    SelectObjectRestorer& operator=(SelectObjectRestorer&& other) noexcept {
        if (this != &other) {
            reset();
            dc_ = std::exchange(other.dc_, nullptr);
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }
    SelectObjectRestorer(const SelectObjectRestorer&) = delete;
    SelectObjectRestorer& operator=(const SelectObjectRestorer&) = delete;
    ~SelectObjectRestorer() { reset(); }

    // Restores now; nothing is left to restore afterwards.
    void reset() {
        if (dc_)
            ::SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }

  private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// One reference to a COM object, released once.
template <typename Interface>
class ComPtr {
  public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit ComPtr(Interface* object) : object_(object) {}
    ComPtr(ComPtr&& other) noexcept : object_(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // For out-parameters: releases what is held and hands out the slot.
    Interface** put() {
        reset();
        return &object_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset(Interface* object = nullptr) {
        if (object_)
            object_->Release();
        object_ = object;
    }
    Interface* release() { return std::exchange(object_, nullptr); }

  private:
    Interface* object_ = nullptr;
};

// OLE for the life of a scope on this thread; undone only when it was done here.
class OleInitialization {
  public:
    OleInitialization() : result_(::OleInitialize(nullptr)) {}
    OleInitialization(const OleInitialization&) = delete;
    OleInitialization& operator=(const OleInitialization&) = delete;
    ~OleInitialization() {
        if (SUCCEEDED(result_))
            ::OleUninitialize();
    }
    bool Succeeded() const { return SUCCEEDED(result_); }

  private:
    HRESULT result_;
};

}  // namespace nimbral::win32
