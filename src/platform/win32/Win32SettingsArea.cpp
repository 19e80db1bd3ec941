#include "platform/win32/Win32SettingsArea.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace nimbral::win32 {

namespace {

std::string SectionPath(const std::string& application, const std::string& section) {
    return std::string(kSettingsRoot) + "\\" + application + "\\" + section;
}

constexpr REGSAM kSectionAccess = KEY_QUERY_VALUE | KEY_SET_VALUE;

// Fewer values than this are read one after another: starting readers would cost more.
constexpr std::size_t kSideBySideFrom = 256;
constexpr std::size_t kSideBySideReaders = 8;

// One value of an open key as text (none when it is missing or not text). ERROR_KEY_DELETED when
// the key went away under the handle.
LONG QueryText(HKEY hkey, const std::string& name, std::optional<std::string>& text) {
    text.reset();
    // Most settings fit the first buffer; the value may also grow between two queries, so ask until
    // the buffer holds all of it.
    std::vector<char> data(512);
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(data.size());
    LONG rc = ::RegQueryValueExA(hkey, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    while (rc == ERROR_MORE_DATA) {
        data.resize(size);
        rc = ::RegQueryValueExA(hkey, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        const std::string stored(data.data(), size);
        text = stored.substr(0, stored.find('\0'));
    }
    return rc;
}

// Reads one share of a batch on a thread of its own, through a handle of its own.
struct SliceReader {
    std::string path;
    const std::vector<std::string>* keys;
    std::vector<std::optional<std::string>>* values;
    std::size_t begin;
    std::size_t end;
    // False when the share is still to be read (the reader failed).
    bool done;

    static DWORD WINAPI Run(void* self) {
        auto& reader = *static_cast<SliceReader*>(self);
        try {
            reader.Read();
            reader.done = true;
        } catch (...) {
        }
        return 0;
    }

    void Read() {
        UniqueHkey hkey;
        bool open = Open(hkey);
        for (std::size_t i = begin; open && i < end; ++i) {
            // A key deleted behind the program's back is looked for afresh, once.
            if (QueryText(hkey.get(), (*keys)[i], (*values)[i]) == ERROR_KEY_DELETED && (open = Open(hkey)))
                QueryText(hkey.get(), (*keys)[i], (*values)[i]);
        }
    }

    bool Open(UniqueHkey& hkey) const {
        hkey.reset();
        return ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, hkey.put()) == ERROR_SUCCESS;
    }
};

}  // namespace

HKEY Win32SettingsArea::Section(const std::string& application, const std::string& section, bool create) {
    const std::string path = SectionPath(application, section);
    if (openKey_ && path == openPath_)
        return openKey_.get();
    openKey_.reset();
    const LONG opened = create ? ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, kSectionAccess,
                                                   nullptr, openKey_.put(), nullptr)
                               : ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, kSectionAccess, openKey_.put());
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

    // Each value is a call that mostly waits on the system (under Wine, a round trip to its
    // server): readers side by side, each with its own handle, take about half the time of one.
    std::vector<std::optional<std::string>> values(keys.size());
    std::vector<SliceReader> readers;
    readers.reserve(kSideBySideReaders);
    const std::size_t share = (keys.size() + kSideBySideReaders - 1) / kSideBySideReaders;
    for (std::size_t begin = 0; begin < keys.size(); begin += share)
        readers.push_back(
            {SectionPath(application, section), &keys, &values, begin, std::min(begin + share, keys.size()), false});
    std::vector<UniqueHandle> threads;
    for (SliceReader& reader : readers) {
        UniqueHandle thread(::CreateThread(nullptr, 0, SliceReader::Run, &reader, 0, nullptr));
        // A reader that cannot start does its share here instead.
        if (!thread)
            SliceReader::Run(&reader);
        threads.push_back(std::move(thread));
    }
    for (const UniqueHandle& thread : threads) {
        if (thread)
            ::WaitForSingleObject(thread.get(), INFINITE);
    }
    for (const SliceReader& reader : readers) {
        if (reader.done)
            continue;
        for (std::size_t i = reader.begin; i < reader.end; ++i)
            values[i] = ReadSetting(application, section, keys[i]);
    }
    return values;
}

bool Win32SettingsArea::SaveSetting(const std::string& application,
                                    const std::string& section,
                                    const std::string& key,
                                    const std::string& text) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const HKEY hkey = Section(application, section, true);
        if (!hkey)
            return false;
        const LONG rc = ::RegSetValueExA(hkey, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                         static_cast<DWORD>(text.size() + 1));
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
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_NOTIFY | KEY_QUERY_VALUE, watchKey_.put()) !=
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
    return ::RegQueryInfoKeyA(watchKey_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                              nullptr, nullptr, nullptr) != ERROR_SUCCESS;
}

}  // namespace nimbral::win32
