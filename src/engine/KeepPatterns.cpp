#include "engine/KeepPatterns.h"

#include <algorithm>
#include <array>

#include "engine/HostKey.h"
#include "text/AnsiText.h"

namespace nimbral {

// An Aho–Corasick automaton over the folded patterns. A full transition table would take a
// kilobyte per node, a quarter of a million nodes for a full list; instead each node keeps its
// children as a sorted run of edges and falls back along its failure link, and only the root,
// which every mismatch returns to, has a table of its own.
struct KeepPatterns::Automaton {
    struct Node {
        std::uint32_t firstEdge = 0;
        std::uint32_t fail = 0;
        std::uint16_t edgeCount = 0;
        bool matches = false;  // a pattern ends here or at a node along the failure links
    };

    std::array<unsigned char, 256> fold{};
    std::array<std::uint32_t, 256> rootNext{};  // 0 (the root itself) where no pattern starts
    std::vector<Node> nodes;
    std::vector<unsigned char> edgeChars;
    std::vector<std::uint32_t> edgeTargets;

    // The child of node along c; 0 when there is none (the root is nobody's child).
    std::uint32_t Child(std::uint32_t node, unsigned char c) const {
        if (node == 0)
            return rootNext[c];
        const Node& n = nodes[node];
        const auto first = edgeChars.begin() + n.firstEdge;
        const auto last = first + n.edgeCount;
        const auto it = std::lower_bound(first, last, c);
        return it != last && *it == c ? edgeTargets[static_cast<std::size_t>(it - edgeChars.begin())] : 0;
    }

    explicit Automaton(std::vector<std::string> patterns);
    bool Matches(std::string_view address) const;
};

KeepPatterns::Automaton::Automaton(std::vector<std::string> patterns) {
    for (int c = 0; c < 256; ++c)
        fold[c] = static_cast<unsigned char>(FoldCase(static_cast<char>(c)));
    std::sort(patterns.begin(), patterns.end());
    patterns.erase(std::unique(patterns.begin(), patterns.end()), patterns.end());

    // Built breadth first from the sorted patterns: the patterns below a node form one run of the
    // sorted list, its children are the groups of that run by the next character, and so every
    // node's edges are created together, in order, and every node comes after its parent and
    // after all shallower nodes, which the failure links below rely on.
    struct Run {
        std::size_t begin;
        std::size_t end;
        std::size_t depth;
    };
    std::vector<Run> runs{{0, patterns.size(), 0}};
    nodes.emplace_back();
    for (std::size_t node = 0; node < nodes.size(); ++node) {
        auto [begin, end, depth] = runs[node];
        // Sorted and without duplicates: at most one pattern ends here, and it comes first.
        if (begin < end && patterns[begin].size() == depth) {
            nodes[node].matches = true;
            ++begin;
        }
        nodes[node].firstEdge = static_cast<std::uint32_t>(edgeChars.size());
        while (begin < end) {
            const char c = patterns[begin][depth];
            std::size_t groupEnd = begin;
            while (groupEnd < end && patterns[groupEnd][depth] == c)
                ++groupEnd;
            const auto child = static_cast<std::uint32_t>(nodes.size());
            edgeChars.push_back(static_cast<unsigned char>(c));
            edgeTargets.push_back(child);
            ++nodes[node].edgeCount;
            nodes.emplace_back();
            runs.push_back({begin, groupEnd, depth + 1});
            begin = groupEnd;
        }
    }
    for (std::uint32_t e = 0; e < nodes[0].edgeCount; ++e)
        rootNext[edgeChars[e]] = edgeTargets[e];

    for (std::uint32_t node = 0; node < nodes.size(); ++node) {
        const Node parent = nodes[node];
        for (std::uint32_t e = parent.firstEdge; e < parent.firstEdge + parent.edgeCount; ++e) {
            const unsigned char c = edgeChars[e];
            Node& child = nodes[edgeTargets[e]];
            if (node != 0) {
                std::uint32_t fallback = parent.fail;
                while (fallback != 0 && Child(fallback, c) == 0)
                    fallback = nodes[fallback].fail;
                child.fail = Child(fallback, c);
            }
            child.matches = child.matches || nodes[child.fail].matches;
        }
    }
}

bool KeepPatterns::Automaton::Matches(std::string_view address) const {
    std::uint32_t state = 0;
    for (const char ch : address) {
        const unsigned char c = fold[static_cast<unsigned char>(ch)];
        std::uint32_t next = Child(state, c);
        while (next == 0 && state != 0) {
            state = nodes[state].fail;
            next = Child(state, c);
        }
        state = next;
        if (nodes[state].matches)
            return true;
    }
    return false;
}

namespace {

std::string FoldedPattern(std::string_view entry) {
    std::string normalised = NormaliseKeepEntry(entry);
    return FoldCase(normalised.empty() ? std::string_view(kNoAddressText) : std::string_view(normalised));
}

template <typename Entries>
std::vector<std::string> FoldedPatterns(const Entries& entries) {
    std::vector<std::string> patterns;
    for (const std::string& entry : entries)
        patterns.push_back(FoldedPattern(entry));
    return patterns;
}

}  // namespace

KeepPatterns::KeepPatterns(const SettingList& list)
    : automaton_(std::make_shared<const Automaton>(FoldedPatterns(list))) {}

KeepPatterns::KeepPatterns(const std::vector<std::string>& entries)
    : automaton_(std::make_shared<const Automaton>(FoldedPatterns(entries))) {}

bool KeepPatterns::Matches(std::string_view address) const {
    return automaton_->Matches(address);
}

}  // namespace nimbral
