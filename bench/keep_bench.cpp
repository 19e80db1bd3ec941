// The keep tests against a full keep-list: 100,000 host keys against the joined keep text, and
// 100,000 typed addresses against every slot's pattern, each timed beside the straightforward
// search it replaces, which must reach the very same decisions. The ratios are printed at the end.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/HostKey.h"
#include "engine/KeepPatterns.h"
#include "engine/KeepText.h"
#include "text/AnsiText.h"

namespace nimbral {
namespace {

constexpr int kQueries = 100000;

struct Workload {
    SettingList keepList;  // every one of the 10,001 slots used
    std::vector<std::string> hostKeys;
    std::vector<std::string> addresses;
};

class Generator {
  public:
    explicit Generator(unsigned seed) : engine_(seed) {}
    int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(engine_); }
    std::string Word() {
        std::string word(static_cast<std::size_t>(4 + Below(9)), ' ');
        for (char& c : word)
            c = static_cast<char>('a' + Below(26));
        return word;
    }
    std::string Tld() {
        static constexpr const char* kTlds[] = {"com", "org", "net", "de", "co.uk", "info"};
        return kTlds[Below(static_cast<int>(std::size(kTlds)))];
    }
    std::string Site() { return Word() + "." + Tld(); }
    std::string Recased(std::string text) {
        if (Below(4) == 0)
            text = UpperCase(text);
        return text;
    }

  private:
    std::mt19937 engine_;
};

// Keep entries written the ways users write them; host keys and addresses of which about one in
// ten belongs to a kept site, as on a machine where most browsing is not kept.
Workload MakeWorkload() {
    Generator gen(2026);
    Workload w;
    std::vector<std::string> sites;
    for (std::size_t i = 0; i < SettingList::size(); ++i) {
        sites.push_back(gen.Site());
        switch (gen.Below(3)) {
            case 0:
                w.keepList[i] = "www." + sites.back() + "/";
                break;
            case 1:
                w.keepList[i] = "http://" + sites.back();
                break;
            default:
                w.keepList[i] = sites.back();
                break;
        }
    }
    const auto someSite = [&] { return sites[static_cast<std::size_t>(gen.Below(static_cast<int>(sites.size())))]; };
    for (int i = 0; i < kQueries; ++i) {
        const int kind = gen.Below(20);
        if (kind < 2)
            w.hostKeys.push_back(gen.Recased(someSite()));
        else if (kind == 2)
            w.hostKeys.push_back(someSite().substr(1, 5));  // a piece of a kept name
        else
            w.hostKeys.push_back((gen.Below(2) == 0 ? "" : gen.Word() + ".") + gen.Site());

        const std::string host = gen.Below(10) == 0 ? gen.Recased(someSite()) : gen.Site();
        w.addresses.push_back("http://" + std::string(gen.Below(2) == 0 ? "www." : "") + host + "/" + gen.Word() + "/" +
                              gen.Word() + ".html?id=" + std::to_string(i));
    }
    return w;
}

const Workload& TheWorkload() {
    static const Workload workload = MakeWorkload();
    return workload;
}

using Decisions = std::vector<char>;

// As the walker did it before: the keep text folded, then one search through all of it per key.
Decisions KeepTextStraightforward(const Workload& w) {
    std::string joined;
    for (const std::string& slot : w.keepList)
        joined += slot;
    const std::string folded = FoldCase(joined);
    Decisions decisions;
    decisions.reserve(w.hostKeys.size());
    for (const std::string& key : w.hostKeys)
        decisions.push_back(!folded.empty() && folded.find(FoldCase(key)) != std::string::npos);
    return decisions;
}

Decisions KeepTextFast(const Workload& w) {
    const KeepText keep = KeepText::FromList(w.keepList);
    Decisions decisions;
    decisions.reserve(w.hostKeys.size());
    for (const std::string& key : w.hostKeys)
        decisions.push_back(keep.Contains(key));
    return decisions;
}

// As the typed-address step did it before: the slots normalised and folded once, then tried one
// after another against each address.
Decisions KeepPatternsStraightforward(const Workload& w) {
    std::vector<std::string> patterns;
    for (const std::string& slot : w.keepList) {
        const std::string normalised = NormaliseKeepEntry(slot);
        patterns.push_back(FoldCase(normalised.empty() ? std::string(kNoAddressText) : normalised));
    }
    Decisions decisions;
    decisions.reserve(w.addresses.size());
    for (const std::string& address : w.addresses) {
        const std::string folded = FoldCase(address);
        bool kept = false;
        for (const std::string& pattern : patterns) {
            if (folded.find(pattern) != std::string::npos) {
                kept = true;
                break;
            }
        }
        decisions.push_back(kept);
    }
    return decisions;
}

Decisions KeepPatternsFast(const Workload& w) {
    const KeepPatterns keep(w.keepList);
    Decisions decisions;
    decisions.reserve(w.addresses.size());
    for (const std::string& address : w.addresses)
        decisions.push_back(keep.Matches(address));
    return decisions;
}

struct Expected {
    Decisions hostKeys;
    Decisions addresses;
};

// What the straightforward searches decide, worked out once for every run to be checked against.
const Expected& TheExpectedDecisions() {
    static const Expected expected{KeepTextStraightforward(TheWorkload()), KeepPatternsStraightforward(TheWorkload())};
    return expected;
}

// Each run builds its structure afresh, as every walk does, so the building is timed too.
void Decide(benchmark::State& state, Decisions (*decide)(const Workload&), Decisions Expected::*expected) {
    const Workload& w = TheWorkload();
    const Decisions& wanted = TheExpectedDecisions().*expected;
    for (auto _ : state) {
        const Decisions decisions = decide(w);
        benchmark::DoNotOptimize(decisions.data());
        if (decisions != wanted) {
            state.SkipWithError("the decisions differ from the straightforward search's");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kQueries);
}

BENCHMARK_CAPTURE(Decide, KeepText_fast, KeepTextFast, &Expected::hostKeys)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decide, KeepText_straightforward, KeepTextStraightforward, &Expected::hostKeys)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decide, KeepPatterns_fast, KeepPatternsFast, &Expected::addresses)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decide, KeepPatterns_straightforward, KeepPatternsStraightforward, &Expected::addresses)
    ->Unit(benchmark::kMillisecond);

// The console report, plus each run's time kept by name for the ratios.
class RatioReporter final : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred)
                seconds_[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatio(const std::string& what) const {
        const auto fast = seconds_.find("Decide/" + what + "_fast");
        const auto slow = seconds_.find("Decide/" + what + "_straightforward");
        if (fast == seconds_.end() || slow == seconds_.end() || fast->second <= 0)
            return;
        std::printf("%s: %.0fx faster than the straightforward search, with the same decisions\n", what.c_str(),
                    slow->second / fast->second);
    }

  private:
    std::map<std::string, double> seconds_;
};

}  // namespace
}  // namespace nimbral

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    nimbral::RatioReporter reporter;
    const auto ran = benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("KeepText");
    reporter.PrintRatio("KeepPatterns");
    benchmark::Shutdown();
    return ran > 0 ? 0 : 1;
}
