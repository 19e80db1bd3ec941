#pragma once

// The message boxes the windows show: notices with an OK button and OK / Cancel questions. The GUI
// tests answer them through a double of their own.

#include <windows.h>

#include <string>

namespace nimbral {

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void Notice(HWND owner, const std::string& text, const std::string& title) = 0;
    // True for OK.
    virtual bool AskOkCancel(HWND owner, const std::string& title, const std::string& text) = 0;
};

class SystemMessageBoxes final : public MessageBoxes {
  public:
    void Notice(HWND owner, const std::string& text, const std::string& title) override {
        ::MessageBoxA(owner, text.c_str(), title.c_str(), MB_OK);
    }
    bool AskOkCancel(HWND owner, const std::string& title, const std::string& text) override {
        return ::MessageBoxA(owner, text.c_str(), title.c_str(), MB_OKCANCEL) == IDOK;
    }
};

}  // namespace nimbral
