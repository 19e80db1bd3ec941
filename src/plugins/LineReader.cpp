#include "plugins/LineReader.h"

#include <algorithm>
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

namespace {

// Reads no more than the cap from its source; reading beyond it counts as a failure.
class CappedSource final : public ByteSource {
  public:
    CappedSource(ByteSource& source, std::uint64_t cap) : source_(source), left_(cap) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        if (left_ == 0) {
            // One byte more tells a list that ends at the cap from one that goes on.
            char probe = 0;
            overflowed_ = source_.Read(&probe, 1) != 0;
            return 0;
        }
        const std::size_t got = source_.Read(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(size, left_)));
        left_ -= got;
        return got;
    }
    bool Failed() const override { return overflowed_ || source_.Failed(); }
    std::uint64_t Size() const override { return source_.Size(); }
    bool Overflowed() const { return overflowed_; }

  private:
    ByteSource& source_;
    std::uint64_t left_;
    bool overflowed_ = false;
};

std::string TooLargeLine(const std::string& listPath) {
    return "Refused to read " + listPath + ": it is larger than " + DecimalText(kMaxListBytes / (1024 * 1024)) + " MB";
}

}  // namespace

void ForEachListLine(FileSystem& fileSystem,
                     ResultsSurface& results,
                     const std::string& listPath,
                     const std::function<void(const std::string& line)>& handleLine) {
    const std::unique_ptr<ByteSource> file = fileSystem.OpenForReading(listPath);
    if (!file) {
        results.AppendLine("Could not read: " + listPath);
        return;
    }
    if (!file->IsRegularFile()) {
        results.AppendLine("Refused to read " + listPath + ": it is not a regular file");
        return;
    }
    if (file->Size() > kMaxListBytes) {
        results.AppendLine(TooLargeLine(listPath));
        return;
    }
    CappedSource source(*file, kMaxListBytes);
    // The reader's buffer is large: it lives on the heap, not on a window procedure's stack.
    const auto reader = std::make_unique<LineReader>(source, kMaxListLineLength);
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
    if (source.Overflowed())
        results.AppendLine(TooLargeLine(listPath));
    else if (reader->Failed())
        results.AppendLine("Could not read: " + listPath);
}

}  // namespace nimbral
