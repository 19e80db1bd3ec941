#pragma once

// The rules of the setup wizard's editors, over plain models of its list boxes: the window moves
// values between its controls and these models and shows what they ask it to.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/OsVersionSource.h"
#include "platform/Registry.h"
#include "settings/ControlModels.h"

namespace nimbral {

// A list box: its rows, the rows selected in a list where several can be, and its current row
// (-1 for none).
struct ListBoxModel {
    ListBoxRows rows;
    std::vector<bool> selected;  // one flag per row, or empty when nothing is selected
    std::ptrdiff_t current = -1;
};

inline constexpr char kSelectASiteFirst[] = "you must first select a site to delete";
inline constexpr char kPasswordTooShort[] =
    "it is in your best interest to select a password that is at least 4 characters long.";
inline constexpr char kPasswordsDiffer[] =
    "passwords do not match.  please enter matching passwords before turning on password protection.";
inline constexpr char kSetupComplete[] = "Setup Complete!  Press 'Clean Now' to clean your computer!";
inline constexpr char kVistaTitle[] = "Vista Detected";
inline constexpr char kVistaText[] =
    "Windows Vista requires special administrative rights to add programs to the Run At Startup list.  In order to "
    "have this program run at startup you will need to launch a separate program, called the "
    "RunAtStartupTool.exe, as an administrator.  If you would like instructions for doing so, please press OK.  "
    "Otherwise press cancel.";
inline constexpr char kStartupToolTitle[] = "Startup Tool";
inline constexpr char kStartupToolText[] =
    "When you click OK a windows explorer window will open.  You will see a file called RunAtStartupTool.exe in that "
    "folder.\r\n\r\nRight click on it and select 'Run As Administrator'.  Then follow the instructions on the tool to "
    "add this program to the windows startup list.";

// What the wizard says when something the user chose could not be kept or done; the end of each
// sentence names what.
inline constexpr char kListsCut[] =
    "A list keeps no more than 10001 entries; the entries after the first 10001 were not stored in: ";
inline constexpr char kRunEntryNotAdded[] =
    "This program could not be added to the programs Windows starts: Windows refused to write "
    "HKEY_LOCAL_MACHINE\\";
inline constexpr char kRunEntryNotRemoved[] =
    "This program could not be removed from the programs Windows starts: Windows refused to change "
    "HKEY_LOCAL_MACHINE\\";

inline constexpr std::array<const char*, 7> kDocumentDefaults = {"sample", "document", "help",  "chart",
                                                                 "readme", "setup",    "letter"};
inline constexpr std::array<const char*, 7> kMediaDefaults = {"media", "intro",  "picture", "image",
                                                              "help",  "sample", "movie"};

// Page 1's found list: the typed addresses, url1 upward, until the first missing or empty value or
// "##kill##"; no more than a 16-bit counter reaches (32,767).
ListBoxRows LoadTypedUrlList(Registry& registry);

// "Add ": appends the selected rows of source that are neither empty nor a single blank to target,
// in list order, whatever target already holds. After copying exactly one row that was not the
// last, the row after it becomes current, so that repeated presses walk down the list. Returns the
// number of rows copied.
std::size_t CopySelected(ListBoxModel& source, ListBoxModel& target);

// "Add >>": appends the typed text unchanged unless it is empty or a single blank, and then empties
// the text box. True when a row was added.
bool AddTypedSite(std::string& text, ListBoxModel& target);

// "Del" on a keep-list: removes the current row and makes the row now in its place current, or the
// last row when it was the last. False when no row is current: the user is told
// kSelectASiteFirst.
bool RemoveKeepListRow(ListBoxModel& list);

// "Add" on page 4: appends the typed name up to its first dot (an empty row when it starts with one)
// and empties the text box.
void AddDecoyName(std::string& text, ListBoxModel& list);
// "Del" on page 4: removes the current row, if any, then makes the last row current.
void RemoveDecoyName(ListBoxModel& list);
// "Insert Defaults": appends the seven names, then drops every empty row.
void InsertDefaults(ListBoxModel& list, const std::array<const char*, 7>& defaults);

// Page 3's "Add ": appends the file that is current in the file picker to the chosen names and its
// full path to the paths, then moves the picker to the next file unless it was the last. A folder
// ending in a backslash (a drive's root) is joined without a second one. False when no file is
// current.
bool AddPickedFile(const std::string& folder,
                   const ListBoxRows& files,
                   std::ptrdiff_t& currentFile,
                   ListBoxModel& lstFiles,
                   ListBoxRows& lstPaths);
// Page 3's "Del": removes the current chosen name and its path together, then makes the last row
// current.
void RemovePickedFile(ListBoxModel& lstFiles, ListBoxRows& lstPaths);

// What is wrong with turning password protection on with these two texts; empty when nothing is.
std::string PasswordProblem(const std::string& password, const std::string& retyped);

// True on the NT platform with a major version above 5, from the extended version record; false
// when the system does not answer.
bool IsVistaOrLater(OsVersionSource& source);

// The Run list's command for the program: a double quote, the program's folder, "/", the program's
// file name without its extension, and a double quote.
std::string StartupCommand(const std::string& programFolder, const std::string& exeFileName);

}  // namespace nimbral
