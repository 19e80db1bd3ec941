#include "windows/Form8.h"

#include <richedit.h>

#include <memory>

#include "system/WindowTexts.h"
#include "system/xfileExists.h"
#include "windows/Controls.h"
#include "windows/modIcon.h"
#include "windows/modOnTop.h"
#include "windows/resource.h"

namespace nimbral {

namespace {

// The rich-text box's window class lives in this library; it is loaded once and stays for the life of
// the program, since windows of its class may be up at any time.
void RegisterRichTextBox() {
    static const HMODULE library = ::LoadLibraryA("riched20.dll");
    (void)library;
}

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
    auto* source = reinterpret_cast<ByteSource*>(cookie);
    *read = static_cast<LONG>(source->Read(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(size)));
    return source->Failed() ? 1 : 0;
}

}  // namespace

Form8::Form8(HINSTANCE instance, SettingsStore& settings, FileSystem& fileSystem, std::string helpFile)
    : settings_(settings), fileSystem_(fileSystem), helpFile_(std::move(helpFile)) {
    RegisterRichTextBox();
    CreateModeless(instance, IDD_Form8, nullptr);
}

void Form8::OnInitDialog() {
    SetWindowIcons(Hwnd(), IDI_AAA, false);
    const HWND box = Control(IDC_Form8_rtf1);
    // Without its file the window says where the file was looked for, rather than showing an empty
    // box.
    if (!LoadHelpFile())
        controls::SetText(box, "The help file could not be found; it belongs at " + helpFile_ + ".");
    // The help opens at its beginning, nothing selected.
    SetInitialFocus(IDC_Form8_rtf1);
    ::SendMessageA(box, EM_SETSEL, 0, 0);
    ::SendMessageA(box, EM_SCROLLCARET, 0, 0);
    SetOnTop(Hwnd(), true);
    const std::string showHelp = settings_.GetSetting("showHelp", "1");
    controls::SetChecked(Control(IDC_Form8_Check1), NumericValue(showHelp) != 0 ? BST_CHECKED : BST_UNCHECKED);
}

bool Form8::LoadHelpFile() {
    if (!FileFound(fileSystem_, helpFile_))
        return false;
    const std::unique_ptr<ByteSource> source = fileSystem_.OpenForReading(helpFile_);
    if (!source)
        return false;
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(source.get()), 0, ReadChunk};
    ::SendMessageA(Control(IDC_Form8_rtf1), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return true;
}

void Form8::Show() {
    if (IsOpen())
        ::ShowWindow(Hwnd(), SW_SHOW);
}

void Form8::OnCommand(int controlId, int notification) {
    if (controlId == IDC_Form8_Check1 && notification == BN_CLICKED) {
        const bool checked = controls::Checked(Control(IDC_Form8_Check1)) == BST_CHECKED;
        settings_.SaveSetting("showHelp", checked ? "1" : "0");
    }
}

}  // namespace nimbral
