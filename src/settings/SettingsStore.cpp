#include "settings/SettingsStore.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "settings/modHash.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

std::string SlotKey(ListId list, std::size_t index) {
    return ListPrefix(list) + DecimalText(std::uint64_t{index});
}

std::string Unscrambled(std::string text, bool scrambled) {
    if (scrambled)
        ScrambleText(text);
    return text;
}

const ListBoxRows& WizardRows(const WizardControls& controls, ListId list) {
    switch (list) {
        case ListId::Sites:
            return controls.lstSites[1];
        case ListId::Cookies:
            return controls.lstSites[2];
        case ListId::Files:
            return controls.lstFiles;
        case ListId::Paths:
            return controls.lstPaths;
        case ListId::Media:
            return controls.lstMedia;
        case ListId::Docs:
            return controls.lstDoc;
    }
    return controls.lstDoc;
}

// The first batch of list slots read from the area: most lists are short.
constexpr std::size_t kFirstBatch = 16;

// Sets a flag for the length of a scope, and puts back what it held.
class ScopedFlag {
  public:
    ScopedFlag(bool& flag, bool value) : flag_(flag), before_(flag) { flag = value; }
    ~ScopedFlag() { flag_ = before_; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

  private:
    bool& flag_;
    bool before_;
};

ListBoxRows& WizardRows(WizardControls& controls, ListId list) {
    return const_cast<ListBoxRows&>(WizardRows(static_cast<const WizardControls&>(controls), list));
}

}  // namespace

SettingsStore::SettingsStore(SettingsArea& area, std::string applicationName)
    : area_(area), application_(std::move(applicationName)) {}

std::vector<std::optional<std::string>> SettingsStore::StoredMany(const std::vector<std::string>& keys) const {
    std::vector<std::optional<std::string>> values(keys.size());
    std::vector<std::size_t> unknown;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const auto known = trusted_ ? known_.find(FoldCase(keys[k])) : known_.end();
        if (known != known_.end())
            values[k] = known->second;
        else
            unknown.push_back(k);
    }
    if (unknown.empty())
        return values;
    std::vector<std::string> asked;
    asked.reserve(unknown.size());
    for (std::size_t k : unknown)
        asked.push_back(keys[k]);
    std::vector<std::optional<std::string>> read = area_.ReadSettings(application_, kSettingsSection, asked);
    for (std::size_t n = 0; n < unknown.size() && n < read.size(); ++n) {
        if (recording_)
            known_[FoldCase(asked[n])] = read[n];
        values[unknown[n]] = std::move(read[n]);
    }
    return values;
}

std::string SettingsStore::GetSetting(const std::string& key, const std::string& defaultText) const {
    return StoredMany({key}).front().value_or(defaultText);
}

std::vector<std::string> SettingsStore::GetSettings(const std::vector<std::string>& keys,
                                                    const std::string& defaultText) const {
    std::vector<std::string> texts;
    texts.reserve(keys.size());
    for (std::optional<std::string>& value : StoredMany(keys))
        texts.push_back(std::move(value).value_or(defaultText));
    return texts;
}

bool SettingsStore::SaveSetting(const std::string& key, const std::string& text) const {
    return SaveMany({{key, text}}).front();
}

std::vector<bool> SettingsStore::SaveMany(const std::vector<std::pair<std::string, std::string>>& values) const {
    std::vector<bool> saved(values.size(), true);
    std::vector<std::size_t> needed;
    for (std::size_t n = 0; n < values.size(); ++n) {
        // Writing what the section is known to hold already would change nothing.
        const auto known = trusted_ ? known_.find(FoldCase(values[n].first)) : known_.end();
        if (known == known_.end() || known->second != values[n].second)
            needed.push_back(n);
    }
    if (needed.empty())
        return saved;
    std::vector<std::pair<std::string, std::string>> writes;
    writes.reserve(needed.size());
    for (std::size_t n : needed)
        writes.push_back(values[n]);
    const std::vector<bool> written = area_.SaveSettings(application_, kSettingsSection, writes);
    for (std::size_t w = 0; w < needed.size(); ++w) {
        const bool ok = w < written.size() && written[w];
        saved[needed[w]] = ok;
        if (!recording_)
            continue;
        if (ok)
            known_[FoldCase(writes[w].first)] = writes[w].second;
        else
            known_.erase(FoldCase(writes[w].first));
    }
    return saved;
}

void SettingsStore::SaveWizardSettingsAndReload(const WizardControls& controls) {
    if (area_.SectionChanged(watch_))
        known_.clear();
    const ScopedFlag trusted(trusted_, true), recording(recording_, true);
    SaveWizardSettings(controls);
    LoadSettings();
}

void SettingsStore::LoadFlag(const char* key, const char* defaultText, std::int16_t& flag) {
    if (const auto value = ParseInt16(GetSetting(key, defaultText)))
        flag = *value;
}

std::string SettingsStore::LoadText(const std::string& key) const {
    return Unscrambled(GetSetting(key, ""), current_.enc == 1);
}

void SettingsStore::LoadSettings() {
    if (trusted_) {
        ReadEverySetting();
        return;
    }
    // A full list is 60,000 values read one by one, seconds under some systems; while nothing has
    // changed the section, what was read last time is what a read would give now.
    if (!area_.SectionChanged(watch_)) {
        const ScopedFlag trusted(trusted_, true), recording(recording_, true);
        ReadEverySetting();
        return;
    }
    known_.clear();
    // Watched before reading, so that a change made while reading is seen next time.
    watch_ = area_.WatchSection(application_, kSettingsSection);
    const ScopedFlag recording(recording_, watch_ != 0);
    ReadEverySetting();
}

void SettingsStore::ReadEverySetting() {
    Settings& s = current_;
    LoadFlag("ipa", "0", s.ipa);
    LoadFlag("enc", "1", s.enc);
    LoadFlag("ras", "0", s.ras);
    LoadFlag("ste", "0", s.ste);
    LoadFlag("hky", "1", s.hky);

    LoadFlag("dehist", "1", s.dehist);
    LoadFlag("decook", "1", s.decook);
    LoadFlag("detype", "1", s.detype);
    LoadFlag("dedocu", "1", s.dedocu);
    LoadFlag("demedi", "1", s.demedi);
    LoadFlag("deoffi", "1", s.deoffi);
    LoadFlag("dewint", "1", s.dewint);
    LoadFlag("deintt", "1", s.deintt);
    LoadFlag("derecy", "1", s.derecy);
    LoadFlag("deruns", "1", s.deruns);

    s.pas = LoadText("pas");
    s.td = LoadText("td");
    s.mk = LoadText("mk");
    s.rk = LoadText("rk");

    ReadLists();
}

void SettingsStore::ReadLists() {
    Settings& s = current_;
    for (ListId list : kAllLists)
        s.List(list).Clear();
    // Each list ends at its first empty value. Reading it from the area, a batch of slots of every
    // list still open is asked at once, growing batch by batch, so that full lists cost few batches
    // and short ones few values past their end; from what is known, slot by slot. Reading stops at
    // the last slot: anything stored past it could never be held anyway.
    std::vector<ListId> open(std::begin(kAllLists), std::end(kAllLists));
    std::size_t batch = trusted_ ? 1 : kFirstBatch;
    for (std::size_t from = 0; !open.empty() && from < SettingList::size(); from += batch, batch *= trusted_ ? 1 : 4) {
        const std::size_t to = std::min(from + batch, SettingList::size());
        std::vector<std::string> keys;
        for (ListId list : open) {
            for (std::size_t i = from; i < to; ++i)
                keys.push_back(SlotKey(list, i));
        }
        const std::vector<std::optional<std::string>> values = StoredMany(keys);
        std::vector<ListId> stillOpen;
        auto value = values.begin();
        for (ListId list : open) {
            bool ended = false;
            for (std::size_t i = from; i < to; ++i, ++value) {
                if (ended)
                    continue;
                std::string text = Unscrambled(value->value_or(""), s.enc == 1);
                if (text.empty())
                    ended = true;
                else
                    s.List(list)[i] = std::move(text);
            }
            if (!ended)
                stillOpen.push_back(list);
        }
        open = std::move(stillOpen);
    }
}

void SettingsStore::ClearStoredLists() {
    // Values are overwritten, never removed; a cleared list ends at its first value.
    for (ListId list : kAllLists) {
        for (std::size_t i = 0;; ++i) {
            const std::string key = SlotKey(list, i);
            if (GetSetting(key, "").empty())
                break;
            SaveSetting(key, "");
        }
    }
}

void SettingsStore::SaveWizardSettings(const WizardControls& controls) {
    const std::int16_t enc = controls.chkencrypt;
    const auto stored = [enc](std::string text) {
        if (enc == 1)
            ScrambleText(text);
        return text;
    };
    // Stored together at the end, as one batch: nothing below reads a value written here.
    std::vector<std::pair<std::string, std::string>> writes;

    writes.emplace_back("enc", DecimalText(int{enc}));
    writes.emplace_back("ras", DecimalText(int{controls.chkRunAtStart}));
    writes.emplace_back("ste", DecimalText(int{controls.chkStealthMode}));
    writes.emplace_back("hky", DecimalText(int{controls.chkHotKey}));
    writes.emplace_back("ipa", DecimalText(int{controls.chkPassword}));
    writes.emplace_back("pas", stored(controls.txtPass1));
    writes.emplace_back("td", stored(controls.txtSetting[0]));
    writes.emplace_back("mk", stored(controls.txtSetting[2]));
    writes.emplace_back("rk", stored(controls.txtSetting[3]));

    // The emptiness test is made on the text as stored, so with scrambling on a single blank is kept
    // (it becomes code 160). Stored lists are numbered from 0 without gaps either way. The old list
    // is cleared as it is overwritten: only the entries past the new list's end are blanked, so a
    // list of 10,001 entries is written once, not cleared and written.
    for (ListId list : kAllLists) {
        const ListBoxRows& rows = WizardRows(controls, list);
        const std::size_t count = std::min(rows.size(), kListSlots);
        std::size_t n = 0;
        for (std::size_t k = 0; k < count; ++k) {
            std::string text = stored(rows[k]);
            if (text.empty() || text == " ")
                continue;
            writes.emplace_back(SlotKey(list, n), std::move(text));
            ++n;
        }
        for (std::size_t k = n; !GetSetting(SlotKey(list, k), "").empty(); ++k)
            writes.emplace_back(SlotKey(list, k), "");
    }
    SaveMany(writes);
}

void SettingsStore::FillWizardControls(WizardControls& controls, Shell& shell) const {
    const Settings& s = current_;
    controls.chkencrypt = s.enc;
    controls.chkPassword = s.ipa;
    controls.chkRunAtStart = s.ras;
    controls.chkStealthMode = s.ste;
    controls.chkHotKey = s.hky;

    for (ListId list : kAllLists) {
        const SettingList& table = s.List(list);
        ListBoxRows& rows = WizardRows(controls, list);
        rows.assign(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(table.CountUsed()));
    }

    controls.txtPass1 = s.pas;
    controls.txtPass2 = s.pas;
    controls.txtSetting[0] = s.td.empty() ? shell.TempFolderPath() : s.td;
    controls.txtSetting[2] = s.mk.empty() ? std::string(kDefaultMediaKey) : s.mk;
    controls.txtSetting[3] = s.rk;
}

void SettingsStore::ApplyCategoryFlags(CategoryChecks& checks) const {
    const Settings& s = current_;
    checks.chkCookies = s.decook;
    checks.chkDocuments = s.dedocu;
    checks.chkHistory = s.dehist;
    checks.chkIntTemp = s.deintt;
    checks.chkMedia = s.demedi;
    checks.chkRecycle = s.derecy;
    checks.chkRunSearch = s.deruns;
    checks.chkTyped = s.detype;
    checks.chkWinTemp = s.dewint;
}

}  // namespace nimbral
