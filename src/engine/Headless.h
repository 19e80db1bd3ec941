#pragma once

// The clean run without windows: each results-log line goes to a writer (standard output), and
// the one question the run asks is answered by the command line.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ResultsSurface.h"

namespace nimbral {

struct CommandLineSwitches {
    bool autoClean = false;  // "/auto": one clean run on the stored settings, no window
    bool yes = false;        // "/yes": answer the temporary-folder confirmation with OK
    // "/preview": the clean's log with nothing changed; on its own as well, since a user who asks
    // for a preview must never get anything else.
    bool preview = false;
    bool rulesReport = false;  // "/rules": the community rules report, nothing cleaned
    // Every other argument, as given. A command line with any of them does nothing at all: a switch
    // mistyped ("-preview", "/preview:yes") must never be taken for a clean.
    std::vector<std::string> unknown;
};

// The arguments after the program's name, split as Windows programs split them: blanks and tabs
// separate, double quotes group (and are dropped), a backslash escapes a double quote. Switches are
// compared ignoring letter case.
CommandLineSwitches ParseCommandLine(std::string_view arguments);
// The part of a whole command line (GetCommandLine) after the program's name, which is quoted or
// ends at the first blank or tab, and the blanks that follow it.
std::string_view ArgumentsOf(std::string_view commandLine);

inline constexpr char kUnknownArgument[] = "Unknown argument: ";
inline constexpr char kAnotherCleanRunning[] = "Another clean is running.";
// Exit codes of a headless run that does not clean.
inline constexpr int kExitUnknownArgument = 2;
inline constexpr int kExitAnotherClean = 3;

class ConsoleResults final : public ResultsSurface {
  public:
    using Writer = std::function<void(std::string_view)>;
    ConsoleResults(Writer write, bool confirmAnswer) : write_(std::move(write)), confirmAnswer_(confirmAnswer) {}

    void AppendLine(const std::string& line) override;
    void SetStatus(const std::string& text) override { status_ = text; }
    void SetProgressMax(float maximum) override { progressMax_ = maximum; }
    float ProgressMax() const override { return progressMax_; }
    void SetProgressValue(float value) override { progressValue_ = value; }
    void ProcessPendingMessages() override {}
    bool ConfirmOkCancel(const std::string&, const std::string&) override { return confirmAnswer_; }
    void EnableClose() override { closeEnabled_ = true; }

    const std::string& Status() const { return status_; }
    float ProgressValue() const { return progressValue_; }
    bool CloseEnabled() const { return closeEnabled_; }

  private:
    Writer write_;
    bool confirmAnswer_;
    std::string status_;
    float progressMax_ = 100.0f;
    float progressValue_ = 0.0f;
    bool closeEnabled_ = false;
};

class HeadlessHost final : public CleanHost {
  public:
    HeadlessHost(ConsoleResults::Writer write, bool confirmAnswer) : results_(std::move(write), confirmAnswer) {}
    ResultsSurface& ShowResults() override { return results_; }
    const ConsoleResults& Results() const { return results_; }

  private:
    ConsoleResults results_;
};

}  // namespace nimbral
