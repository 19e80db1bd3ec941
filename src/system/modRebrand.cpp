#include "system/modRebrand.h"

#include "text/AnsiText.h"

namespace nimbral {

std::string Identity::Version() const {
    return DecimalText(versionMajor) + "." + DecimalText(versionMinor);
}

}  // namespace nimbral
