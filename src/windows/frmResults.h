#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/ResultsSurface.h"
#include "platform/win32/UniqueHandles.h"
#include "system/Listers.h"
#include "windows/WindowBase.h"

namespace nimbral {

// The window a clean run writes to: the current step, the log, the progress bar, and the close button
// that takes the user back to the main window once the run is over. The log lives as long as the
// window; the next run loads a new one.
class frmResults final : public WindowBase, public ResultsSurface {
  public:
    using ConfirmFunction = std::function<bool(HWND owner, const std::string& title, const std::string& text)>;
    using TickSource = std::function<DWORD()>;

    // Loads the window hidden, with an empty log, a cleared status and the close button disabled.
    // `onClose` runs when the user closes the window after the run, just before the window goes; it
    // brings the main window back. It must not destroy this object: the owner lets go of it once
    // IsOpen() is false.
    // With a file system the window also carries its hidden file lister, File1.
    frmResults(HINSTANCE instance, HWND owner, std::function<void()> onClose, FileSystem* fileSystem = nullptr);

    void Show();

    void AppendLine(const std::string& line) override;
    void SetStatus(const std::string& text) override;
    void SetProgressMax(float maximum) override;
    float ProgressMax() const override;
    void SetProgressValue(float value) override;
    void ProcessPendingMessages() override;
    bool ConfirmOkCancel(const std::string& title, const std::string& text) override;
    void EnableClose() override;
    FileLister* File1() override { return file1_ ? &*file1_ : nullptr; }

    // What answers ConfirmOkCancel: a message box unless replaced (GUI tests answer it themselves).
    // An empty function brings the message box back.
    void SetConfirm(ConfirmFunction confirm);
    // The millisecond clock that spaces out ProcessPendingMessages: GetTickCount unless replaced.
    void SetTickSource(TickSource tickSource);

  private:
    void OnInitDialog() override;
    void OnCommand(int controlId, int notification) override;
    // Escape, like the title bar's X, closes the window only once the run is over.
    void OnCancel() override { OnCloseClicked(); }
    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    void MeasureInTheLogsFont();

    void OnCloseClicked();
    void WidenLogFor(const std::string& line);
    void ShowPending();
    void ShowProgressRange();
    void ShowProgressValue();

    std::function<void()> onClose_;
    std::optional<FileLister> file1_;
    ConfirmFunction confirm_;
    TickSource tickSource_;
    std::optional<DWORD> lastPump_;
    std::optional<DWORD> lastShown_;
    HWND log_ = nullptr;
    HWND bar_ = nullptr;
    HWND status_ = nullptr;
    // The log holds lines it has not drawn yet (its drawing is off until ShowPending), the last at
    // lastLine_; the bar has not been moved to the run's value yet.
    bool logHeld_ = false;
    LRESULT lastLine_ = 0;
    bool barHeld_ = false;
    // A fresh progress bar counts from 0 to 100.
    float progressMax_ = 100;
    float progressValue_ = 0;
    double progressScale_ = 1;
    int progressTop_ = 1;
    // The log's font, selected into a DC of its own, measures each line once as it arrives.
    win32::UniqueHdc measure_;
    win32::SelectObjectRestorer measureFont_;
    int widestLine_ = 0;
};

}  // namespace nimbral
