#include "platform/win32/VersionResource.h"

#include <cstdio>
#include <vector>

#include "platform/win32/SystemText.h"

namespace nimbral::win32 {

namespace {

std::string QueryString(std::vector<char>& block, const char* subBlock) {
    char* text = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), subBlock, reinterpret_cast<void**>(&text), &length) || !text)
        return {};
    return std::string(text);
}

}  // namespace

Identity ReadIdentity(HMODULE module) {
    Identity identity;
    const std::wstring path = Wide(ModulePath(module));
    if (path.empty())
        return identity;
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return identity;
    std::vector<char> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return identity;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    if (::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedLength) && fixed) {
        identity.versionMajor = HIWORD(fixed->dwFileVersionMS);
        identity.versionMinor = LOWORD(fixed->dwFileVersionMS);
    }

    // The strings sit under the first language and code page the resource declares.
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT translationLength = 0;
    if (!::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                          &translationLength) ||
        translationLength < sizeof(Translation)) {
        return identity;
    }
    const auto field = [&](const char* name) {
        char subBlock[64];
        std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
                      translation->codePage, name);
        return QueryString(block, subBlock);
    };
    identity.productName = field("ProductName");
    identity.companyName = field("CompanyName");
    identity.websiteName = field("Comments");
    return identity;
}

}  // namespace nimbral::win32
