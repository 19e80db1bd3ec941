#pragma once

// The system's WebBrowser control, embedded in a window by a minimal OLE container of our own. The
// control draws nothing without the system's HTML engine, so where that is missing (Wine without its
// engine is such a system) no browser is embedded at all and the caller shows its pages elsewhere.
// OLE must be initialised on the calling thread.

#include <memory>

#include "platform/EmbeddedBrowser.h"

namespace nimbral::win32 {

// How the last embedding went.
enum class EmbedOutcome {
    kNotTried,
    kEmbedded,
    kNoEngine,      // the system has no HTML engine for the control to render with
    kNotCreated,    // the control itself could not be made
    kNotActivated,  // the control would not run inside the window
};

class OleBrowserEmbedder final : public BrowserEmbedder {
  public:
    // Without `requireHtmlEngine` the control is embedded even where it cannot show a page: only for
    // trying the container on such a system.
    explicit OleBrowserEmbedder(bool requireHtmlEngine = true) : requireHtmlEngine_(requireHtmlEngine) {}

    std::unique_ptr<EmbeddedBrowser> Embed(WindowHandle host, int controlId, BrowserEvents& events) override;

    EmbedOutcome LastOutcome() const { return lastOutcome_; }

  private:
    bool requireHtmlEngine_;
    EmbedOutcome lastOutcome_ = EmbedOutcome::kNotTried;
};

// The container objects alive in this process: each embedded browser holds one, and the control
// holds references to it until it is let go. None are left once every browser is gone.
int LiveBrowserSites();

}  // namespace nimbral::win32
