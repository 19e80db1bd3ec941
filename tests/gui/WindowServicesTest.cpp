#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "gui/GuiSupport.h"
#include "platform/win32/UniqueHandles.h"
#include "windows/modIcon.h"
#include "windows/modOnTop.h"
#include "windows/resource.h"

namespace nimbral::guitest {
namespace {

struct Popup {
    explicit Popup(HWND owner = nullptr)
        : window(
              ::CreateWindowExA(0, "STATIC", "popup", WS_POPUP, 0, 0, 50, 50, owner, nullptr, ThisProgram(), nullptr)) {
    }
    HWND get() const { return window.get(); }
    HICON Icon(WPARAM kind) const { return reinterpret_cast<HICON>(::SendMessageA(window.get(), WM_GETICON, kind, 0)); }
    win32::UniqueHwnd window;
};

SIZE IconSize(HICON icon) {
    ICONINFO info = {};
    if (!::GetIconInfo(icon, &info))
        return {0, 0};
    const win32::UniqueHbitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap = {};
    ::GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
    return {bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

TEST(WindowIcons, WindowAndItsTopLevelOwnerGetBothSizes) {
    Popup top;
    Popup middle(top.get());
    Popup window(middle.get());
    SetWindowIcons(window.get(), IDI_AAA, true);

    for (const Popup* popup : {&window, &top}) {
        const SIZE big = IconSize(popup->Icon(ICON_BIG));
        const SIZE small = IconSize(popup->Icon(ICON_SMALL));
        EXPECT_EQ(big.cx, ::GetSystemMetrics(SM_CXICON));
        EXPECT_EQ(big.cy, ::GetSystemMetrics(SM_CYICON));
        EXPECT_EQ(small.cx, ::GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(small.cy, ::GetSystemMetrics(SM_CYSMICON));
    }
    // Only the top of the chain carries the task bar button.
    EXPECT_EQ(middle.Icon(ICON_BIG), nullptr);

    Popup alone;
    Popup owner;
    SetWindowIcons(alone.get(), IDI_AAA, false);
    EXPECT_NE(alone.Icon(ICON_BIG), nullptr);
    EXPECT_EQ(owner.Icon(ICON_BIG), nullptr);
}

TEST(WindowIcons, MissingIconGroupSendsNoIcon) {
    Popup window;
    SetWindowIcons(window.get(), IDI_AAA, false);
    SetWindowIcons(window.get(), "NOSUCHICON", false);
    EXPECT_EQ(window.Icon(ICON_BIG), nullptr);
    EXPECT_EQ(window.Icon(ICON_SMALL), nullptr);
}

// Both groups are drawn at every size a window, the task bar and the file manager ask for, so none is
// scaled up from a smaller picture.
TEST(WindowIcons, BothIconGroupsHoldEverySize) {
    for (const char* group : std::initializer_list<const char*>{IDI_AAA, MAKEINTRESOURCEA(IDI_1)}) {
        const HRSRC found = ::FindResourceA(ThisProgram(), group, MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
        ASSERT_NE(found, nullptr);
        const auto* directory = static_cast<const BYTE*>(::LockResource(::LoadResource(ThisProgram(), found)));
        ASSERT_NE(directory, nullptr);
        const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
        std::set<int> sizes;
        for (WORD i = 0; i < count; ++i) {
            const BYTE* entry = directory + 6 + i * 14;
            sizes.insert(entry[0] == 0 ? 256 : entry[0]);
            EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 32);  // bits per pixel
        }
        EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 256}));
    }
}

TEST(WindowPlacement, OnTopAndBackWithoutMovingOrResizing) {
    Popup window;
    ::SetWindowPos(window.get(), nullptr, 30, 40, 70, 80, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT before = {};
    ::GetWindowRect(window.get(), &before);

    SetOnTop(window.get(), true);
    EXPECT_TRUE(::GetWindowLongA(window.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetOnTop(window.get(), false);
    EXPECT_FALSE(::GetWindowLongA(window.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    RECT after = {};
    ::GetWindowRect(window.get(), &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
}

}  // namespace
}  // namespace nimbral::guitest
