#pragma once

// What the settings store reads from and writes to the windows' controls: check-box values, list
// rows and text boxes. The windows hold one of these and copy it to and from their real controls.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nimbral {

using ListBoxRows = std::vector<std::string>;

struct WizardControls {
    std::int16_t chkPassword = 0;
    std::int16_t chkencrypt = 0;
    std::int16_t chkRunAtStart = 0;
    std::int16_t chkStealthMode = 0;
    std::int16_t chkHotKey = 0;

    // Control arrays keep their item numbers: lstSites item 1 is the site keep-list, item 2 the
    // cookie keep-list; txtSetting items 0, 2 and 3 are the temp folder, media key and other key.
    std::array<ListBoxRows, 3> lstSites;
    ListBoxRows lstFiles;
    ListBoxRows lstPaths;
    ListBoxRows lstMedia;
    ListBoxRows lstDoc;

    std::string txtPass1;
    std::string txtPass2;
    std::array<std::string, 4> txtSetting;
};

// The main window's category check boxes.
struct CategoryChecks {
    std::int16_t chkCookies = 0;
    std::int16_t chkDocuments = 0;
    std::int16_t chkHistory = 0;
    std::int16_t chkIntTemp = 0;
    std::int16_t chkMedia = 0;
    std::int16_t chkRecycle = 0;
    std::int16_t chkRunSearch = 0;
    std::int16_t chkTyped = 0;
    std::int16_t chkWinTemp = 0;
};

}  // namespace nimbral
