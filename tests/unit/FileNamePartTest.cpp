#include <gtest/gtest.h>

#include "system/xfileExists.h"

namespace nimbral {
namespace {

TEST(FileNamePart, IsWhatFollowsTheLastBackslash) {
    const struct {
        const char* path;
        const char* part;
    } cases[] = {
        {"C:\\Temp\\a.txt", "a.txt"},
        {"a.txt", "a.txt"},
        {"", ""},
        {"C:\\Temp\\", ""},
        {"\\\\server\\share\\b", "b"},
        {"C:a.txt", "C:a.txt"},
        {"C:/x/y.txt", "C:/x/y.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileNamePart(c.path), c.part) << c.path;
}

}  // namespace
}  // namespace nimbral
