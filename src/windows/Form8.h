#pragma once

#include <windows.h>

#include <string>

#include "platform/FileSystem.h"
#include "settings/SettingsStore.h"
#include "windows/WindowBase.h"

namespace nimbral {

// The help window: the program's help file in a rich-text box, kept above the other windows, and
// "Show at Startup", which decides whether the main window opens it at every start.
class Form8 final : public WindowBase {
  public:
    // Loads the window hidden. `helpFile` is the full path of Help.rtf.
    Form8(HINSTANCE instance, SettingsStore& settings, FileSystem& fileSystem, std::string helpFile);

    void Show();

  private:
    void OnInitDialog() override;
    void OnCommand(int controlId, int notification) override;

    bool LoadHelpFile();

    SettingsStore& settings_;
    FileSystem& fileSystem_;
    std::string helpFile_;
};

}  // namespace nimbral
