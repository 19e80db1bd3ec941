#pragma once

// The one object that owns what the program keeps for its whole life: the OS adapters, the identity
// values, the settings store and the main window's listers. Windows and steps are handed what they
// need from here, so each can be built and tested on fresh state.

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsArea.h"
#include "platform/win32/Win32Shell.h"
#include "settings/SettingsStore.h"
#include "system/Listers.h"
#include "system/modRebrand.h"

namespace nimbral {

class Application {
  public:
    explicit Application(Identity identity)
        : identity_(std::move(identity)), settings_(settingsArea_, identity_.productName), listers_(fileSystem_) {}
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const Identity& identity() const { return identity_; }
    SettingsStore& settings() { return settings_; }
    Registry& registry() { return registry_; }
    FileSystem& fileSystem() { return fileSystem_; }
    Shell& shell() { return shell_; }
    MainWindowListers& listers() { return listers_; }

  private:
    win32::Win32SettingsArea settingsArea_;
    win32::Win32Registry registry_;
    win32::Win32FileSystem fileSystem_;
    win32::Win32Shell shell_;
    Identity identity_;
    SettingsStore settings_;
    MainWindowListers listers_;
};

}  // namespace nimbral
