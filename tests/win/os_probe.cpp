// Prints what clsOS makes of the system it runs on, one member a line, for a script to compare.

#include <cstdio>
#include <string>

#include "platform/win32/Win32OsVersionSource.h"
#include "system/clsOS.h"

namespace {

void PrintMember(const char* name, const std::string& value) {
    std::printf("%s=%s\n", name, value.c_str());
}

}  // namespace

int main() {
    nimbral::win32::Win32OsVersionSource source;
    const nimbral::clsOS os(source);
    PrintMember("OS_Name", os.OS_Name);
    PrintMember("OS_Version", os.OS_Version);
    PrintMember("OS_Build", os.OS_Build);
    PrintMember("OS_Additional", os.OS_Additional);
    PrintMember("OS_ServicePack", os.OS_ServicePack);
    PrintMember("OS_Suite", os.OS_Suite);
    PrintMember("OS_ProductType", os.OS_ProductType);
    return 0;
}
