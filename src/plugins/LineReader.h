#pragma once

// Reads a text file line by line, whatever system wrote it: a line ends at CR, CR LF or a lone LF,
// and a last line without an end is read too. Memory stays bounded whatever the file holds.

#include <cstddef>
#include <string>

#include "platform/FileSystem.h"

namespace nimbral {

class LineReader {
  public:
    LineReader(ByteSource& source, std::size_t maxLineLength) : source_(source), maxLineLength_(maxLineLength) {}

    // The next line without its end; false when the file has no more. A line longer than the limit
    // comes back cut to the limit with tooLong set, the rest of it skipped.
    bool Next(std::string& line, bool& tooLong);

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

}  // namespace nimbral
