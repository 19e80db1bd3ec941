#include "plugins/LineReader.h"

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
            return any;
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

}  // namespace nimbral
