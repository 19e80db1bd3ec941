#include "windows/Dpi.h"

#include <utility>

namespace nimbral::dpi {

namespace {

// Not in the import table: the program must start on systems that lack them.
struct ScalingCalls {
    ScalingCalls() {
        const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        if (!user32)
            return;
        getDpiForWindow = reinterpret_cast<UINT(WINAPI*)(HWND)>(::GetProcAddress(user32, "GetDpiForWindow"));
        getSystemMetricsForDpi =
            reinterpret_cast<int(WINAPI*)(int, UINT)>(::GetProcAddress(user32, "GetSystemMetricsForDpi"));
        setDialogDpiChangeBehavior =
            reinterpret_cast<BOOL(WINAPI*)(HWND, int, int)>(::GetProcAddress(user32, "SetDialogDpiChangeBehavior"));
    }
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
    int(WINAPI* getSystemMetricsForDpi)(int, UINT) = nullptr;
    BOOL(WINAPI* setDialogDpiChangeBehavior)(HWND, int, int) = nullptr;
};

const ScalingCalls& Calls() {
    static const ScalingCalls calls;
    return calls;
}

int SystemDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : kStandard;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kStandard;
}

constexpr int kDisableAllDialogRescaling = 0x0001 | 0x0002 | 0x0004;  // DDC_DISABLE_ALL

BITMAPINFOHEADER SizeOf(HBITMAP picture) {
    BITMAP bitmap = {};
    ::GetObjectW(picture, sizeof bitmap, &bitmap);
    BITMAPINFOHEADER header = {sizeof header};
    header.biWidth = bitmap.bmWidth;
    header.biHeight = bitmap.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    return header;
}

// A copy of the picture at another size, resampled with the system's halftone filter rather than
// by dropping or repeating pixels.
HBITMAP Resampled(HBITMAP picture, int width, int height) {
    const win32::UniqueHdc from(::CreateCompatibleDC(nullptr));
    const win32::UniqueHdc to(::CreateCompatibleDC(nullptr));
    if (!from || !to)
        return nullptr;
    const BITMAPINFOHEADER source = SizeOf(picture);
    BITMAPINFO target = {};
    target.bmiHeader = source;
    target.bmiHeader.biWidth = width;
    target.bmiHeader.biHeight = height;
    void* bits = nullptr;
    HBITMAP result = ::CreateDIBSection(to.get(), &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!result)
        return nullptr;
    const HGDIOBJ fromBefore = ::SelectObject(from.get(), picture);
    const HGDIOBJ toBefore = ::SelectObject(to.get(), result);
    ::SetStretchBltMode(to.get(), HALFTONE);
    ::SetBrushOrgEx(to.get(), 0, 0, nullptr);
    ::StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, source.biWidth, source.biHeight, SRCCOPY);
    ::SelectObject(to.get(), toBefore);
    ::SelectObject(from.get(), fromBefore);
    return result;
}

HBITMAP LoadBitmapResource(HINSTANCE instance, int id) {
    return static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

int OfWindow(HWND window) {
    if (Calls().getDpiForWindow && window) {
        const UINT dpi = Calls().getDpiForWindow(window);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int SystemMetric(int index, int dpi) {
    if (Calls().getSystemMetricsForDpi)
        return Calls().getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
    // Before Windows 10 every window is drawn at the system's scale, which these already have.
    return ::GetSystemMetrics(index);
}

void KeepSystemFromRescaling(HWND dialog) {
    if (Calls().setDialogDpiChangeBehavior)
        Calls().setDialogDpiChangeBehavior(dialog, kDisableAllDialogRescaling, kDisableAllDialogRescaling);
}

HBITMAP LoadPicture(HINSTANCE instance, int pictureAt96, int pictureAt144, int dpi) {
    if (dpi == kStandard)
        return LoadBitmapResource(instance, pictureAt96);
    if (dpi == 144)
        return LoadBitmapResource(instance, pictureAt144);
    // Shrinking the larger loses less than stretching the smaller.
    win32::UniqueHbitmap larger(LoadBitmapResource(instance, pictureAt144));
    if (!larger)
        return LoadBitmapResource(instance, pictureAt96);
    const BITMAPINFOHEADER size = SizeOf(larger.get());
    return Resampled(larger.get(), ::MulDiv(size.biWidth, dpi, 144), ::MulDiv(size.biHeight, dpi, 144));
}

void ShowPicture(HWND pictureControl,
                 HINSTANCE instance,
                 int pictureAt96,
                 int pictureAt144,
                 int dpi,
                 win32::UniqueHbitmap& shown) {
    if (dpi == kStandard && !shown)
        return;
    win32::UniqueHbitmap picture(LoadPicture(instance, pictureAt96, pictureAt144, dpi));
    if (!picture)
        return;
    const auto previous = reinterpret_cast<HBITMAP>(
        ::SendMessageW(pictureControl, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get())));
    // The template's picture, loaded by the control, is nobody's once replaced.
    if (previous && previous != shown.get())
        ::DeleteObject(previous);
    shown = std::move(picture);
}

void TakeBackPicture(HWND pictureControl, win32::UniqueHbitmap& shown) {
    if (!shown)
        return;
    ::SendMessageW(pictureControl, STM_SETIMAGE, IMAGE_BITMAP, 0);
    shown.reset();
}

}  // namespace nimbral::dpi
