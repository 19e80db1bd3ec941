#include "wizard/WizardRules.h"

#include <algorithm>
#include <cstdint>

#include "text/AnsiText.h"

namespace nimbral {

namespace {

constexpr char kTypedUrlsKey[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs\\";
constexpr char kKillMarker[] = "##kill##";
constexpr std::size_t kMostTypedUrls = 32767;

bool IsEmptyOrOneBlank(const std::string& text) {
    return text.empty() || text == " ";
}

// Rows appended to a list are not selected; the flags stay one per row.
void Append(ListBoxModel& list, std::string row) {
    list.rows.push_back(std::move(row));
    if (!list.selected.empty())
        list.selected.push_back(false);
}

void Remove(ListBoxModel& list, std::size_t row) {
    list.rows.erase(list.rows.begin() + static_cast<std::ptrdiff_t>(row));
    if (row < list.selected.size())
        list.selected.erase(list.selected.begin() + static_cast<std::ptrdiff_t>(row));
}

std::ptrdiff_t LastRow(const ListBoxModel& list) {
    return static_cast<std::ptrdiff_t>(list.rows.size()) - 1;
}

bool HasCurrentRow(const ListBoxModel& list) {
    return list.current >= 0 && list.current <= LastRow(list);
}

}  // namespace

ListBoxRows LoadTypedUrlList(Registry& registry) {
    ListBoxRows rows;
    for (std::size_t n = 1; n <= kMostTypedUrls; ++n) {
        std::string address =
            registry.ReadStringValue(Hive::CurrentUser, kTypedUrlsKey, "url" + DecimalText(std::uint64_t{n}));
        if (address.empty() || address == kKillMarker)
            break;
        rows.push_back(std::move(address));
    }
    return rows;
}

std::size_t CopySelected(ListBoxModel& source, ListBoxModel& target) {
    std::size_t copied = 0;
    std::size_t last = 0;
    for (std::size_t i = 0; i < source.rows.size() && i < source.selected.size(); ++i) {
        if (!source.selected[i] || IsEmptyOrOneBlank(source.rows[i]))
            continue;
        Append(target, source.rows[i]);
        ++copied;
        last = i;
    }
    // The next row takes the selection as a click would, so the next press copies it.
    if (copied == 1 && last + 1 < source.rows.size()) {
        source.selected.assign(source.rows.size(), false);
        source.selected[last + 1] = true;
        source.current = static_cast<std::ptrdiff_t>(last + 1);
    }
    return copied;
}

bool AddTypedSite(std::string& text, ListBoxModel& target) {
    if (IsEmptyOrOneBlank(text))
        return false;
    Append(target, std::move(text));
    text.clear();
    return true;
}

bool RemoveKeepListRow(ListBoxModel& list) {
    if (!HasCurrentRow(list))
        return false;
    Remove(list, static_cast<std::size_t>(list.current));
    list.current = std::min(list.current, LastRow(list));
    return true;
}

void AddDecoyName(std::string& text, ListBoxModel& list) {
    Append(list, text.substr(0, text.find('.')));
    text.clear();
}

void RemoveDecoyName(ListBoxModel& list) {
    if (HasCurrentRow(list))
        Remove(list, static_cast<std::size_t>(list.current));
    list.current = LastRow(list);
}

void InsertDefaults(ListBoxModel& list, const std::array<const char*, 7>& defaults) {
    for (const char* name : defaults)
        Append(list, name);
    for (std::size_t i = list.rows.size(); i-- > 0;) {
        if (list.rows[i].empty())
            Remove(list, i);
    }
    if (list.current > LastRow(list))
        list.current = LastRow(list);
}

bool AddPickedFile(const std::string& folder,
                   const ListBoxRows& files,
                   std::ptrdiff_t& currentFile,
                   ListBoxModel& lstFiles,
                   ListBoxRows& lstPaths) {
    if (currentFile < 0 || static_cast<std::size_t>(currentFile) >= files.size())
        return false;
    const std::string& name = files[static_cast<std::size_t>(currentFile)];
    Append(lstFiles, name);
    lstPaths.push_back((!folder.empty() && folder.back() == '\\' ? folder : folder + "\\") + name);
    if (static_cast<std::size_t>(currentFile) + 1 < files.size())
        ++currentFile;
    return true;
}

void RemovePickedFile(ListBoxModel& lstFiles, ListBoxRows& lstPaths) {
    if (HasCurrentRow(lstFiles)) {
        const auto row = static_cast<std::size_t>(lstFiles.current);
        Remove(lstFiles, row);
        if (row < lstPaths.size())
            lstPaths.erase(lstPaths.begin() + static_cast<std::ptrdiff_t>(row));
    }
    lstFiles.current = LastRow(lstFiles);
}

std::string PasswordProblem(const std::string& password, const std::string& retyped) {
    if (password.size() < 4)
        return kPasswordTooShort;
    if (retyped != password)
        return kPasswordsDiffer;
    return {};
}

bool IsVistaOrLater(OsVersionSource& source) {
    constexpr std::uint32_t kNtPlatform = 2;
    const auto record = source.ReadExtended();
    return record && record->platformId == kNtPlatform && record->majorVersion > 5;
}

std::string StartupCommand(const std::string& programFolder, const std::string& exeFileName) {
    const auto dot = exeFileName.rfind('.');
    return "\"" + programFolder + "/" + exeFileName.substr(0, dot) + "\"";
}

}  // namespace nimbral
