#include "windows/ProgramWindows.h"

#include "engine/Headless.h"
#include "system/WindowTexts.h"
#include "windows/frmPass.h"
#include "windows/modOnTop.h"

namespace nimbral {

EngineServices ProgramParts::Services(std::string cookieFolder, WindowHandle mainWindow) const {
    return EngineServices{settings,
                          registry,
                          fileSystem,
                          shell,
                          urlCache,
                          history,
                          osVersion,
                          listers,
                          lstPlugs,
                          plugins,
                          std::move(cookieFolder),
                          mainWindow};
}

ProgramWindows::ProgramWindows(ProgramParts parts, BrowserEmbedder* browsers)
    : parts_(std::move(parts)),
      launcher_(parts_.instance, parts_.identity, parts_.shell, websiteRequest_),
      plugins_(parts_.instance, parts_.identity, parts_.shell, browsers) {}

bool ProgramWindows::Start(HWND promptOwner) {
    frmPass prompt(parts_.instance, parts_.identity, parts_.settings, parts_.messages);
    if (!prompt.Run(promptOwner))
        return false;
    splash_.emplace(parts_.instance, [this] { LoadMainWindow(); });
    splash_->Show();
    return true;
}

void ProgramWindows::LoadMainWindow() {
    frmMain::Parts parts{parts_.identity,
                         parts_.settings,
                         parts_.registry,
                         parts_.shell,
                         parts_.fileSystem,
                         parts_.listers.File1,
                         parts_.pluginTables,
                         parts_.lstPlugs,
                         parts_.programFolder,
                         parts_.messages,
                         static_cast<bool>(parts_.openSetupWizard),
                         parts_.pluginSources};
    main_.reset();
    main_.emplace(parts_.instance, std::move(parts), *this);
    main_->Show();
    // The help window that the load opened stays in front of the main window shown after it.
    if (Help())
        SetOnTop(help_->Hwnd(), true);
}

// From the main window only, and never while a run is under way: the results window stays up,
// its close button disabled, until the run is over.
void ProgramWindows::CleanNow() {
    if (!Main() || Results())
        return;
    if (parts_.cleanLock && !parts_.cleanLock->Acquire()) {
        parts_.messages.Notice(main_->Hwnd(), kAnotherCleanRunning, parts_.identity.productName);
        return;
    }
    EngineServices services = parts_.Services(main_->CookieFolder(), reinterpret_cast<WindowHandle>(main_->Hwnd()));
    RunClean(*this, services);
    if (parts_.cleanLock)
        parts_.cleanLock->Release();
}

ResultsSurface& ProgramWindows::ShowResults() {
    results_.reset();
    results_.emplace(
        parts_.instance, nullptr, [this] { OnResultsClosed(); }, &parts_.fileSystem);
    results_->SetConfirm([this](HWND owner, const std::string& title, const std::string& text) {
        return parts_.messages.AskOkCancel(owner, title, text);
    });
    if (main_)
        main_->Hide();
    results_->Show();
    return *results_;
}

void ProgramWindows::OnResultsClosed() {
    if (main_)
        main_->Show();
}

void ProgramWindows::OpenSetupWizard() {
    if (parts_.openSetupWizard)
        parts_.openSetupWizard();
}

void ProgramWindows::ViewHelp() {
    if (!Help())
        help_.emplace(parts_.instance, parts_.settings, parts_.fileSystem, parts_.programFolder + "\\Help.rtf");
    help_->Show();
}

void ProgramWindows::ViewAbout() {
    if (!About())
        about_.emplace(parts_.instance, parts_.identity, [this] { OpenWebsite(kWebsiteRequest); });
    about_->Show();
}

void ProgramWindows::OpenWebsite(const std::string& request) {
    websiteRequest_ = request;
    launcher_.Load();
}

void ProgramWindows::OpenPluginBrowser() {
    plugins_.Load();
}

// The report of the file as the main window's load read it.
void ProgramWindows::OpenRulesReport() {
    if (!parts_.rules)
        return;
    rulesReport_.reset();
    rulesReport_.emplace(parts_.instance, Main() ? main_->Hwnd() : nullptr, parts_.rules->rules.Report());
    rulesReport_->Show();
}

bool ProgramWindows::UpdateCommunityRules() {
    if (!parts_.rules)
        return false;
    const HWND owner = Main() ? main_->Hwnd() : nullptr;
    frmRulesUpdate update(parts_.instance, *parts_.rules,
                          parts_.settings.GetSetting(kRulesUrlSetting, kDefaultRulesUrl),
                          parts_.rules->rules.FilePath());
    const RuleUpdateOutcome outcome = update.Run(owner);
    parts_.messages.Notice(owner, outcome.message, "Update Community Rules");
    return outcome.updated;
}

void ProgramWindows::EndProgram() {
    ended_ = true;
    ::PostQuitMessage(0);
}

}  // namespace nimbral
