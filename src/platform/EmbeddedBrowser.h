#pragma once

// The web browser that the plugin download window embeds: the operations the window asks of it, the
// four things it reports back, and the one way to get one. A system that cannot show a page inside a
// window answers no browser at all, and the window hands its pages to the system's web browser.

#include <memory>
#include <string>

#include "platform/Shell.h"

namespace nimbral {

// What an embedded browser reports to the window that hosts it, as it happens.
class BrowserEvents {
  public:
    virtual ~BrowserEvents() = default;
    virtual void StatusTextChange(const std::string& text) = 0;
    virtual void ProgressChange(long progress, long progressMax) = 0;
    virtual void DownloadBegin() = 0;
    virtual void DownloadComplete() = 0;
};

// A place in the host window's client area, in pixels.
struct BrowserBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

class EmbeddedBrowser {
  public:
    virtual ~EmbeddedBrowser() = default;

    // Each answers false when the browser refused (going back with no page to go back to, for one).
    // A page that cannot be fetched is no failure here: the browser shows that itself.
    virtual bool Navigate(const std::string& address) = 0;
    virtual bool GoBack() = 0;
    virtual bool GoForward() = 0;
    virtual bool Stop() = 0;
    virtual bool Refresh() = 0;

    // The current page's address and title; empty before the first page.
    virtual std::string LocationURL() = 0;
    virtual std::string LocationName() = 0;

    // Moves and sizes the browser inside its host window.
    virtual void Place(const BrowserBounds& bounds) = 0;
};

class BrowserEmbedder {
  public:
    virtual ~BrowserEmbedder() = default;

    // A browser inside `host`, reachable there as the control `controlId`, reporting to `events` for as
    // long as it lives; none when this system cannot show a page inside a window. The browser must be
    // destroyed while its host window still exists.
    virtual std::unique_ptr<EmbeddedBrowser> Embed(WindowHandle host, int controlId, BrowserEvents& events) = 0;
};

}  // namespace nimbral
