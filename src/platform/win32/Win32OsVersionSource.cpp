#include "platform/win32/Win32OsVersionSource.h"

#include <windows.h>

namespace nimbral::win32 {

namespace {

// The size field is how the system tells which record it was handed.
static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(OSVERSIONINFOEXA) == 156);
static_assert(sizeof(OSVERSIONINFOA::szCSDVersion) == 128);

// Both records start alike. The whole service-pack field is kept, padding included: the caller
// decides what a NUL means.
template <typename Info>
void CopyBasicFields(const Info& info, OsVersionRecord& record) {
    record.majorVersion = info.dwMajorVersion;
    record.minorVersion = info.dwMinorVersion;
    record.buildNumber = info.dwBuildNumber;
    record.platformId = info.dwPlatformId;
    record.csdVersion.assign(info.szCSDVersion, sizeof(info.szCSDVersion));
}

}  // namespace

std::optional<OsVersionRecord> Win32OsVersionSource::ReadBasic() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) {
        return std::nullopt;
    }
    OsVersionRecord record;
    CopyBasicFields(info, record);
    return record;
}

std::optional<OsVersionExRecord> Win32OsVersionSource::ReadExtended() {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        return std::nullopt;
    }
    OsVersionExRecord record;
    CopyBasicFields(info, record);
    record.servicePackMajor = info.wServicePackMajor;
    record.servicePackMinor = info.wServicePackMinor;
    record.suiteMask = info.wSuiteMask;
    record.productType = info.wProductType;
    return record;
}

}  // namespace nimbral::win32
