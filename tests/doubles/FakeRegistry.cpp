#include "doubles/FakeRegistry.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "doubles/PathParts.h"
#include "text/AnsiText.h"

namespace nimbral::testing {

namespace {

std::vector<std::string> Segments(const std::string& keyPath) {
    auto parts = PathParts(keyPath);
    for (auto& part : parts)
        part = FoldCase(part);
    return parts;
}

constexpr std::size_t kEnumBufferChars = 255;

std::string TextOfData(const std::string& data) {
    return data.substr(0, data.find('\0'));
}

}  // namespace

FakeRegistry::Key* FakeRegistry::Find(Hive hive, const std::string& keyPath) const {
    Key* key = &hives_[hive];
    for (const std::string& segment : Segments(keyPath)) {
        const auto it = key->subkeys.find(segment);
        if (it == key->subkeys.end())
            return nullptr;
        key = it->second.get();
    }
    return key;
}

FakeRegistry::Key& FakeRegistry::Create(Hive hive, const std::string& keyPath) {
    Key* key = &hives_[hive];
    for (const std::string& segment : Segments(keyPath)) {
        auto& child = key->subkeys[segment];
        if (!child)
            child = std::make_unique<Key>();
        key = child.get();
    }
    return *key;
}

bool FakeRegistry::Put(Hive hive,
                       const std::string& keyPath,
                       const std::string& valueName,
                       std::uint32_t type,
                       const std::string& data) {
    Key& key = Create(hive, keyPath);
    if (key.locked)
        return false;
    auto& value = key.values[FoldCase(valueName)];
    // Like the real registry, an overwrite keeps the name's first spelling.
    if (value.name.empty())
        value.name = valueName;
    value.type = type;
    value.data = data;
    return true;
}

void FakeRegistry::PutRaw(Hive hive,
                          const std::string& keyPath,
                          const std::string& valueName,
                          std::uint32_t type,
                          const std::string& data) {
    Put(hive, keyPath, valueName, type, data);
}

std::vector<std::string> FakeRegistry::Dump() const {
    std::vector<std::string> lines;
    const std::function<void(const Key&, const std::string&)> walk = [&](const Key& key, const std::string& path) {
        lines.push_back(path);
        for (const auto& [folded, value] : key.values)
            lines.push_back(path + " " + value.name + "=" + std::to_string(value.type) + ":" + value.data);
        for (const auto& [folded, subkey] : key.subkeys)
            walk(*subkey, path + "\\" + folded);
    };
    for (const auto& [hive, root] : hives_)
        walk(root, std::to_string(static_cast<std::uint32_t>(hive)));
    return lines;
}

bool FakeRegistry::KeyExists(Hive hive, const std::string& keyPath) const {
    return Find(hive, keyPath) != nullptr;
}

std::optional<FakeRegistry::RawValue> FakeRegistry::Raw(Hive hive,
                                                        const std::string& keyPath,
                                                        const std::string& valueName) const {
    const Key* key = Find(hive, keyPath);
    if (!key)
        return std::nullopt;
    const auto it = key->values.find(FoldCase(valueName));
    if (it == key->values.end())
        return std::nullopt;
    return RawValue{it->second.type, it->second.data};
}

bool FakeRegistry::SetStringValue(Hive hive,
                                  const std::string& keyPath,
                                  const std::string& valueName,
                                  const std::string& text) {
    return Put(hive, keyPath, valueName, kRegSz, text + '\0');
}

std::string FakeRegistry::ReadStringValue(Hive hive, const std::string& keyPath, const std::string& valueName) {
    const Key* key = Find(hive, keyPath);
    if (!key)
        return {};
    std::string result;
    for (const auto& [folded, value] : key->values) {
        // The name needs room for its zero; the data is measured as stored.
        if (value.name.size() >= kEnumBufferChars || value.data.size() > kEnumBufferChars)
            break;
        if (value.name == valueName)
            result = value.data.substr(0, value.data.empty() ? 0 : value.data.size() - 1);
    }
    return result;
}

void FakeRegistry::DeleteRegistryValue(Hive hive, const std::string& keyPath, const std::string& valueName) {
    if (Key* key = Find(hive, keyPath); key && !key->locked)
        key->values.erase(FoldCase(valueName));
}

void FakeRegistry::LockKey(Hive hive, const std::string& keyPath) {
    Create(hive, keyPath).locked = true;
}

std::string FakeRegistry::DeleteRegistryKey(Hive hive, const std::string& keyPath) {
    const auto segments = Segments(keyPath);
    if (segments.empty())
        return kKeyNotDeleted;
    std::string parentPath;
    for (std::size_t i = 0; i + 1 < segments.size(); ++i)
        parentPath += segments[i] + "\\";
    Key* parent = Find(hive, parentPath);
    if (!parent)
        return kKeyNotDeleted;
    const auto it = parent->subkeys.find(segments.back());
    if (it == parent->subkeys.end() || !it->second->subkeys.empty() || it->second->locked)
        return kKeyNotDeleted;
    parent->subkeys.erase(it);
    return kKeyDeleted;
}

std::optional<std::vector<std::string>> FakeRegistry::ValueNames(Hive hive, const std::string& keyPath) {
    std::vector<std::string> names;
    if (const Key* key = Find(hive, keyPath)) {
        for (const auto& [folded, value] : key->values)
            names.push_back(value.name);
    }
    return names;
}

std::optional<std::vector<std::string>> FakeRegistry::SubkeyNames(Hive hive, const std::string& keyPath) {
    const Key* key = Find(hive, keyPath);
    if (!key)
        return std::nullopt;
    std::vector<std::string> names;
    for (const auto& [folded, subkey] : key->subkeys)
        names.push_back(folded);
    return names;
}

void FakeRegistry::SaveKey(Hive hive, const std::string& keyPath) {
    Create(hive, keyPath);
}

std::string FakeRegistry::GetString(Hive hive, const std::string& keyPath, const std::string& valueName) {
    const auto value = Raw(hive, keyPath, valueName);
    if (!value || value->type != kRegSz)
        return {};
    return TextOfData(value->data);
}

void FakeRegistry::SaveString(Hive hive,
                              const std::string& keyPath,
                              const std::string& valueName,
                              const std::string& text) {
    // Like NT, the registry counts the terminating zero the caller left out.
    Put(hive, keyPath, valueName, kRegSz, text + '\0');
}

void FakeRegistry::DeleteValue(Hive hive, const std::string& keyPath, const std::string& valueName) {
    DeleteRegistryValue(hive, keyPath, valueName);
}

void FakeRegistry::DeleteKey(Hive hive, const std::string& keyPath) {
    DeleteRegistryKey(hive, keyPath);
}

}  // namespace nimbral::testing
