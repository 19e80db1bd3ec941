#pragma once

// The settings area in memory: key names ignore letter case, as registry value names do, and a
// value that is not a string reads as missing.

#include <map>
#include <string>
#include <tuple>

#include "platform/SettingsArea.h"
#include "text/AnsiText.h"

namespace nimbral::testing {

class FakeSettingsArea final : public SettingsArea {
  public:
    std::string GetSetting(const std::string& application,
                           const std::string& section,
                           const std::string& key,
                           const std::string& defaultText) override {
        ++reads_;
        const auto it = values_.find(Id(application, section, key));
        if (it == values_.end() || !it->second.isString)
            return defaultText;
        return it->second.text;
    }
    bool SaveSetting(const std::string& application,
                     const std::string& section,
                     const std::string& key,
                     const std::string& text) override {
        ++writes_;
        values_[Id(application, section, key)] = {text, true};
        return true;
    }

    // For fixtures: a value of another type under the key.
    void PutNonString(const std::string& application, const std::string& section, const std::string& key) {
        values_[Id(application, section, key)] = {"", false};
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
    static IdType Id(const std::string& application, const std::string& section, const std::string& key) {
        return {FoldCase(application), FoldCase(section), FoldCase(key)};
    }

    std::map<IdType, Stored> values_;
    int writes_ = 0;
    int reads_ = 0;
};

}  // namespace nimbral::testing
