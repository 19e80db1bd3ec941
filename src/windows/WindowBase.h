#pragma once

// What every window of the program stands on: one dialog, laid out in an .rc template, owned by one
// object. The object rides with its dialog from WM_INITDIALOG to WM_NCDESTROY, so the dialog's
// messages reach the object's members; WM_COMMAND arrives split into control id and notification, for
// the window to route to its named handlers. A modeless window is registered with the message loop
// while it is up, so its dialog keys work. A window moved to a display of another scale is laid out
// and refonted again here, and then told, for what it draws and places itself.

#include <windows.h>

#include <optional>
#include <utility>

#include "platform/win32/UniqueHandles.h"
#include "windows/Dpi.h"
#include "windows/MessageLoop.h"

namespace nimbral {

class WindowBase {
  public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND Hwnd() const { return hwnd_.get(); }
    // False before the window is loaded and again once it is gone, whoever destroyed it.
    bool IsOpen() const { return static_cast<bool>(hwnd_); }
    HWND Control(int controlId) const { return ::GetDlgItem(Hwnd(), controlId); }
    // The scale the window is drawn at, in dots per inch.
    int Dpi() const { return dpi_; }

  protected:
    // From OnInitDialog: the window starts with the focus on this control, as it is, instead of on
    // the first control the Tab key reaches (which, for a text box, would select all its text).
    void SetInitialFocus(int controlId) {
        ::SetFocus(Control(controlId));
        initialFocusSet_ = true;
    }

    WindowBase() = default;
    // Detaches before the window goes: its last messages must not reach an object that is half
    // destroyed.
    virtual ~WindowBase() {
        if (hwnd_) {
            ModelessWindows::Remove(hwnd_.get());
            ::SetWindowLongPtrA(hwnd_.get(), DWLP_USER, 0);
        }
    }

    // Loads the template as a modeless window, hidden unless the template says WS_VISIBLE. A window
    // already loaded by this object is unloaded first.
    bool CreateModeless(HINSTANCE instance, int templateId, HWND owner) {
        Destroy();
        modal_ = false;
        const HWND window = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), owner, DialogProc,
                                                 reinterpret_cast<LPARAM>(this));
        // The load may already have unloaded it again.
        if (window && IsOpen())
            ModelessWindows::Add(window);
        return IsOpen();
    }

    // Runs the template as a modal dialog; answers what EndModal was given, or -1 when the dialog
    // could not be shown.
    INT_PTR RunModal(HINSTANCE instance, int templateId, HWND owner) {
        Destroy();
        modal_ = true;
        return ::DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
    }

    void EndModal(INT_PTR result) { ::EndDialog(Hwnd(), result); }

    // Unloads a modeless window; the object stays and reports that it is no longer open.
    void Destroy() { hwnd_.reset(); }

    virtual void OnInitDialog() {}
    virtual void OnCommand(int controlId, int notification) {}
    virtual std::optional<INT_PTR> OnNotify(int controlId, NMHDR& header) { return std::nullopt; }
    // Enter on the default button, or a button with the id IDOK; Escape, the title bar's X and a
    // button with the id IDCANCEL. By default both end a modal run (with IDOK or IDCANCEL) or unload a
    // modeless window.
    virtual void OnOk() { Close(IDOK); }
    virtual void OnCancel() { Close(IDCANCEL); }
    // Every other message: an answer for the dialog manager when the window handled it, nothing to
    // leave the message to the dialog manager's defaults.
    virtual std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) { return std::nullopt; }
    // After a move to a display of another scale, once the controls have their new places and the
    // ones in the dialog's font the font at the new scale, and the window its new size: the fonts,
    // pictures and placements the window made itself follow here.
    virtual void OnDpiChanged(int oldDpi, int newDpi) {}

    // The font the template gave the dialog, at the scale the window is drawn at now.
    HFONT DialogFont() const {
        return scaledFont_ ? scaledFont_.get() : reinterpret_cast<HFONT>(::SendMessageW(Hwnd(), WM_GETFONT, 0, 0));
    }

  private:
    void Close(INT_PTR result) {
        if (modal_)
            EndModal(result);
        else
            Destroy();
    }

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
            reinterpret_cast<WindowBase*>(lParam)->hwnd_ = win32::UniqueHwnd(hwnd);
        }
        // Messages sent before WM_INITDIALOG (WM_SETFONT among them) find no object yet.
        auto* self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
        if (!self)
            return FALSE;
        // An exception must not unwind through the system's frames, and the program reports no failure
        // to the user: whatever a handler could not do stays undone.
        try {
            return self->Dispatch(message, wParam, lParam);
        } catch (...) {
            return FALSE;
        }
    }

    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_INITDIALOG:
                initialFocusSet_ = false;
                dpi_ = dpi::OfWindow(Hwnd());
                dpi::KeepSystemFromRescaling(Hwnd());
                OnInitDialog();
                return initialFocusSet_ ? FALSE : TRUE;
            case WM_COMMAND:
                if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED)
                    OnOk();
                else if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED)
                    OnCancel();
                else
                    OnCommand(LOWORD(wParam), HIWORD(wParam));
                return TRUE;
            case WM_NOTIFY: {
                auto* header = reinterpret_cast<NMHDR*>(lParam);
                if (!header)
                    return FALSE;
                const std::optional<INT_PTR> answer = OnNotify(static_cast<int>(header->idFrom), *header);
                if (!answer)
                    return FALSE;
                ::SetWindowLongPtrA(Hwnd(), DWLP_MSGRESULT, *answer);
                return TRUE;
            }
            case WM_DPICHANGED:
                if (lParam)
                    Rescale(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
                return TRUE;
            case WM_NCDESTROY:
                // The window is on its way out already (its owner, EndDialog or Destroy took it):
                // let go of it without destroying it a second time. Its controls are gone already,
                // so the font they used may go too.
                ModelessWindows::Remove(hwnd_.get());
                ::SetWindowLongPtrA(hwnd_.release(), DWLP_USER, 0);
                scaledFont_.reset();
                templateFont_.reset();
                return FALSE;
        }
        return OnMessage(message, wParam, lParam).value_or(FALSE);
    }

    // Every control moves and grows with the scale, each edge from where it is, so that the gaps
    // between controls grow as the controls do; the controls in the dialog's font get it at the new
    // scale, made from the template's font so that rounding never accumulates over moves.
    void Rescale(int newDpi, const RECT& suggested) {
        const int oldDpi = dpi_;
        if (newDpi <= 0 || newDpi == oldDpi)
            return;
        const HFONT oldFont = DialogFont();
        LOGFONTW font = {};
        if (!templateFont_ && oldFont && ::GetObjectW(oldFont, sizeof font, &font)) {
            templateFont_ = font;
            templateFontDpi_ = oldDpi;
        }
        win32::UniqueHfont newFont;
        if (templateFont_) {
            font = *templateFont_;
            // A height in points, as the template gives it, is whole points at every scale: scaling
            // the pixels instead would carry the rounding of the first scale into the next.
            if (templateFont_->lfHeight < 0) {
                const int points = ::MulDiv(-templateFont_->lfHeight, 72, templateFontDpi_);
                font.lfHeight = -::MulDiv(points, newDpi, 72);
            } else {
                font.lfHeight = ::MulDiv(templateFont_->lfHeight, newDpi, templateFontDpi_);
            }
            font.lfWidth = ::MulDiv(templateFont_->lfWidth, newDpi, templateFontDpi_);
            newFont.reset(::CreateFontIndirectW(&font));
        }
        for (HWND child = ::GetWindow(Hwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT place = {};
            ::GetWindowRect(child, &place);
            wchar_t className[16] = {};
            ::GetClassNameW(child, className, 16);
            // A combo box is sized with its list open.
            if (::lstrcmpiW(className, L"ComboBox") == 0) {
                RECT open = {};
                if (::SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&open)))
                    place.bottom = open.bottom;
            }
            ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&place), 2);
            const RECT scaled = {::MulDiv(place.left, newDpi, oldDpi), ::MulDiv(place.top, newDpi, oldDpi),
                                 ::MulDiv(place.right, newDpi, oldDpi), ::MulDiv(place.bottom, newDpi, oldDpi)};
            ::SetWindowPos(child, nullptr, scaled.left, scaled.top, scaled.right - scaled.left,
                           scaled.bottom - scaled.top, SWP_NOZORDER | SWP_NOACTIVATE);
            if (newFont && reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)) == oldFont)
                ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(newFont.get()), FALSE);
        }
        // The old font goes only once the window, too, let go of it.
        win32::UniqueHfont retired;
        if (newFont)
            retired = std::exchange(scaledFont_, std::move(newFont));
        dpi_ = newDpi;
        ::SetWindowPos(Hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        OnDpiChanged(oldDpi, newDpi);
        ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }

    // Declared before the window, so that it outlives the controls that use it.
    win32::UniqueHfont scaledFont_;
    std::optional<LOGFONTW> templateFont_;
    int templateFontDpi_ = dpi::kStandard;
    win32::UniqueHwnd hwnd_;
    int dpi_ = dpi::kStandard;
    bool modal_ = false;
    bool initialFocusSet_ = false;
};

}  // namespace nimbral
