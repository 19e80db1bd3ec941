#pragma once

// Reads a text file line by line, whatever system wrote it: a line ends at CR, CR LF or a lone LF,
// and a last line without an end is read too. Memory stays bounded whatever the file holds.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/ResultsSurface.h"

namespace nimbral {

class LineReader {
  public:
    LineReader(ByteSource& source, std::size_t maxLineLength) : source_(source), maxLineLength_(maxLineLength) {}

    // The next line without its end; false when the file has no more. A line longer than the limit
    // comes back cut to the limit with tooLong set, the rest of it skipped. When reading fails, the
    // line it cut short is not handed out: it might name something else than was written.
    bool Next(std::string& line, bool& tooLong);
    bool Failed() const { return source_.Failed(); }

  private:
    bool Fill();

    ByteSource& source_;
    std::size_t maxLineLength_;
    char buffer_[64 * 1024];
    std::size_t at_ = 0;
    std::size_t size_ = 0;
    bool ended_ = false;
    bool pendingLf_ = false;  // a CR ended the last line: a LF right after it belongs to that end
};

// No real list line comes near this; a longer one is a damaged file, and a line cut short could
// name something other than what was written.
inline constexpr std::size_t kMaxListLineLength = 32768;

// No real list comes near this either. Beyond it a list is refused, or read no further when it grows
// past it while it is read: a link to a device or a file that never stops growing would otherwise
// keep the run going for ever.
inline constexpr std::uint64_t kMaxListBytes = 256ull * 1024 * 1024;

// Hands every line of a plugin list to handleLine, and tells the results log about what cannot be
// handed over: a list that cannot be opened or read to its end, one that is not a regular file or
// is too large, and lines too long to be whole. Pending messages are processed between lines.
void ForEachListLine(FileSystem& fileSystem,
                     ResultsSurface& results,
                     const std::string& listPath,
                     const std::function<void(const std::string& line)>& handleLine);

}  // namespace nimbral
