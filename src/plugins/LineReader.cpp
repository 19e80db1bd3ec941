#include "plugins/LineReader.h"

#include <memory>

#include "text/AnsiText.h"

namespace nimbral {

bool LineReader::Fill() {
    if (ended_)
        return false;
    size_ = source_.Read(buffer_, sizeof buffer_);
    at_ = 0;
    if (size_ == 0)
        ended_ = true;
    return size_ != 0;
}

bool LineReader::Next(std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    bool any = false;
    for (;;) {
        if (at_ == size_ && !Fill())
            return any && !source_.Failed();
        const char c = buffer_[at_++];
        if (pendingLf_) {
            pendingLf_ = false;
            if (c == '\n')
                continue;
        }
        if (c == '\r' || c == '\n') {
            pendingLf_ = c == '\r';
            return true;
        }
        any = true;
        if (line.size() < maxLineLength_) {
            line += c;
        } else {
            tooLong = true;
        }
    }
}

void ForEachListLine(FileSystem& fileSystem,
                     ResultsSurface& results,
                     const std::string& listPath,
                     const std::function<void(const std::string& line)>& handleLine) {
    const std::unique_ptr<ByteSource> source = fileSystem.OpenForReading(listPath);
    if (!source) {
        results.AppendLine("Could not read: " + listPath);
        return;
    }
    // The reader's buffer is large: it lives on the heap, not on a window procedure's stack.
    const auto reader = std::make_unique<LineReader>(*source, kMaxListLineLength);
    std::string line;
    bool tooLong = false;
    while (reader->Next(line, tooLong)) {
        if (tooLong) {
            results.AppendLine("Skipped a line longer than " + DecimalText(std::uint64_t{kMaxListLineLength}) +
                               " characters");
        } else {
            handleLine(line);
        }
        results.ProcessPendingMessages();
    }
    if (reader->Failed())
        results.AppendLine("Could not read: " + listPath);
}

}  // namespace nimbral
