// seed_demo: makes the Windows user it runs as (under Wine: the prefix it runs in) look like a machine
// that has been used for a while. Every trace is left through the API that a browser, the shell or an
// everyday program would use, so the cleaner meets the real thing: typed addresses, content, cookie and
// history entries of the URL cache, cookie files, recent documents, a media player list, temp files,
// recycled files, a Run-box list, search lists, the profiles of today's browsers (Chrome and Firefox,
// their databases made with the browsers' own schemas) and the cleaner's own settings with keep-lists
// and decoys.
// With --check it reads every trace back through the same APIs and exits non-zero on any difference,
// so tests can use it as a fixture builder and trust what it built.

// <windows.h> first: the shell and internet headers build on its types.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fixtures/BrowserFixtures.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32SettingsArea.h"
#include "settings/SettingsStore.h"
#include "settings/modHash.h"

namespace {

using nimbral::win32::UniqueCacheEnum;
using nimbral::win32::UniqueFindHandle;
using nimbral::win32::UniqueHfile;
using nimbral::win32::UniqueHkey;

constexpr char kApplication[] = "Nimbral Windows Cleaner";

constexpr char kTypedUrlsKey[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr char kMediaKey[] = "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList";
constexpr char kRunMruKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
// Traces of real applications, which the sample plugins remove.
constexpr char kWordpadRecentKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List";
constexpr char kPaintRecentKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";
constexpr char kRegeditKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";
// The sample plugins the demonstration selects.
constexpr const char* kDemoPlugins[] = {"WordPad and Paint", "Registry Editor"};
constexpr char kSearchKey[] = "Software\\Microsoft\\Search Assistant\\ACMru\\5603";
constexpr char kClassicSearchKey[] =
    "Software\\Microsoft\\Internet Explorer\\Explorer Bars\\{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}\\FilesNamedMRU";

constexpr DWORD kContentEntry = NORMAL_CACHE_ENTRY;
constexpr DWORD kCookieEntry = NORMAL_CACHE_ENTRY | COOKIE_CACHE_ENTRY;
constexpr DWORD kHistoryEntry = NORMAL_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY;

// Every site is on a domain reserved for examples, so a seeded machine never points anywhere real.
constexpr std::array<const char*, 12> kSites = {
    "www.example.com", "news.example.org",  "shop.example.net",  "mail.example",
    "bank.example",    "forum.example.org", "video.example.net", "blog.example.com",
    "ads.example.net", "tracker.example",   "intranet.test",     "wiki.test",
};
// Cookie names carry the host without "www.", as the browser writes them.
constexpr std::array<const char*, 8> kCookieSites = {
    "example.com",     "news.example.org", "mail.example",      "ads.example.net",
    "tracker.example", "shop.example.net", "forum.example.org", "video.example.net",
};
constexpr std::array<const char*, 8> kTypedUrls = {
    "http://www.example.com/",
    "http://news.example.org/world/today.html",
    "https://shop.example.net/cart?item=42",
    "bank.example/login",
    "http://forum.example.org/thread/1207",
    "www.example.org",
    "http://intranet.test/wiki/Main_Page",
    "http://video.example.net/watch?v=a1b2c3",
};
constexpr std::array<const char*, 6> kDocuments = {
    "Budget 2008.xls",   "Letter to landlord.doc", "Holiday plans.txt",
    "Meeting notes.rtf", "Report draft.doc",       "Photo index.txt",
};
constexpr std::array<const char*, 5> kMedia = {
    "Morning Jog Mix.wma", "Track 01.mp3", "Live at the Park.mp3", "Podcast 2008-03-14.mp3", "Home video.wmv",
};
constexpr std::array<const char*, 4> kRecycled = {
    "Old draft.doc",
    "Notes from March.txt",
    "Untitled.bmp",
    "Copy of budget.xls",
};
constexpr std::array<const char*, 8> kRunCommands = {
    "notepad", "cmd", "regedit", "calc", "\\\\fileserver.test\\public", "http://www.example.com/", "mspaint", "winver",
};
constexpr std::array<const char*, 5> kSearchTerms = {
    "budget*.xls", "holiday photos", "letter", "*.mp3", "report draft",
};

// The keep-lists name some of the seeded sites, so a clean run both keeps and deletes; the decoys are
// what the cleaner puts back into the lists it empties.
constexpr std::array<const char*, 2> kKeepSites = {"www.example.com/", "bank.example"};
constexpr std::array<const char*, 2> kKeepCookies = {"news.example.org", "mail.example"};
constexpr std::array<const char*, 3> kDecoyDocuments = {"Shopping list", "Recipes", "Walking routes"};
constexpr std::array<const char*, 3> kDecoyMedia = {"Classical Favourites", "Evening Jazz", "Nature Sounds"};
constexpr std::array<const char*, 9> kCategoryFlags = {"dehist", "decook", "detype", "dedocu", "demedi",
                                                       "dewint", "deintt", "derecy", "deruns"};

enum Part {
    Typed,
    Content,
    CookieEntries,
    History,
    CookieFiles,
    Recent,
    Media,
    Temp,
    Recycle,
    RunBox,
    Search,
    Apps,
    Browsers,
    kParts
};

struct PartInfo {
    const char* option;
    const char* label;
    int demoCount;
    int maxCount;
};

// MRU lists name their entries by single letters, so they hold at most 26.
constexpr std::array<PartInfo, kParts> kPartInfo = {{
    {"--typed", "typed addresses", 8, 100000},
    {"--cache", "cache content entries", 12, 1000000},
    {"--cookie-entries", "cache cookie entries", 6, 1000000},
    {"--history", "cache history entries", 8, 1000000},
    {"--cookies", "cookie files", 8, 1000000},
    {"--recent", "recent documents", 5, 10000},
    {"--media", "media player entries", 5, 100000},
    {"--temp", "temp files", 12, 1000000},
    {"--recycle", "recycled files", 4, 100000},
    {"--run", "Run-box entries", 5, 26},
    {"--search", "search terms in each list", 4, 26},
    {"--apps", "recent files of WordPad and Paint, and the Registry Editor's last key", 4, 9},
    {"--browsers", "profiles each of Chrome and Firefox (and of Edge from 2 on)", 1, 20},
}};

struct Options {
    std::array<int, kParts> counts{};
    bool settings = true;
    bool scramble = true;
    bool check = false;
};

constexpr char kUsage[] =
    "usage: seed_demo.exe [all] [--PART N ...] [--settings-only | --no-settings] [--plain] [--check]\n"
    "  all              every part with its demonstration count (the default when no part is named)\n"
    "  --PART N         seed N of one part; naming parts without 'all' seeds only those. PART is one of\n"
    "                   typed, cache, cookie-entries, history, cookies, recent, media, temp, recycle,\n"
    "                   run (at most 26), search (at most 26), apps (at most 9), browsers (profiles\n"
    "                   each of Chrome and Firefox, and of Edge too from 2 on; at most 20)\n"
    "  --settings-only  only the program's settings; --no-settings leaves them alone\n"
    "  --plain          store the settings unscrambled (\"enc\"=\"0\"); scrambled is the default\n"
    "  --check          read everything back through the same APIs; exit 1 on a difference\n"
    "usage: seed_demo.exe --list-cache\n"
    "  print every entry of the URL cache, sorted, and seed nothing\n";

std::optional<int> ParseCount(const char* text, int maxCount) {
    if (*text == '\0' || std::strlen(text) > 7)
        return std::nullopt;
    int value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return std::nullopt;
        value = value * 10 + (*c - '0');
    }
    if (value > maxCount)
        return std::nullopt;
    return value;
}

// Empty when the command line cannot be understood; the reason has been printed.
std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    bool all = false;
    bool settingsOnly = false;
    std::array<std::optional<int>, kParts> explicitCounts;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "all") {
            all = true;
        } else if (arg == "--settings-only") {
            settingsOnly = true;
        } else if (arg == "--no-settings") {
            options.settings = false;
        } else if (arg == "--plain") {
            options.scramble = false;
        } else if (arg == "--check") {
            options.check = true;
        } else {
            const auto part = std::find_if(kPartInfo.begin(), kPartInfo.end(),
                                           [&](const PartInfo& info) { return arg == info.option; });
            if (part == kPartInfo.end()) {
                std::fprintf(stderr, "seed_demo: unknown option %s\n%s", arg.c_str(), kUsage);
                return std::nullopt;
            }
            const std::optional<int> count = i + 1 < argc ? ParseCount(argv[i + 1], part->maxCount) : std::nullopt;
            if (!count) {
                std::fprintf(stderr, "seed_demo: %s takes a count from 0 to %d\n", part->option, part->maxCount);
                return std::nullopt;
            }
            explicitCounts[part - kPartInfo.begin()] = *count;
            ++i;
        }
    }
    const bool anyExplicit =
        std::any_of(explicitCounts.begin(), explicitCounts.end(), [](const auto& count) { return count.has_value(); });
    if (settingsOnly && (all || anyExplicit || !options.settings)) {
        std::fprintf(stderr, "seed_demo: --settings-only goes with no part, 'all' or --no-settings\n");
        return std::nullopt;
    }
    for (int part = 0; part < kParts; ++part) {
        if (settingsOnly)
            options.counts[part] = 0;
        else if (explicitCounts[part])
            options.counts[part] = *explicitCounts[part];
        else if (all || !anyExplicit)
            options.counts[part] = kPartInfo[part].demoCount;
    }
    return options;
}

// Where the traces go on this machine, each folder with a trailing backslash.
struct Places {
    std::string user;  // lower case, as it appears in cookie names
    std::string cookies;
    std::string recent;
    std::string windowsRecent;
    std::string documents;
    std::string music;
    std::string temp;
    std::string localAppData;
    std::string roamingAppData;
};

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE))
        return {};
    return std::string(path) + "\\";
}

Places FindPlaces() {
    Places places;
    char user[256] = {};
    DWORD size = sizeof user;
    places.user = ::GetUserNameA(user, &size) && user[0] ? user : "user";
    std::transform(places.user.begin(), places.user.end(), places.user.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    places.cookies = SpecialFolder(CSIDL_COOKIES);
    places.recent = SpecialFolder(CSIDL_RECENT);
    places.documents = SpecialFolder(CSIDL_PERSONAL);
    places.music = SpecialFolder(CSIDL_MYMUSIC);
    places.localAppData = SpecialFolder(CSIDL_LOCAL_APPDATA);
    places.roamingAppData = SpecialFolder(CSIDL_APPDATA);
    char windir[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("windir", windir, sizeof windir);
    if (length > 0 && length < sizeof windir)
        places.windowsRecent = std::string(windir) + "\\recent\\";
    char temp[MAX_PATH + 1] = {};
    const DWORD tempLength = ::GetTempPathA(sizeof temp, temp);
    if (tempLength > 0 && tempLength < sizeof temp)
        places.temp.assign(temp, tempLength);
    return places;
}

template <size_t N>
std::string Pick(const std::array<const char*, N>& table, int index) {
    return table[static_cast<size_t>(index) % N];
}

struct CacheEntry {
    std::string name;
    DWORD type;
    std::string extension;  // with a body only
    std::string body;       // empty for entries without a local file
};

struct TempFile {
    std::string path;  // relative to the temp folder
    std::string body;
};

struct SettingsPlan {
    std::vector<std::string> sit, coo, fil, pat, med;
};

// Everything one run seeds, worked out before anything is written, so that seeding and checking
// follow the same list and the same counts always give the same machine.
struct Plan {
    std::vector<std::string> typedUrls;
    std::vector<CacheEntry> cacheEntries;
    std::vector<std::string> cookieFiles;   // names in the cookie folder
    std::vector<std::string> documents;     // names in My Documents, added to the recent documents
    std::vector<std::string> mediaEntries;  // full paths
    std::vector<std::string> tempFolders;   // relative to the temp folder, parents first
    std::vector<TempFile> tempFiles;
    std::vector<std::string> recycled;  // names in the drafts folder before they go to the recycle bin
    std::vector<std::string> runCommands;
    std::vector<std::string> searchTerms;
    std::vector<std::string> appRecentFiles;  // in both applications' lists; also selects the sample plugins
    int browserProfiles = 0;                  // of each browser seeded; also selects their entries
    std::optional<SettingsPlan> settings;
    bool scramble = true;
};

std::string ContentUrl(int i) {
    const std::string site = Pick(kSites, i);
    if (i < static_cast<int>(kSites.size()))
        return "http://" + site + "/";
    return "http://" + site + "/page" + std::to_string(i) + ".html";
}

std::string CookieEntryName(const Places& places, int i) {
    const std::string base = "Cookie:" + places.user + "@" + Pick(kCookieSites, i) + "/";
    if (i < static_cast<int>(kCookieSites.size()))
        return base;
    return base + "p" + std::to_string(i) + "/";
}

// One cookie in the browser's file format: name, value, host and path, flags, expiry and creation
// times (low and high halves), then the record's end mark.
std::string CookieBody(const std::string& site, int i) {
    return "visitor\nid" + std::to_string(1000 + i) + "\n" + site +
           "/\n1024\n2221081600\n30152340\n2221081600\n29998580\n*\n";
}

Plan MakePlan(const Options& options, const Places& places) {
    Plan plan;
    const auto& n = options.counts;
    for (int i = 0; i < n[Typed]; ++i) {
        plan.typedUrls.push_back(i < static_cast<int>(kTypedUrls.size())
                                     ? kTypedUrls[i]
                                     : "http://" + Pick(kSites, i) + "/typed/" + std::to_string(i));
    }
    for (int i = 0; i < n[Content]; ++i) {
        const std::string url = ContentUrl(i);
        plan.cacheEntries.push_back({url, kContentEntry, "htm",
                                     "<html><head><title>" + Pick(kSites, i) + "</title></head><body>page " +
                                         std::to_string(i) + "</body></html>\n"});
    }
    for (int i = 0; i < n[CookieEntries]; ++i)
        plan.cacheEntries.push_back(
            {CookieEntryName(places, i), kCookieEntry, "txt", CookieBody(Pick(kCookieSites, i), i)});
    for (int i = 0; i < n[History]; ++i)
        plan.cacheEntries.push_back({"Visited: " + places.user + "@" + ContentUrl(i), kHistoryEntry, "", ""});
    for (int i = 0; i < n[CookieFiles]; ++i) {
        const int round = i / static_cast<int>(kCookieSites.size()) + 1;
        plan.cookieFiles.push_back(places.user + "@" + Pick(kCookieSites, i) + "[" + std::to_string(round) + "].txt");
    }
    for (int i = 0; i < n[Recent]; ++i) {
        plan.documents.push_back(i < static_cast<int>(kDocuments.size()) ? kDocuments[i]
                                                                         : "Document " + std::to_string(i) + ".txt");
    }
    for (int i = 0; i < n[Media]; ++i) {
        plan.mediaEntries.push_back(places.music + (i < static_cast<int>(kMedia.size())
                                                        ? std::string(kMedia[i])
                                                        : "Track " + std::to_string(i + 1) + ".mp3"));
    }
    // Three files in four of the first thousand lie in the temp folder itself; the others go into setup
    // folders, every other one of them one level deeper. Wine looks through the whole folder for each
    // new name, so a flat folder of many thousands would take minutes to fill.
    std::set<std::string> tempFolders;
    auto addTempFolder = [&](const std::string& folder) {
        if (tempFolders.insert(folder).second)
            plan.tempFolders.push_back(folder);
    };
    for (int i = 0; i < n[Temp]; ++i) {
        std::string folder;
        if (i % 4 == 3 || i >= 1000) {
            folder = "~ins" + std::to_string(i / 400) + ".tmp";
            addTempFolder(folder);
            if ((i / 4) % 2 == 1) {
                folder += "\\images";
                addTempFolder(folder);
            }
            folder += "\\";
        }
        char name[32];
        std::snprintf(name, sizeof name, "~DF%04X.tmp", i);
        plan.tempFiles.push_back({folder + name, "scratch " + std::to_string(i) + "\r\n"});
    }
    for (int i = 0; i < n[Recycle]; ++i) {
        plan.recycled.push_back(i < static_cast<int>(kRecycled.size()) ? kRecycled[i]
                                                                       : "Deleted file " + std::to_string(i) + ".txt");
    }
    for (int i = 0; i < n[RunBox]; ++i) {
        plan.runCommands.push_back(
            i < static_cast<int>(kRunCommands.size()) ? kRunCommands[i] : "notepad notes" + std::to_string(i) + ".txt");
    }
    for (int i = 0; i < n[Search]; ++i) {
        plan.searchTerms.push_back(i < static_cast<int>(kSearchTerms.size()) ? kSearchTerms[i]
                                                                             : "search term " + std::to_string(i));
    }
    for (int i = 0; i < n[Apps]; ++i)
        plan.appRecentFiles.push_back(places.documents + "Picture " + std::to_string(i + 1) + ".bmp");
    plan.browserProfiles = n[Browsers];
    if (options.settings) {
        SettingsPlan settings;
        settings.sit.assign(kKeepSites.begin(), kKeepSites.end());
        settings.coo.assign(kKeepCookies.begin(), kKeepCookies.end());
        for (const char* name : kDecoyDocuments) {
            settings.fil.push_back(name);
            settings.pat.push_back(places.documents + name + ".txt");
        }
        for (const char* name : kDecoyMedia)
            settings.med.push_back(name);
        plan.settings = settings;
    }
    plan.scramble = options.scramble;
    return plan;
}

// Collects what went wrong, so one run reports every failing part rather than the first.
class Problems {
  public:
    void Add(const std::string& what) {
        std::fprintf(stderr, "seed_demo: %s\n", what.c_str());
        ++count_;
    }
    void AddWithError(const std::string& what) { Add(what + " (error " + std::to_string(::GetLastError()) + ")"); }
    int Count() const { return count_; }

  private:
    int count_ = 0;
};

UniqueHkey CreateKey(const std::string& path) {
    UniqueHkey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS) {
        key.reset();
    }
    return key;
}

UniqueHkey OpenKey(const std::string& path) {
    UniqueHkey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        key.reset();
    return key;
}

bool SetString(HKEY key, const std::string& name, const std::string& text) {
    return ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

std::optional<std::string> ReadString(HKEY key, const std::string& name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    std::string text(size, '\0');
    if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(std::min<size_t>(size, text.size()));
    return text.substr(0, text.find('\0'));
}

// A list key is replaced whole, so seeding twice leaves exactly what the second run wrote.
void WriteList(const std::string& keyPath,
               const std::vector<std::pair<std::string, std::string>>& values,
               Problems& problems) {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, keyPath.c_str());
    const UniqueHkey key = CreateKey(keyPath);
    if (!key) {
        problems.Add("cannot create HKCU\\" + keyPath);
        return;
    }
    for (const auto& [name, text] : values) {
        if (!SetString(key.get(), name, text))
            problems.Add("cannot write " + name + " in HKCU\\" + keyPath);
    }
}

void CheckList(const std::string& keyPath,
               const std::vector<std::pair<std::string, std::string>>& values,
               Problems& problems) {
    if (values.empty())
        return;
    const UniqueHkey key = OpenKey(keyPath);
    if (!key) {
        problems.Add("check: HKCU\\" + keyPath + " is missing");
        return;
    }
    for (const auto& [name, text] : values) {
        const std::optional<std::string> stored = ReadString(key.get(), name);
        if (stored != text)
            problems.Add("check: " + name + " in HKCU\\" + keyPath + " reads back as \"" + stored.value_or("(none)") +
                         "\", not \"" + text + "\"");
    }
}

std::vector<std::pair<std::string, std::string>> NumberedValues(const std::string& prefix,
                                                                int first,
                                                                const std::vector<std::string>& texts) {
    std::vector<std::pair<std::string, std::string>> values;
    for (size_t i = 0; i < texts.size(); ++i)
        values.emplace_back(prefix + std::to_string(first + static_cast<int>(i)), texts[i]);
    return values;
}

// An MRU list: entries named "a", "b", … in the order they were added, and "MRUList" naming them most
// recent first.
std::vector<std::pair<std::string, std::string>> MruValues(const std::vector<std::string>& texts) {
    std::vector<std::pair<std::string, std::string>> values;
    std::string order;
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string letter(1, static_cast<char>('a' + i));
        values.emplace_back(letter, texts[i]);
        order.insert(order.begin(), letter[0]);
    }
    if (!texts.empty())
        values.emplace_back("MRUList", order);
    return values;
}

std::vector<std::pair<std::string, std::string>> RunValues(const std::vector<std::string>& commands) {
    std::vector<std::string> texts;
    for (const std::string& command : commands)
        texts.push_back(command + "\\1");  // the Run box keeps each command with this tail
    return MruValues(texts);
}

std::vector<std::pair<std::string, std::string>> SearchValues(const std::vector<std::string>& terms) {
    std::vector<std::pair<std::string, std::string>> values;
    for (size_t i = 0; i < terms.size(); ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "%03u", static_cast<unsigned>(i));
        values.emplace_back(name, terms[i]);
    }
    return values;
}

bool WriteFileText(const std::string& path, const std::string& text) {
    const UniqueHfile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool EnsureFolder(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

void SeedCache(const Plan& plan, Problems& problems) {
    const FILETIME never = {};
    for (const CacheEntry& entry : plan.cacheEntries) {
        char localFile[MAX_PATH] = {};
        if (!entry.body.empty()) {
            if (!::CreateUrlCacheEntryA(entry.name.c_str(), static_cast<DWORD>(entry.body.size()),
                                        entry.extension.c_str(), localFile, 0)) {
                problems.AddWithError("CreateUrlCacheEntryA failed for " + entry.name);
                continue;
            }
            if (!WriteFileText(localFile, entry.body)) {
                problems.AddWithError("cannot write the cache file " + std::string(localFile));
                continue;
            }
        }
        static constexpr char kHeader[] = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
        const bool content = entry.type == kContentEntry;
        if (!::CommitUrlCacheEntryA(entry.name.c_str(), entry.body.empty() ? nullptr : localFile, never, never,
                                    entry.type, content ? reinterpret_cast<BYTE*>(const_cast<char*>(kHeader)) : nullptr,
                                    content ? sizeof kHeader - 1 : 0,
                                    entry.extension.empty() ? nullptr : entry.extension.c_str(), nullptr)) {
            problems.AddWithError("CommitUrlCacheEntryA failed for " + entry.name);
        }
    }
}

// Every entry of the cache with its type flags, as a walk with no pattern delivers them.
// Every entry the walk of one pattern delivers, by name.
template <typename Visit>
void WalkCache(const char* pattern, Visit visit) {
    std::vector<unsigned char> buffer(4096);
    auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    UniqueCacheEnum walk;
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        info->dwStructSize = sizeof *info;
        if (!walk) {
            walk.reset(::FindFirstUrlCacheEntryA(pattern, info, &size));
            if (!walk) {
                if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
                    return;
                buffer.resize(size);
                info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
                continue;
            }
        } else if (!::FindNextUrlCacheEntryA(walk.get(), info, &size)) {
            if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
                return;
            buffer.resize(size);
            info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
            continue;
        }
        visit(*info);
    }
}

std::map<std::string, DWORD> ReadCache() {
    std::map<std::string, DWORD> entries;
    WalkCache(nullptr,
              [&](const INTERNET_CACHE_ENTRY_INFOA& info) { entries[info.lpszSourceUrlName] = info.CacheEntryType; });
    return entries;
}

// The whole cache, one sorted line per entry with what a change would show: type, size, times and
// local file. Two listings are equal only when nothing in the cache changed between them.
void ListCache() {
    std::set<std::string> lines;
    const auto time = [](const FILETIME& t) {
        return std::to_string((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    for (const char* pattern : {static_cast<const char*>(nullptr), "Cookie:", "Visited:"}) {
        WalkCache(pattern, [&](const INTERNET_CACHE_ENTRY_INFOA& info) {
            lines.insert(std::string(info.lpszSourceUrlName ? info.lpszSourceUrlName : "") + "\t" +
                         std::to_string(info.CacheEntryType) + "\t" + std::to_string(info.dwSizeLow) + "\t" +
                         time(info.LastModifiedTime) + "\t" + time(info.ExpireTime) + "\t" +
                         (info.lpszLocalFileName ? info.lpszLocalFileName : ""));
        });
    }
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
}

void CheckCache(const Plan& plan, Problems& problems) {
    if (plan.cacheEntries.empty())
        return;
    const std::map<std::string, DWORD> cache = ReadCache();
    for (const CacheEntry& entry : plan.cacheEntries) {
        const auto found = cache.find(entry.name);
        if (found == cache.end())
            problems.Add("check: the cache walk does not deliver " + entry.name);
        else if ((found->second & (kCookieEntry | kHistoryEntry)) != entry.type)
            problems.Add("check: " + entry.name + " has the type flags " + std::to_string(found->second) + ", not " +
                         std::to_string(entry.type));
    }
}

// The internet library keeps the index of its cookie entries in the cookie folder and makes it when
// the cookie container is first opened, so the folder gets the real thing rather than an imitation.
// Wine matches a search pattern exactly against the container's prefix: "Cookie:" opens it there
// and on Windows alike, where "cookie:" would find nothing under Wine.
void OpenCookieContainer() {
    std::vector<unsigned char> buffer(4096);
    auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    info->dwStructSize = sizeof *info;
    DWORD size = static_cast<DWORD>(buffer.size());
    const UniqueCacheEnum walk(::FindFirstUrlCacheEntryA("Cookie:", info, &size));
}

void SeedCookieFiles(const Plan& plan, const Places& places, Problems& problems) {
    if (plan.cookieFiles.empty())
        return;
    if (places.cookies.empty() || !EnsureFolder(places.cookies.substr(0, places.cookies.size() - 1))) {
        problems.Add("no cookie folder");
        return;
    }
    for (size_t i = 0; i < plan.cookieFiles.size(); ++i) {
        const std::string& name = plan.cookieFiles[i];
        const std::string site = name.substr(name.find('@') + 1, name.find('[') - name.find('@') - 1);
        if (!WriteFileText(places.cookies + name, CookieBody(site, static_cast<int>(i))))
            problems.AddWithError("cannot write the cookie file " + places.cookies + name);
    }
    OpenCookieContainer();
}

void CheckCookieFiles(const Plan& plan, const Places& places, Problems& problems) {
    if (plan.cookieFiles.empty())
        return;
    for (const std::string& name : plan.cookieFiles) {
        if (!Exists(places.cookies + name))
            problems.Add("check: the cookie file " + places.cookies + name + " is missing");
    }
    if (!Exists(places.cookies + "index.dat"))
        problems.Add("check: the cookie folder " + places.cookies + " has no index.dat");
}

// The shell names a recent document's shortcut after the document, with ".lnk" added.
std::string ShortcutName(const std::string& document) {
    return document + ".lnk";
}

void SeedRecentDocuments(const Plan& plan, const Places& places, Problems& problems) {
    if (plan.documents.empty())
        return;
    if (places.documents.empty() || places.recent.empty()) {
        problems.Add("no My Documents or Recent folder");
        return;
    }
    for (const std::string& name : plan.documents) {
        const std::string path = places.documents + name;
        if (!WriteFileText(path, "A document of the demonstration machine: " + name + "\r\n")) {
            problems.AddWithError("cannot write " + path);
            continue;
        }
        ::SHAddToRecentDocs(SHARD_PATHA, path.c_str());
    }
    // Older systems kept the Documents menu in the Windows folder; give that place the same shortcuts.
    if (places.windowsRecent.empty() ||
        !EnsureFolder(places.windowsRecent.substr(0, places.windowsRecent.size() - 1))) {
        problems.AddWithError("cannot make the folder " + places.windowsRecent);
        return;
    }
    for (const std::string& name : plan.documents) {
        const std::string shortcut = ShortcutName(name);
        if (!::CopyFileA((places.recent + shortcut).c_str(), (places.windowsRecent + shortcut).c_str(), FALSE))
            problems.AddWithError("cannot copy the shortcut " + places.recent + shortcut);
    }
}

void CheckRecentDocuments(const Plan& plan, const Places& places, Problems& problems) {
    for (const std::string& name : plan.documents) {
        for (const std::string& folder : {places.recent, places.windowsRecent}) {
            if (!Exists(folder + ShortcutName(name)))
                problems.Add("check: no shortcut " + folder + ShortcutName(name));
        }
    }
}

void SeedTemp(const Plan& plan, const Places& places, Problems& problems) {
    if (plan.tempFiles.empty())
        return;
    if (places.temp.empty()) {
        problems.Add("no temp folder");
        return;
    }
    for (const std::string& folder : plan.tempFolders) {
        if (!EnsureFolder(places.temp + folder))
            problems.AddWithError("cannot make the folder " + places.temp + folder);
    }
    for (const TempFile& file : plan.tempFiles) {
        if (!WriteFileText(places.temp + file.path, file.body))
            problems.AddWithError("cannot write " + places.temp + file.path);
    }
}

void CheckTemp(const Plan& plan, const Places& places, Problems& problems) {
    for (const TempFile& file : plan.tempFiles) {
        if (!Exists(places.temp + file.path))
            problems.Add("check: " + places.temp + file.path + " is missing");
    }
}

// -1 when the shell cannot tell.
__int64 RecycleBinItems() {
    SHQUERYRBINFO info = {};
    info.cbSize = sizeof info;
    return SUCCEEDED(::SHQueryRecycleBinA(nullptr, &info)) ? info.i64NumItems : -1;
}

std::string DraftsFolder(const Places& places) {
    return places.documents + "Old drafts";
}

void SeedRecycleBin(const Plan& plan, const Places& places, Problems& problems) {
    if (plan.recycled.empty())
        return;
    const std::string folder = DraftsFolder(places);
    if (places.documents.empty() || !EnsureFolder(folder)) {
        problems.AddWithError("cannot make the folder " + folder);
        return;
    }
    // One operation for all files, as the shell takes them: names separated by NULs, ending in two.
    std::string from;
    for (const std::string& name : plan.recycled) {
        const std::string path = folder + "\\" + name;
        if (!WriteFileText(path, "Recycled by the demonstration machine: " + name + "\r\n"))
            problems.AddWithError("cannot write " + path);
        from += path;
        from += '\0';
    }
    from += '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT;
    const int result = ::SHFileOperationA(&operation);
    if (result != 0 || operation.fAnyOperationsAborted)
        problems.Add("SHFileOperationA did not recycle the drafts (result " + std::to_string(result) + ")");
    ::RemoveDirectoryA(folder.c_str());
}

// Under Wine the recycle bin is the freedesktop Trash of $XDG_DATA_HOME, reachable through drive Z:.
std::string WineTrashFiles() {
    if (!::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        return {};
    char data[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableA("XDG_DATA_HOME", data, sizeof data);
    std::string unixPath;
    if (length > 0 && length < sizeof data) {
        unixPath = data;
    } else {
        length = ::GetEnvironmentVariableA("HOME", data, sizeof data);
        if (length == 0 || length >= sizeof data)
            return {};
        unixPath = std::string(data) + "/.local/share";
    }
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath + "\\Trash\\files\\";
}

void CheckRecycleBin(const Plan& plan, const Places& places, __int64 recycledBefore, Problems& problems) {
    if (plan.recycled.empty())
        return;
    for (const std::string& name : plan.recycled) {
        if (Exists(DraftsFolder(places) + "\\" + name))
            problems.Add("check: " + name + " is still in " + DraftsFolder(places));
    }
    const __int64 now = RecycleBinItems();
    if (now < recycledBefore + static_cast<__int64>(plan.recycled.size())) {
        problems.Add("check: the recycle bin went from " + std::to_string(recycledBefore) + " to " +
                     std::to_string(now) + " items");
    }
    const std::string trash = WineTrashFiles();
    if (trash.empty())
        return;
    // A name the Trash already holds gets a tail of its own ("Old draft.doc-47af2515").
    for (const std::string& name : plan.recycled) {
        WIN32_FIND_DATAA data = {};
        const UniqueFindHandle find(::FindFirstFileA((trash + name + "*").c_str(), &data));
        if (!find)
            problems.Add("check: " + name + " is not in the Trash at " + trash);
    }
}

// ---- today's browsers ----

// The sites of the browsers' traces: some on the keep-lists or below a kept site, some not.
const std::vector<nimbral::fixtures::Cookie> kBrowserCookies = {
    {".news.example.org", "SID", "s1"},       {"login.news.example.org", "LOGIN", "l1"},
    {"accounts.mail.example", "GAUTH", "g1"}, {".ads.example.net", "AdId", "a1"},
    {".tracker.example", "uid", "t1"},        {"shop.example.net", "cart", "c1"},
};

std::vector<nimbral::fixtures::Address> BrowserAddresses() {
    nimbral::fixtures::Address bank{"https://bank.example/login", 2, 3, "Bank"};
    nimbral::fixtures::Address home{"https://www.example.com/", 1, 2, "Example"};
    nimbral::fixtures::Address news{"https://news.example.org/world/today.html", 1, 1, "News"};
    news.searchTerm = "weather tomorrow";
    nimbral::fixtures::Address video{"https://video.example.net/watch?v=a1b2c3", 0, 2, "Video"};
    video.downloaded = true;
    nimbral::fixtures::Address forum{"https://forum.example.org/thread/1207", 0, 1, "Forum"};
    forum.bookmarked = true;
    return {bank, home, news, video, forum};
}

struct ChromiumBrowser {
    const char* entryName;
    const char* userData;  // below the local application data folder
};
// Edge joins from two profiles on, so a larger machine has three browsers.
std::vector<ChromiumBrowser> ChromiumBrowsers(int profiles) {
    std::vector<ChromiumBrowser> browsers{{"Google Chrome", "Google\\Chrome\\User Data"}};
    if (profiles > 1)
        browsers.push_back({"Microsoft Edge", "Microsoft\\Edge\\User Data"});
    return browsers;
}

std::string ChromiumProfileName(int i) {
    return i == 0 ? "Default" : "Profile " + std::to_string(i);
}

std::string FirefoxProfileName(int i) {
    return "demo" + std::to_string(1000 + i) + ".default-release";
}

// The names of the entries the demonstration ticks: every entry of every browser seeded.
std::vector<std::string> BrowserEntries(int profiles) {
    std::vector<std::string> names;
    if (profiles == 0)
        return names;
    std::vector<std::string> browsers;
    for (const ChromiumBrowser& browser : ChromiumBrowsers(profiles))
        browsers.push_back(browser.entryName);
    browsers.push_back("Mozilla Firefox");
    for (const std::string& browser : browsers) {
        for (const char* kind : {" Cache", " Cookies", " History"})
            names.push_back(browser + kind);
    }
    return names;
}

bool EnsureFolders(const std::string& path) {
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        if (!EnsureFolder(path.substr(0, at)))
            return false;
    }
    return EnsureFolder(path);
}

void SeedFile(const std::string& path, const std::string& text, Problems& problems) {
    if (!EnsureFolders(path.substr(0, path.rfind('\\'))) || !WriteFileText(path, text))
        problems.AddWithError("cannot write " + path);
}

// Databases are written where the browser keeps them, whole, whatever was there.
template <typename Write>
void SeedDatabase(const std::string& path, Write write, Problems& problems) {
    if (!EnsureFolders(path.substr(0, path.rfind('\\')))) {
        problems.AddWithError("cannot make the folder of " + path);
        return;
    }
    try {
        write(path);
    } catch (const std::exception& e) {
        problems.Add("cannot write " + path + ": " + e.what());
    }
}

void SeedBrowsers(const Plan& plan, const Places& places, Problems& problems) {
    if (plan.browserProfiles == 0)
        return;
    if (places.localAppData.empty() || places.roamingAppData.empty()) {
        problems.Add("the system names no application data folders for the browsers");
        return;
    }
    for (const ChromiumBrowser& browser : ChromiumBrowsers(plan.browserProfiles)) {
        const std::string userData = places.localAppData + browser.userData;
        SeedFile(userData + "\\Local State", "{\"profile\":{\"info_cache\":{}}}", problems);
        for (int i = 0; i < plan.browserProfiles; ++i) {
            const std::string profile = userData + "\\" + ChromiumProfileName(i);
            SeedFile(profile + "\\Preferences", "{}", problems);
            SeedDatabase(
                profile + "\\Network\\Cookies",
                [](const std::string& p) { nimbral::fixtures::WriteChromiumCookies(p, kBrowserCookies); }, problems);
            SeedDatabase(
                profile + "\\History",
                [](const std::string& p) { nimbral::fixtures::WriteChromiumHistory(p, BrowserAddresses()); }, problems);
            SeedFile(profile + "\\Visited Links", "visited links table", problems);
            SeedFile(profile + "\\Top Sites", "top sites", problems);
            SeedFile(profile + "\\Cache\\Cache_Data\\data_0", "cached page", problems);
            SeedFile(profile + "\\Code Cache\\js\\index", "cached script", problems);
            SeedFile(profile + "\\GPUCache\\data_1", "cached shader", problems);
        }
    }
    const std::string firefox = places.roamingAppData + "Mozilla\\Firefox";
    std::string ini;
    for (int i = 0; i < plan.browserProfiles; ++i) {
        ini += "[Profile" + std::to_string(i) + "]\r\nName=demo" + std::to_string(i) +
               "\r\nIsRelative=1\r\nPath=Profiles/" + FirefoxProfileName(i) + "\r\n" + (i == 0 ? "Default=1\r\n" : "") +
               "\r\n";
        const std::string profile = firefox + "\\Profiles\\" + FirefoxProfileName(i);
        SeedFile(profile + "\\parent.lock", "", problems);
        SeedDatabase(
            profile + "\\cookies.sqlite",
            [](const std::string& p) { nimbral::fixtures::WriteFirefoxCookies(p, kBrowserCookies); }, problems);
        SeedDatabase(
            profile + "\\places.sqlite",
            [](const std::string& p) { nimbral::fixtures::WriteFirefoxPlaces(p, BrowserAddresses()); }, problems);
        SeedFile(
            places.localAppData + "Mozilla\\Firefox\\Profiles\\" + FirefoxProfileName(i) + "\\cache2\\entries\\5E1A",
            "cached page", problems);
    }
    SeedFile(firefox + "\\profiles.ini", ini + "[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n", problems);
}

void CheckBrowsers(const Plan& plan, const Places& places, Problems& problems) {
    const auto expect = [&](const std::string& path, const std::string& sql, std::int64_t count) {
        const std::int64_t got = nimbral::fixtures::QueryCount(path, sql);
        if (got != count)
            problems.Add("check: " + path + " answers " + std::to_string(got) + " to " + sql);
    };
    for (int i = 0; i < plan.browserProfiles; ++i) {
        for (const ChromiumBrowser& browser : ChromiumBrowsers(plan.browserProfiles)) {
            const std::string profile = places.localAppData + browser.userData + "\\" + ChromiumProfileName(i);
            expect(profile + "\\Network\\Cookies", "SELECT count(*) FROM cookies",
                   static_cast<std::int64_t>(kBrowserCookies.size()));
            expect(profile + "\\History", "SELECT count(*) FROM urls",
                   static_cast<std::int64_t>(BrowserAddresses().size()));
        }
        const std::string profile = places.roamingAppData + "Mozilla\\Firefox\\Profiles\\" + FirefoxProfileName(i);
        expect(profile + "\\cookies.sqlite", "SELECT count(*) FROM moz_cookies",
               static_cast<std::int64_t>(kBrowserCookies.size()));
        expect(profile + "\\places.sqlite", "SELECT count(*) FROM moz_bookmarks WHERE fk IS NOT NULL", 1);
    }
}

void SeedSettings(const Plan& plan, Problems& problems) {
    if (!plan.settings)
        return;
    nimbral::win32::Win32SettingsArea area;
    nimbral::SettingsStore store(area, kApplication);
    store.ClearStoredLists();
    auto save = [&](const std::string& key, const std::string& text) {
        if (!store.SaveSetting(key, text))
            problems.Add("cannot store the setting " + key);
    };
    save("run", "1");
    for (const char* flag : kCategoryFlags)
        save(flag, "1");
    save("enc", plan.scramble ? "1" : "0");
    save("td", "");
    const std::pair<const char*, const std::vector<std::string>*> lists[] = {
        {"sit", &plan.settings->sit}, {"coo", &plan.settings->coo}, {"fil", &plan.settings->fil},
        {"pat", &plan.settings->pat}, {"med", &plan.settings->med},
    };
    for (const auto& [prefix, entries] : lists) {
        for (size_t i = 0; i < entries->size(); ++i) {
            std::string text = (*entries)[i];
            if (plan.scramble)
                nimbral::ScrambleText(text);
            save(prefix + std::to_string(i), text);
        }
    }
    for (const char* plugin : kDemoPlugins)
        save(std::string("plug") + plugin, plan.appRecentFiles.empty() ? "False" : "True");
    for (const std::string& entry : BrowserEntries(std::max(plan.browserProfiles, 1)))
        save("plug" + entry, plan.browserProfiles == 0 ? "False" : "True");
    for (const std::string& path : plan.settings->pat) {
        if (!Exists(path) && !WriteFileText(path, "A decoy document.\r\n"))
            problems.AddWithError("cannot write the decoy " + path);
    }
}

// Read back as the program reads its settings, so a wrong scrambling shows up as a wrong list.
void CheckSettings(const Plan& plan, Problems& problems) {
    if (!plan.settings)
        return;
    nimbral::win32::Win32SettingsArea area;
    nimbral::SettingsStore store(area, kApplication);
    store.LoadSettings();
    const nimbral::Settings& loaded = store.Current();
    if (store.GetSetting("run", "0") != "1")
        problems.Add("check: the setting run is not \"1\"");
    const std::int16_t flags[] = {loaded.dehist, loaded.decook, loaded.detype, loaded.dedocu, loaded.demedi,
                                  loaded.dewint, loaded.deintt, loaded.derecy, loaded.deruns};
    for (size_t i = 0; i < std::size(flags); ++i) {
        if (flags[i] != 1)
            problems.Add(std::string("check: the category flag ") + kCategoryFlags[i] + " loads as " +
                         std::to_string(flags[i]));
    }
    if (loaded.enc != (plan.scramble ? 1 : 0))
        problems.Add("check: enc loads as " + std::to_string(loaded.enc));
    if (!loaded.td.empty())
        problems.Add("check: td loads as \"" + loaded.td + "\"");
    const std::pair<const char*, std::pair<const nimbral::SettingList*, const std::vector<std::string>*>> lists[] = {
        {"sit", {&loaded.sit, &plan.settings->sit}}, {"coo", {&loaded.coo, &plan.settings->coo}},
        {"fil", {&loaded.fil, &plan.settings->fil}}, {"pat", {&loaded.pat, &plan.settings->pat}},
        {"med", {&loaded.med, &plan.settings->med}},
    };
    for (const auto& [prefix, pair] : lists) {
        const auto& [slots, expected] = pair;
        for (size_t i = 0; i <= expected->size(); ++i) {
            const std::string want = i < expected->size() ? (*expected)[i] : "";
            if ((*slots)[i] != want)
                problems.Add(std::string("check: ") + prefix + std::to_string(i) + " loads as \"" + (*slots)[i] +
                             "\", not \"" + want + "\"");
        }
    }
}

// A part with nothing to seed is left as it is.
void Seed(const Plan& plan, const Places& places, Problems& problems) {
    if (!plan.typedUrls.empty())
        WriteList(kTypedUrlsKey, NumberedValues("url", 1, plan.typedUrls), problems);
    SeedCache(plan, problems);
    SeedCookieFiles(plan, places, problems);
    SeedRecentDocuments(plan, places, problems);
    if (!plan.mediaEntries.empty())
        WriteList(kMediaKey, NumberedValues("File", 0, plan.mediaEntries), problems);
    SeedTemp(plan, places, problems);
    SeedRecycleBin(plan, places, problems);
    if (!plan.runCommands.empty())
        WriteList(kRunMruKey, RunValues(plan.runCommands), problems);
    if (!plan.searchTerms.empty()) {
        WriteList(kSearchKey, SearchValues(plan.searchTerms), problems);
        WriteList(kClassicSearchKey, MruValues(plan.searchTerms), problems);
    }
    if (!plan.appRecentFiles.empty()) {
        WriteList(kWordpadRecentKey, NumberedValues("File", 1, plan.appRecentFiles), problems);
        WriteList(kPaintRecentKey, NumberedValues("File", 1, plan.appRecentFiles), problems);
        WriteList(kRegeditKey, {{"LastKey", "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs"}},
                  problems);
    }
    SeedBrowsers(plan, places, problems);
    SeedSettings(plan, problems);
}

void Check(const Plan& plan, const Places& places, __int64 recycledBefore, Problems& problems) {
    CheckList(kTypedUrlsKey, NumberedValues("url", 1, plan.typedUrls), problems);
    CheckCache(plan, problems);
    CheckCookieFiles(plan, places, problems);
    CheckRecentDocuments(plan, places, problems);
    CheckList(kMediaKey, NumberedValues("File", 0, plan.mediaEntries), problems);
    CheckTemp(plan, places, problems);
    CheckRecycleBin(plan, places, recycledBefore, problems);
    CheckList(kRunMruKey, RunValues(plan.runCommands), problems);
    CheckList(kSearchKey, SearchValues(plan.searchTerms), problems);
    CheckList(kClassicSearchKey, MruValues(plan.searchTerms), problems);
    CheckList(kWordpadRecentKey, NumberedValues("File", 1, plan.appRecentFiles), problems);
    CheckList(kPaintRecentKey, NumberedValues("File", 1, plan.appRecentFiles), problems);
    CheckBrowsers(plan, places, problems);
    CheckSettings(plan, problems);
}

void PrintSummary(const Options& options, const Places& places) {
    std::printf("seed_demo: seeded\n");
    for (int part = 0; part < kParts; ++part) {
        if (options.counts[part] > 0)
            std::printf("  %7d %s\n", options.counts[part], kPartInfo[part].label);
    }
    if (options.counts[CookieFiles] > 0)
        std::printf("          cookie folder %s\n", places.cookies.c_str());
    if (options.counts[Temp] > 0)
        std::printf("          temp folder %s\n", places.temp.c_str());
    if (options.settings) {
        std::printf(
            "          settings: run=1, nine categories on, enc=%s, %zu kept sites, %zu kept cookie sites, "
            "%zu decoy documents, %zu decoy media\n",
            options.scramble ? "1" : "0", kKeepSites.size(), kKeepCookies.size(), kDecoyDocuments.size(),
            kDecoyMedia.size());
    }
}

// Single-threaded COM for the shell's shortcuts and file operations, for the life of the run.
class ComApartment {
  public:
    ComApartment() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_)
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialised_;
};

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "/?")) {
            std::printf("%s", kUsage);
            return 0;
        }
    }
    if (argc == 2 && !std::strcmp(argv[1], "--list-cache")) {
        ListCache();
        return 0;
    }
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options)
        return 2;

    const ComApartment com;
    const Places places = FindPlaces();
    const Plan plan = MakePlan(*options, places);
    Problems problems;
    const __int64 recycledBefore = RecycleBinItems();
    Seed(plan, places, problems);
    PrintSummary(*options, places);
    if (options->check) {
        const int before = problems.Count();
        Check(plan, places, recycledBefore, problems);
        if (problems.Count() == before)
            std::printf("seed_demo: every trace reads back\n");
    }
    return problems.Count() == 0 ? 0 : 1;
}
