#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/EmbeddedBrowser.h"

namespace nimbral::testing {

// Embeds browsers that record what they are asked and answer from this object's members; a test
// plays the notifications a real browser would send through Events(). With `available` off it
// embeds nothing, as a system without an embeddable browser; with `failing` on every operation is
// refused.
class RecordingBrowsers final : public BrowserEmbedder {
  public:
    class Browser final : public EmbeddedBrowser {
      public:
        Browser(RecordingBrowsers& owner, BrowserEvents& events) : owner_(owner), events_(events) {}
        ~Browser() override {
            owner_.calls.push_back("destroyed");
            owner_.current_ = nullptr;
        }

        bool Navigate(const std::string& address) override {
            if (owner_.onNavigate)
                owner_.onNavigate(address);
            return Record("Navigate " + address);
        }
        bool GoBack() override { return Record("GoBack"); }
        bool GoForward() override { return Record("GoForward"); }
        bool Stop() override { return Record("Stop"); }
        bool Refresh() override { return Record("Refresh"); }
        std::string LocationURL() override { return owner_.location; }
        std::string LocationName() override { return owner_.title; }
        void Place(const BrowserBounds& bounds) override { owner_.placements.push_back(bounds); }

        BrowserEvents& Events() { return events_; }

      private:
        bool Record(std::string call) {
            owner_.calls.push_back(std::move(call));
            return !owner_.failing;
        }
        RecordingBrowsers& owner_;
        BrowserEvents& events_;
    };

    std::unique_ptr<EmbeddedBrowser> Embed(WindowHandle host, int controlId, BrowserEvents& events) override {
        hosts.push_back(host);
        controlIds.push_back(controlId);
        if (!available)
            return nullptr;
        auto browser = std::make_unique<Browser>(*this, events);
        current_ = browser.get();
        return browser;
    }

    // The browser embedded last, while it lives.
    Browser* Current() const { return current_; }
    BrowserEvents& Events() const { return current_->Events(); }

    bool available = true;
    bool failing = false;
    std::string location;
    std::string title;
    std::function<void(const std::string& address)> onNavigate;

    std::vector<WindowHandle> hosts;
    std::vector<int> controlIds;
    std::vector<std::string> calls;
    std::vector<BrowserBounds> placements;

  private:
    Browser* current_ = nullptr;
};

}  // namespace nimbral::testing
