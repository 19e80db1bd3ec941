#pragma once

#include <string>
#include <vector>

namespace nimbral::testing {

// The non-empty parts of a backslash-separated path: a\b\ and a\\b both give {"a", "b"}.
inline std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c != '\\') {
            current += c;
        } else if (!current.empty()) {
            parts.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty())
        parts.push_back(std::move(current));
    return parts;
}

}  // namespace nimbral::testing
