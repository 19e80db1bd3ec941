#pragma once

// A results surface that remembers everything a run asked of it, for tests to look at afterwards.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ResultsSurface.h"

namespace nimbral::testing {

class RecordingResults final : public ResultsSurface {
  public:
    void AppendLine(const std::string& line) override { lines.push_back(line); }
    void SetStatus(const std::string& text) override {
        status = text;
        statuses.push_back(text);
    }
    void SetProgressMax(float maximum) override { progressMax = maximum; }
    float ProgressMax() const override { return progressMax; }
    void SetProgressValue(float value) override { progressValues.push_back(value); }
    void ProcessPendingMessages() override {
        ++processMessagesCalls;
        if (onProcessMessages)
            onProcessMessages();
    }
    bool ConfirmOkCancel(const std::string& title, const std::string& text) override {
        confirmations.emplace_back(title, text);
        return confirmAnswer;
    }
    void EnableClose() override { closeEnabled = true; }

    std::vector<std::string> lines;
    std::string status;
    std::vector<std::string> statuses;  // every status text, in the order set
    float progressMax = 0;
    std::vector<float> progressValues;
    std::int64_t processMessagesCalls = 0;
    // Runs inside each ProcessPendingMessages, as a window's handler would between pieces of work.
    std::function<void()> onProcessMessages;
    std::vector<std::pair<std::string, std::string>> confirmations;  // title, text
    bool confirmAnswer = true;                                       // OK
    bool closeEnabled = false;
};

}  // namespace nimbral::testing
