#pragma once

// Reading and setting controls by their handles: what the windows move between their controls and
// their models, and what the GUI tests read back to see what a user sees.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace nimbral::controls {

inline std::string Text(HWND window) {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

inline void SetText(HWND window, const std::string& text) {
    ::SetWindowTextA(window, text.c_str());
}

// A check box's value as the program keeps it: 0 unchecked, 1 checked, 2 greyed.
inline int Checked(HWND box) {
    return static_cast<int>(::SendMessageA(box, BM_GETCHECK, 0, 0));
}

inline void SetChecked(HWND box, int value) {
    ::SendMessageA(box, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

inline bool Enabled(HWND window) {
    return ::IsWindowEnabled(window) != FALSE;
}

inline int ListCount(HWND list) {
    return static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
}

inline std::string ListRow(HWND list, int index) {
    const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return {};
    std::string row(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(row.data()));
    row.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return row;
}

inline std::vector<std::string> ListRows(HWND list) {
    std::vector<std::string> rows;
    const int count = ListCount(list);
    for (int i = 0; i < count; ++i)
        rows.push_back(ListRow(list, i));
    return rows;
}

// Adds a row at the end (a list without sorting keeps the order rows come in); answers its index.
inline int AddListRow(HWND list, const std::string& row) {
    return static_cast<int>(::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str())));
}

inline void ClearList(HWND list) {
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

// Selection of one row of a list whose rows are selected each on its own.
inline bool ListRowSelected(HWND list, int index) {
    return ::SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

inline void SelectListRow(HWND list, int index, bool selected) {
    ::SendMessageA(list, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
}

// The notification a text box made to report Enter sends its window with WM_COMMAND: a code no
// control of the system sends.
inline constexpr WORD kEnterPressed = 0x7E01;

// Lets the text box take the Enter key itself, where a dialog would press its default button, and
// report it to its window as kEnterPressed. The key's character is not typed into the box.
inline void ReportEnterKey(HWND box) {
    const SUBCLASSPROC proc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR) -> LRESULT {
        switch (message) {
            case WM_GETDLGCODE: {
                const auto* keyMessage = reinterpret_cast<const MSG*>(lParam);
                const LRESULT code = ::DefSubclassProc(window, message, wParam, lParam);
                if (keyMessage && (keyMessage->message == WM_KEYDOWN || keyMessage->message == WM_CHAR) &&
                    keyMessage->wParam == VK_RETURN)
                    return code | DLGC_WANTMESSAGE;
                return code;
            }
            // Some edit controls hand the key itself to their dialog's default button: the box
            // answers only to the character the key makes.
            case WM_KEYDOWN:
            case WM_KEYUP:
                if (wParam == VK_RETURN)
                    return 0;
                break;
            case WM_CHAR:
                if (wParam == VK_RETURN) {
                    ::SendMessageA(::GetParent(window), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(window), kEnterPressed),
                                   reinterpret_cast<LPARAM>(window));
                    return 0;
                }
                break;
            case WM_NCDESTROY:
                ::RemoveWindowSubclass(window, reinterpret_cast<SUBCLASSPROC>(id), id);
                break;
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    };
    // The procedure is its own id, so a box is never subclassed by it twice.
    ::SetWindowSubclass(box, proc, reinterpret_cast<UINT_PTR>(proc), 0);
}

}  // namespace nimbral::controls
