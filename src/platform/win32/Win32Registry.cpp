#include "platform/win32/Win32Registry.h"

#include <algorithm>
#include <vector>

#include "platform/win32/SystemText.h"
#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

namespace {

// Buffers of the enumeration: a value whose name or data does not fit ends the walk.
constexpr DWORD kEnumBufferChars = 255;
// All access but the rights to link keys: what the key is created and written with.
constexpr REGSAM kCreateAccess = 0x3F;

const BYTE* Bytes(const std::wstring& text) {
    return reinterpret_cast<const BYTE*>(text.c_str());
}

DWORD ByteCount(std::size_t characters) {
    return static_cast<DWORD>(characters * sizeof(wchar_t));
}

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// An empty path would name the hive itself, which is never ours to delete.
bool NamesNoKey(const std::string& keyPath) {
    return std::all_of(keyPath.begin(), keyPath.end(), [](char c) { return c == '\\'; });
}

// Every name an enumeration gives, from a buffer of the longest name measured; a name added since
// the measure grows the buffer. No value when the enumeration fails part way.
template <typename Enumerate>
std::optional<std::vector<std::string>> EnumerateNames(DWORD longestName, Enumerate enumerate) {
    std::vector<std::string> names;
    std::wstring name(longestName + 1, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG status = enumerate(index, name.data(), &length);
        if (status == ERROR_NO_MORE_ITEMS)
            return names;
        if (status == ERROR_MORE_DATA) {
            name.resize(name.size() * 2);
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        names.push_back(Narrow(std::wstring_view(name.data(), length)));
    }
}

}  // namespace

HKEY HiveKey(Hive hive) {
    switch (hive) {
        case Hive::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case Hive::CurrentUser:
            return HKEY_CURRENT_USER;
        case Hive::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case Hive::Users:
            return HKEY_USERS;
    }
    return nullptr;
}

bool Win32Registry::SetStringValue(Hive hive,
                                   const std::string& keyPath,
                                   const std::string& valueName,
                                   const std::string& text) {
    wchar_t noClass[] = L"";
    UniqueHkey key;
    DWORD disposition = 0;
    if (::RegCreateKeyExW(HiveKey(hive), Wide(keyPath).c_str(), 0, noClass, 0, kCreateAccess, nullptr, key.put(),
                          &disposition) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring data = Wide(text);
    return ::RegSetValueExW(key.get(), Wide(valueName).c_str(), 0, REG_SZ, Bytes(data), ByteCount(data.size() + 1)) ==
           ERROR_SUCCESS;
}

std::string Win32Registry::ReadStringValue(Hive hive, const std::string& keyPath, const std::string& valueName) {
    UniqueHkey key;
    if (::RegOpenKeyExW(HiveKey(hive), Wide(keyPath).c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return {};
    const std::wstring wanted = Wide(valueName);
    std::string result;
    for (DWORD index = 0;; ++index) {
        wchar_t name[kEnumBufferChars] = {};
        wchar_t data[kEnumBufferChars] = {};
        DWORD nameLength = kEnumBufferChars;
        DWORD dataLength = sizeof data;
        DWORD type = REG_NONE;
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data),
                            &dataLength) != ERROR_SUCCESS) {
            break;
        }
        // Data of another kind is taken byte for byte, and does not fit where more than 255 bytes
        // would not.
        if (!IsText(type) && dataLength > kEnumBufferChars)
            break;
        // The data without its terminating zero. Later matches win: the walk goes on to the end.
        if (std::wstring_view(name, nameLength) != wanted)
            continue;
        if (IsText(type)) {
            const std::size_t characters = dataLength / sizeof(wchar_t);
            result = Narrow(std::wstring_view(data, characters > 0 ? characters - 1 : 0));
        } else {
            result.assign(reinterpret_cast<const char*>(data), dataLength > 0 ? dataLength - 1 : 0);
        }
    }
    return result;
}

void Win32Registry::DeleteRegistryValue(Hive hive, const std::string& keyPath, const std::string& valueName) {
    UniqueHkey key;
    if (::RegOpenKeyW(HiveKey(hive), Wide(keyPath).c_str(), key.put()) != ERROR_SUCCESS)
        return;
    ::RegDeleteValueW(key.get(), Wide(valueName).c_str());
}

std::string Win32Registry::DeleteRegistryKey(Hive hive, const std::string& keyPath) {
    if (NamesNoKey(keyPath))
        return kKeyNotDeleted;
    return ::RegDeleteKeyW(HiveKey(hive), Wide(keyPath).c_str()) == ERROR_SUCCESS ? kKeyDeleted : kKeyNotDeleted;
}

std::optional<std::vector<std::string>> Win32Registry::ValueNames(Hive hive, const std::string& keyPath) {
    UniqueHkey key;
    const LONG opened = ::RegOpenKeyExW(HiveKey(hive), Wide(keyPath).c_str(), 0, KEY_QUERY_VALUE, key.put());
    if (opened == ERROR_FILE_NOT_FOUND)
        return std::vector<std::string>();
    DWORD longestName = 0;
    if (opened != ERROR_SUCCESS ||
        ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return EnumerateNames(longestName, [&key](DWORD index, wchar_t* name, DWORD* length) {
        return ::RegEnumValueW(key.get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

std::optional<std::vector<std::string>> Win32Registry::SubkeyNames(Hive hive, const std::string& keyPath) {
    UniqueHkey key;
    DWORD longestName = 0;
    if (::RegOpenKeyExW(HiveKey(hive), Wide(keyPath).c_str(), 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, key.put()) !=
            ERROR_SUCCESS ||
        ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, &longestName, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return EnumerateNames(longestName, [&key](DWORD index, wchar_t* name, DWORD* length) {
        return ::RegEnumKeyExW(key.get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

void Win32Registry::SaveKey(Hive hive, const std::string& keyPath) {
    UniqueHkey key;
    ::RegCreateKeyW(HiveKey(hive), Wide(keyPath).c_str(), key.put());
}

std::string Win32Registry::GetString(Hive hive, const std::string& keyPath, const std::string& valueName) {
    UniqueHkey key;
    if (::RegOpenKeyW(HiveKey(hive), Wide(keyPath).c_str(), key.put()) != ERROR_SUCCESS)
        return {};
    const std::wstring name = Wide(valueName);
    DWORD type = REG_NONE;
    DWORD size = 0;
    ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (type != REG_SZ)
        return {};
    std::wstring buffer((size + 1) / sizeof(wchar_t), L' ');
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return Narrow(std::wstring_view(buffer).substr(0, buffer.find(L'\0')));
}

void Win32Registry::SaveString(Hive hive,
                               const std::string& keyPath,
                               const std::string& valueName,
                               const std::string& text) {
    UniqueHkey key;
    if (::RegCreateKeyW(HiveKey(hive), Wide(keyPath).c_str(), key.put()) != ERROR_SUCCESS)
        return;
    const std::wstring data = Wide(text);
    ::RegSetValueExW(key.get(), Wide(valueName).c_str(), 0, REG_SZ, Bytes(data), ByteCount(data.size()));
}

// The same calls as DeleteRegistryValue.
void Win32Registry::DeleteValue(Hive hive, const std::string& keyPath, const std::string& valueName) {
    DeleteRegistryValue(hive, keyPath, valueName);
}

void Win32Registry::DeleteKey(Hive hive, const std::string& keyPath) {
    if (NamesNoKey(keyPath))
        return;
    ::RegDeleteKeyW(HiveKey(hive), Wide(keyPath).c_str());
}

}  // namespace nimbral::win32
