#pragma once

// The settings area in memory: key names ignore letter case, as registry value names do, and a
// value that is not a string reads as missing.

#include <cstdint>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "platform/SettingsArea.h"
#include "text/AnsiText.h"

namespace nimbral::testing {

class FakeSettingsArea final : public SettingsArea {
  public:
    std::optional<std::string> ReadSetting(const std::string& application,
                                           const std::string& section,
                                           const std::string& key) override {
        ++reads_;
        const auto it = values_.find(Id(application, section, key));
        if (it == values_.end() || !it->second.isString)
            return std::nullopt;
        return it->second.text;
    }
    bool SaveSetting(const std::string& application,
                     const std::string& section,
                     const std::string& key,
                     const std::string& text) override {
        ++writes_;
        Stored& stored = values_[Id(application, section, key)];
        if (!stored.isString || stored.text != text)
            Change(application, section);
        stored = {text, true};
        return true;
    }
    std::uint64_t WatchSection(const std::string& application, const std::string& section) override {
        watch_ = 0;
        if (!HasSection(application, section))
            return 0;
        watched_ = Section(application, section);
        changed_ = false;
        watch_ = ++lastWatch_;
        return watch_;
    }
    bool SectionChanged(std::uint64_t watch) override { return watch == 0 || watch != watch_ || changed_; }

    // For fixtures, each a change another program could make: a value of another type under the
    // key, a value removed, and the whole section removed.
    void PutNonString(const std::string& application, const std::string& section, const std::string& key) {
        Change(application, section);
        values_[Id(application, section, key)] = {"", false};
    }
    void RemoveValue(const std::string& application, const std::string& section, const std::string& key) {
        Change(application, section);
        values_.erase(Id(application, section, key));
    }
    void RemoveSection(const std::string& application, const std::string& section) {
        Change(application, section);
        for (auto it = values_.begin(); it != values_.end();)
            it = std::get<0>(it->first) == FoldCase(application) && std::get<1>(it->first) == FoldCase(section)
                     ? values_.erase(it)
                     : std::next(it);
    }
    bool Has(const std::string& application, const std::string& section, const std::string& key) const {
        return values_.count(Id(application, section, key)) != 0;
    }
    int Writes() const { return writes_; }
    int Reads() const { return reads_; }

  private:
    struct Stored {
        std::string text;
        bool isString = true;
    };
    using IdType = std::tuple<std::string, std::string, std::string>;
    using SectionId = std::pair<std::string, std::string>;
    static SectionId Section(const std::string& application, const std::string& section) {
        return {FoldCase(application), FoldCase(section)};
    }
    bool HasSection(const std::string& application, const std::string& section) const {
        for (const auto& [id, stored] : values_) {
            if (std::get<0>(id) == FoldCase(application) && std::get<1>(id) == FoldCase(section))
                return true;
        }
        return false;
    }
    void Change(const std::string& application, const std::string& section) {
        if (watch_ != 0 && watched_ == Section(application, section))
            changed_ = true;
    }
    static IdType Id(const std::string& application, const std::string& section, const std::string& key) {
        return {FoldCase(application), FoldCase(section), FoldCase(key)};
    }

    std::map<IdType, Stored> values_;
    SectionId watched_;
    bool changed_ = false;
    std::uint64_t watch_ = 0;
    std::uint64_t lastWatch_ = 0;
    int writes_ = 0;
    int reads_ = 0;
};

}  // namespace nimbral::testing
