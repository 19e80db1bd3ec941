#include "engine/KeepText.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "text/AnsiText.h"

namespace nimbral {

namespace {

// Bytes of the folded text as symbols 0..255, without copying the text into a wider array.
struct ByteSymbols {
    std::string_view text;
    std::size_t size() const { return text.size(); }
    int operator[](std::size_t i) const { return static_cast<unsigned char>(text[i]); }
};

// A few dozen symbols sort faster by comparison than by induction.
template <typename Symbols>
std::vector<int> SortSuffixesDirectly(const Symbols& s) {
    const int n = static_cast<int>(s.size());
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        while (a < n && b < n) {
            if (s[a] != s[b])
                return s[a] < s[b];
            ++a;
            ++b;
        }
        return a == n;  // the shorter suffix is a prefix of the longer one
    });
    return order;
}

// Suffix array by induced sorting (SA-IS): linear in the length of the text, so a keep-list full
// of long entries still builds in milliseconds. upper is the largest symbol that occurs.
template <typename Symbols>
std::vector<int> SortSuffixes(const Symbols& s, int upper) {
    const int n = static_cast<int>(s.size());
    if (n < 16)
        return SortSuffixesDirectly(s);

    std::vector<int> sa(static_cast<std::size_t>(n));
    // true for an S-type position: its suffix is smaller than the one after it.
    std::vector<bool> sType(static_cast<std::size_t>(n));
    for (int i = n - 2; i >= 0; --i)
        sType[i] = s[i] == s[i + 1] ? sType[i + 1] : s[i] < s[i + 1];

    // For each symbol: where its S-type bucket part starts, and where its L-type part starts.
    std::vector<int> sumL(static_cast<std::size_t>(upper) + 1);
    std::vector<int> sumS(static_cast<std::size_t>(upper) + 1);
    for (int i = 0; i < n; ++i) {
        if (!sType[i])
            ++sumS[s[i]];
        else
            ++sumL[s[i] + 1];
    }
    for (int c = 0; c <= upper; ++c) {
        sumS[c] += sumL[c];
        if (c < upper)
            sumL[c + 1] += sumS[c];
    }

    std::vector<int> bucket(static_cast<std::size_t>(upper) + 1);
    const auto induce = [&](const std::vector<int>& lms) {
        std::fill(sa.begin(), sa.end(), -1);
        std::copy(sumS.begin(), sumS.end(), bucket.begin());
        for (const int d : lms) {
            if (d != n)
                sa[bucket[s[d]]++] = d;
        }
        std::copy(sumL.begin(), sumL.end(), bucket.begin());
        sa[bucket[s[n - 1]]++] = n - 1;
        for (int i = 0; i < n; ++i) {
            const int v = sa[i];
            if (v >= 1 && !sType[v - 1])
                sa[bucket[s[v - 1]]++] = v - 1;
        }
        std::copy(sumL.begin(), sumL.end(), bucket.begin());
        for (int i = n - 1; i >= 0; --i) {
            const int v = sa[i];
            if (v >= 1 && sType[v - 1])
                sa[--bucket[s[v - 1] + 1]] = v - 1;
        }
    };

    // Leftmost S-type positions, numbered in text order.
    std::vector<int> lmsIndex(static_cast<std::size_t>(n) + 1, -1);
    std::vector<int> lms;
    for (int i = 1; i < n; ++i) {
        if (!sType[i - 1] && sType[i]) {
            lmsIndex[i] = static_cast<int>(lms.size());
            lms.push_back(i);
        }
    }
    const int m = static_cast<int>(lms.size());

    induce(lms);
    if (m == 0)
        return sa;

    std::vector<int> sortedLms;
    sortedLms.reserve(static_cast<std::size_t>(m));
    for (const int v : sa) {
        if (lmsIndex[v] != -1)
            sortedLms.push_back(v);
    }
    // Names the LMS substrings in sorted order; equal substrings share a name.
    std::vector<int> reduced(static_cast<std::size_t>(m));
    int reducedUpper = 0;
    reduced[lmsIndex[sortedLms[0]]] = 0;
    for (int i = 1; i < m; ++i) {
        int l = sortedLms[i - 1];
        int r = sortedLms[i];
        const int endL = lmsIndex[l] + 1 < m ? lms[lmsIndex[l] + 1] : n;
        const int endR = lmsIndex[r] + 1 < m ? lms[lmsIndex[r] + 1] : n;
        bool same = true;
        if (endL - l != endR - r) {
            same = false;
        } else {
            while (l < endL && s[l] == s[r]) {
                ++l;
                ++r;
            }
            if (l == n || s[l] != s[r])
                same = false;
        }
        if (!same)
            ++reducedUpper;
        reduced[lmsIndex[sortedLms[i]]] = reducedUpper;
    }

    const std::vector<int> reducedOrder = SortSuffixes(reduced, reducedUpper);
    for (int i = 0; i < m; ++i)
        sortedLms[i] = lms[reducedOrder[i]];
    induce(sortedLms);
    return sa;
}

std::uint32_t PairCode(unsigned char first, unsigned char second) {
    return static_cast<std::uint32_t>(first) << 8 | second;
}

}  // namespace

KeepText::KeepText(std::string_view joined) : folded_(FoldCase(joined)), pairStart_(kPairCodes + 1, 0) {
    const std::vector<int> order = SortSuffixes(ByteSymbols{folded_}, 255);
    suffixes_.assign(order.begin(), order.end());

    const std::size_t n = folded_.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto first = static_cast<unsigned char>(folded_[i]);
        present_[first] = true;
        if (i + 1 < n)
            ++pairStart_[PairCode(first, static_cast<unsigned char>(folded_[i + 1])) + 1];
        else
            lonePair_ = PairCode(first, 0);
    }
    std::partial_sum(pairStart_.begin(), pairStart_.end(), pairStart_.begin());
}

KeepText KeepText::FromList(const SettingList& list) {
    std::string joined;
    for (const std::string& slot : list)
        joined += slot;
    return KeepText(joined);
}

bool KeepText::Contains(std::string_view hostKey) const {
    if (folded_.empty())
        return false;
    if (hostKey.empty())
        return true;
    const std::string key = FoldCase(hostKey);
    const auto first = static_cast<unsigned char>(key[0]);
    if (key.size() == 1)
        return present_[first];

    const std::uint32_t code = PairCode(first, static_cast<unsigned char>(key[1]));
    // The last character's suffix is one character long and so sorts before every pair it starts.
    const std::uint32_t rangeStart = pairStart_[code] + (code >= lonePair_ ? 1 : 0);
    const auto begin = suffixes_.begin() + rangeStart;
    const auto end = begin + (pairStart_[code + 1] - pairStart_[code]);
    // Every suffix in the range starts with the key's first two characters: only the rest is compared.
    const std::string_view rest = std::string_view(key).substr(2);
    const std::string_view text = folded_;
    const auto found = std::lower_bound(begin, end, rest, [&](std::uint32_t position, std::string_view wanted) {
        return text.substr(position + 2) < wanted;
    });
    return found != end && text.substr(*found + 2).starts_with(rest);
}

}  // namespace nimbral
