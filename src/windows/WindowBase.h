#pragma once

// What every window of the program stands on: one dialog, laid out in an .rc template, owned by one
// object. The object rides with its dialog from WM_INITDIALOG to WM_NCDESTROY, so the dialog's
// messages reach the object's members; WM_COMMAND arrives split into control id and notification, for
// the window to route to its named handlers. A modeless window is registered with the message loop
// while it is up, so its dialog keys work.

#include <windows.h>

#include <optional>

#include "platform/win32/UniqueHandles.h"
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
            case WM_NCDESTROY:
                // The window is on its way out already (its owner, EndDialog or Destroy took it):
                // let go of it without destroying it a second time.
                ModelessWindows::Remove(hwnd_.get());
                ::SetWindowLongPtrA(hwnd_.release(), DWLP_USER, 0);
                return FALSE;
        }
        return OnMessage(message, wParam, lParam).value_or(FALSE);
    }

    win32::UniqueHwnd hwnd_;
    bool modal_ = false;
    bool initialFocusSet_ = false;
};

}  // namespace nimbral
