#include "platform/win32/Win32SettingsArea.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/win32/SystemText.h"

namespace nimbral::win32 {

namespace {

std::string SectionPath(const std::string& application, const std::string& section) {
    return std::string(kSettingsRoot) + "\\" + application + "\\" + section;
}

constexpr REGSAM kSectionAccess = KEY_QUERY_VALUE | KEY_SET_VALUE;

// Each value is a call that mostly waits on the system (under Wine, a round trip to its server):
// a batch on eight threads, each with its own handle, takes about half the time of one. Fewer
// values than this go one after another: starting threads would cost more.
constexpr std::size_t kSideBySideFrom = 256;
constexpr std::size_t kSideBySideThreads = 8;

// One value of an open key as text (none when it is missing or not text). ERROR_KEY_DELETED when
// the key went away under the handle.
LONG QueryText(HKEY hkey, const std::string& name, std::optional<std::string>& text) {
    text.reset();
    // Most settings fit the first buffer; the value may also grow between two queries, so ask until
    // the buffer holds all of it.
    const std::wstring wideName = Wide(name);
    std::vector<wchar_t> data(512);
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    LONG rc = ::RegQueryValueExW(hkey, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    while (rc == ERROR_MORE_DATA) {
        data.resize(size / sizeof(wchar_t) + 1);
        size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        rc = ::RegQueryValueExW(hkey, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        const std::wstring_view stored(data.data(), size / sizeof(wchar_t));
        text = Narrow(stored.substr(0, stored.find(L'\0')));
    }
    return rc;
}

// Does work over [0, count) in shares, each on a thread of its own. A share whose thread cannot
// start, or whose work fails, is done again by fallback on the calling thread.
void SideBySide(std::size_t count,
                const std::function<void(std::size_t, std::size_t)>& work,
                const std::function<void(std::size_t, std::size_t)>& fallback) {
    struct Share {
        const std::function<void(std::size_t, std::size_t)>* work;
        std::size_t begin;
        std::size_t end;
        bool done;

        static DWORD WINAPI Run(void* self) {
            auto& share = *static_cast<Share*>(self);
            try {
                (*share.work)(share.begin, share.end);
                share.done = true;
            } catch (...) {
            }
            return 0;
        }
    };
    std::vector<Share> shares;
    const std::size_t size = (count + kSideBySideThreads - 1) / kSideBySideThreads;
    for (std::size_t begin = 0; begin < count; begin += size)
        shares.push_back({&work, begin, std::min(begin + size, count), false});
    std::vector<UniqueHandle> threads;
    for (Share& share : shares)
        threads.emplace_back(::CreateThread(nullptr, 0, Share::Run, &share, 0, nullptr));
    for (const UniqueHandle& thread : threads) {
        if (thread)
            ::WaitForSingleObject(thread.get(), INFINITE);
    }
    for (const Share& share : shares) {
        if (!share.done)
            fallback(share.begin, share.end);
    }
}

// The section's key on a handle of its own, for one thread of a batch; created when asked to.
bool OpenSection(const std::string& path, bool create, UniqueHkey& hkey) {
    hkey.reset();
    const LONG opened = create ? ::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                                   nullptr, hkey.put(), nullptr)
                               : ::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_QUERY_VALUE, hkey.put());
    return opened == ERROR_SUCCESS;
}

LONG SetText(HKEY hkey, const std::string& name, const std::string& text) {
    const std::wstring data = Wide(text);
    return ::RegSetValueExW(hkey, Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

HKEY Win32SettingsArea::Section(const std::string& application, const std::string& section, bool create) {
    const std::string path = SectionPath(application, section);
    if (openKey_ && path == openPath_)
        return openKey_.get();
    openKey_.reset();
    const LONG opened = create
                            ? ::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr, 0, kSectionAccess,
                                                nullptr, openKey_.put(), nullptr)
                            : ::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, kSectionAccess, openKey_.put());
    if (opened != ERROR_SUCCESS) {
        openKey_.reset();
        return nullptr;
    }
    openPath_ = path;
    return openKey_.get();
}

std::optional<std::string> Win32SettingsArea::ReadSetting(const std::string& application,
                                                          const std::string& section,
                                                          const std::string& key) {
    // A key deleted behind the program's back (a plugin may delete any key) is looked for afresh.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const HKEY hkey = Section(application, section, false);
        if (!hkey)
            return std::nullopt;
        std::optional<std::string> text;
        if (QueryText(hkey, key, text) == ERROR_KEY_DELETED) {
            openKey_.reset();
            continue;
        }
        return text;
    }
    return std::nullopt;
}

std::vector<std::optional<std::string>> Win32SettingsArea::ReadSettings(const std::string& application,
                                                                        const std::string& section,
                                                                        const std::vector<std::string>& keys) {
    if (keys.size() < kSideBySideFrom)
        return SettingsArea::ReadSettings(application, section, keys);
    std::vector<std::optional<std::string>> values(keys.size());
    const std::string path = SectionPath(application, section);
    SideBySide(
        keys.size(),
        [&](std::size_t begin, std::size_t end) {
            UniqueHkey hkey;
            bool open = OpenSection(path, false, hkey);
            for (std::size_t i = begin; open && i < end; ++i) {
                // A key deleted behind the program's back is looked for afresh, once.
                if (QueryText(hkey.get(), keys[i], values[i]) == ERROR_KEY_DELETED &&
                    (open = OpenSection(path, false, hkey)))
                    QueryText(hkey.get(), keys[i], values[i]);
            }
        },
        [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                values[i] = ReadSetting(application, section, keys[i]);
        });
    return values;
}

std::vector<bool> Win32SettingsArea::SaveSettings(const std::string& application,
                                                  const std::string& section,
                                                  const std::vector<std::pair<std::string, std::string>>& values) {
    if (values.size() < kSideBySideFrom)
        return SettingsArea::SaveSettings(application, section, values);
    // One byte each: threads may not share the bits of a vector<bool>.
    std::vector<char> saved(values.size(), 0);
    const std::string path = SectionPath(application, section);
    SideBySide(
        values.size(),
        [&](std::size_t begin, std::size_t end) {
            UniqueHkey hkey;
            bool open = OpenSection(path, true, hkey);
            for (std::size_t i = begin; open && i < end; ++i) {
                LONG rc = SetText(hkey.get(), values[i].first, values[i].second);
                // A key deleted behind the program's back is made afresh, once.
                if (rc == ERROR_KEY_DELETED && (open = OpenSection(path, true, hkey)))
                    rc = SetText(hkey.get(), values[i].first, values[i].second);
                saved[i] = rc == ERROR_SUCCESS;
            }
        },
        [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                saved[i] = SaveSetting(application, section, values[i].first, values[i].second);
        });
    return {saved.begin(), saved.end()};
}

bool Win32SettingsArea::SaveSetting(const std::string& application,
                                    const std::string& section,
                                    const std::string& key,
                                    const std::string& text) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const HKEY hkey = Section(application, section, true);
        if (!hkey)
            return false;
        const LONG rc = SetText(hkey, key, text);
        if (rc == ERROR_KEY_DELETED) {
            openKey_.reset();
            continue;
        }
        return rc == ERROR_SUCCESS;
    }
    return false;
}

std::uint64_t Win32SettingsArea::WatchSection(const std::string& application, const std::string& section) {
    watch_ = 0;
    watchKey_.reset();
    if (!watchEvent_)
        watchEvent_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!watchEvent_)
        return 0;
    ::ResetEvent(watchEvent_.get());
    const std::string path = SectionPath(application, section);
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_NOTIFY | KEY_QUERY_VALUE, watchKey_.put()) !=
            ERROR_SUCCESS ||
        ::RegNotifyChangeKeyValue(watchKey_.get(), FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                  watchEvent_.get(), TRUE) != ERROR_SUCCESS) {
        watchKey_.reset();
        return 0;
    }
    watch_ = ++lastWatch_;
    return watch_;
}

bool Win32SettingsArea::SectionChanged(std::uint64_t watch) {
    // The system signals the event when a value is set to other data or removed, and when the thread
    // that began the watch has ended. Not every system signals the key's removal: the handle says it
    // (a key made again under the same name is another key).
    if (watch == 0 || watch != watch_)
        return true;
    if (::WaitForSingleObject(watchEvent_.get(), 0) != WAIT_TIMEOUT)
        return true;
    DWORD values = 0;
    return ::RegQueryInfoKeyW(watchKey_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                              nullptr, nullptr, nullptr) != ERROR_SUCCESS;
}

}  // namespace nimbral::win32
