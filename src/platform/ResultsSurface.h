#pragma once

// What the clean run writes to: the results window, or standard output in a headless run.

#include <string>

namespace nimbral {

class FileLister;

class ResultsSurface {
  public:
    virtual ~ResultsSurface() = default;

    // Appends one line at the end of the results log.
    virtual void AppendLine(const std::string& line) = 0;
    // Replaces the status label's text.
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetProgressMax(float maximum) = 0;
    virtual float ProgressMax() const = 0;
    virtual void SetProgressValue(float value) = 0;
    // Lets the windows repaint and handle input between pieces of work. Cheap to call often: an
    // implementation may skip calls that come within a few milliseconds of the last one.
    virtual void ProcessPendingMessages() = 0;
    // An OK / Cancel box; true for OK.
    virtual bool ConfirmOkCancel(const std::string& title, const std::string& text) = 0;
    // Enables the close button: the run is over.
    virtual void EnableClose() = 0;
    // The window's hidden file lister, when it has one: the cookie step lists the cookie folder with
    // it. A surface without one leaves the run to use a lister of its own.
    virtual FileLister* File1() { return nullptr; }
};

// Where a clean run starts from: the main window (or its stand-in when headless).
class CleanHost {
  public:
    virtual ~CleanHost() = default;
    // Loads the results window if needed, hides the main window and shows the results window.
    virtual ResultsSurface& ShowResults() = 0;
};

}  // namespace nimbral
