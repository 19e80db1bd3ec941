#pragma once

// The in-memory copy of the stored options, read by the rest of the program.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nimbral {

inline constexpr char kSettingsSection[] = "Settings";

// Each list has this many slots, indices 0 to 10000; a stored list longer than that is cut.
inline constexpr std::size_t kListSlots = 10001;

// A fixed table of list slots, used slots first and the rest empty.
class SettingList {
  public:
    SettingList() : slots_(kListSlots) {}

    std::string& operator[](std::size_t index) { return slots_.at(index); }
    const std::string& operator[](std::size_t index) const { return slots_.at(index); }
    static constexpr std::size_t size() { return kListSlots; }

    void Clear() {
        for (auto& slot : slots_)
            slot.clear();
    }
    // The number of entries before the first empty one.
    std::size_t CountUsed() const;

    auto begin() const { return slots_.begin(); }
    auto end() const { return slots_.end(); }

  private:
    std::vector<std::string> slots_;
};

// The six lists, in the order they are loaded, cleared and saved.
enum class ListId { Sites, Cookies, Files, Paths, Media, Docs };
inline constexpr std::array<ListId, 6> kAllLists = {ListId::Sites, ListId::Cookies, ListId::Files,
                                                    ListId::Paths, ListId::Media,   ListId::Docs};
const char* ListPrefix(ListId list);  // "sit", "coo", "fil", "pat", "med", "doc"

struct Settings {
    // Flags hold check-box values: 0 off, 1 on, 2 greyed. All are 0 until the first load.
    std::int16_t ipa = 0;  // password at start-up
    std::int16_t enc = 0;  // scrambling of pas, td, mk, rk and the lists
    std::int16_t ras = 0;  // run at Windows start-up
    std::int16_t ste = 0;  // stealth mode
    std::int16_t hky = 0;  // hot key

    // Category flags: a step runs only when its flag is exactly 1.
    std::int16_t dehist = 0;
    std::int16_t decook = 0;
    std::int16_t detype = 0;
    std::int16_t dedocu = 0;
    std::int16_t demedi = 0;
    std::int16_t deoffi = 0;  // loaded like the others; nothing sets or reads it
    std::int16_t dewint = 0;
    std::int16_t deintt = 0;
    std::int16_t derecy = 0;
    std::int16_t deruns = 0;

    std::string pas;  // start-up password
    std::string td;   // folder emptied by the Windows-temp step
    std::string mk;   // media player list key, as the wizard shows it
    std::string rk;   // a registry key text the wizard shows

    SettingList sit;  // sites whose typed addresses and cache entries are kept
    SettingList coo;  // sites whose cookies are kept
    SettingList fil;  // decoy document names, paired by index with pat
    SettingList pat;  // decoy document paths
    SettingList med;  // decoy media entries
    SettingList doc;  // the wizard's document list

    SettingList& List(ListId list);
    const SettingList& List(ListId list) const;
};

}  // namespace nimbral
