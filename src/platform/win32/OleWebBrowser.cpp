#include "platform/win32/OleWebBrowser.h"

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>
#include <oleauto.h>

#include <string>

#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

namespace {

// The HTML engine's document, {25336920-03F9-11CF-8FD0-00AA00686F13}: what the control renders every
// page with. Where it cannot be made, the control would stay an empty box.
constexpr CLSID kHtmlDocument = {0x25336920, 0x03f9, 0x11cf, {0x8f, 0xd0, 0x00, 0xaa, 0x00, 0x68, 0x6f, 0x13}};

constexpr char kContainerClass[] = "NimbralBrowserHost";

int liveSites = 0;

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const wchar_t* text) {
    if (!text || !*text)
        return {};
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(length) - 1);
    return narrow;
}

// One BSTR, freed once.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(const std::string& text) {
        const std::wstring wide = Widen(text);
        text_ = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(text_); }

    BSTR get() const { return text_; }
    BSTR* put() {
        ::SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }

  private:
    BSTR text_ = nullptr;
};

// The container's one object: the control's client site, its in-place site and frame, and the
// receiver of its events. The control holds references to it until it is closed, so it lives as long
// as the last of them; the events stop reaching the window the moment the browser lets go.
class BrowserSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame, public IDispatch {
  public:
    BrowserSite(HWND container, BrowserEvents& events) : container_(container), events_(&events) { ++liveSites; }
    BrowserSite(const BrowserSite&) = delete;
    BrowserSite& operator=(const BrowserSite&) = delete;

    void Detach() { events_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            *object = static_cast<IOleClientSite*>(this);
        } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
            *object = static_cast<IOleInPlaceSite*>(this);
        } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
            *object = static_cast<IOleInPlaceFrame*>(this);
        } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *object = static_cast<IDispatch*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IOleWindow, for the in-place site and the frame alike: the container is the window the control
    // lives in and the only frame it gets.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window)
            return E_POINTER;
        *window = container_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleClientSite: nothing is stored, so there is nothing to save or name.
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                               IOleInPlaceUIWindow** document,
                                               LPRECT position,
                                               LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !document || !position || !clip || !info)
            return E_POINTER;
        *frame = this;
        AddRef();
        *document = nullptr;
        ::GetClientRect(container_, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = ::GetAncestor(container_, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no tool space, menus or accelerators to share.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch, for DWebBrowserEvents2: only Invoke is ever called, with the event's number.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count)
            *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE
    Invoke(DISPID event, REFIID, LCID, WORD, DISPPARAMS* arguments, VARIANT*, EXCEPINFO*, UINT*) override {
        if (!events_)
            return S_OK;
        // Nothing may unwind into the control.
        try {
            switch (event) {
                case DISPID_STATUSTEXTCHANGE:
                    events_->StatusTextChange(TextArgument(arguments, 0));
                    break;
                case DISPID_PROGRESSCHANGE:
                    // Arguments come last first: Progress, then ProgressMax.
                    events_->ProgressChange(LongArgument(arguments, 1), LongArgument(arguments, 0));
                    break;
                case DISPID_DOWNLOADBEGIN:
                    events_->DownloadBegin();
                    break;
                case DISPID_DOWNLOADCOMPLETE:
                    events_->DownloadComplete();
                    break;
            }
        } catch (...) {
        }
        return S_OK;
    }

  private:
    ~BrowserSite() { --liveSites; }

    static const VARIANT* Argument(const DISPPARAMS* arguments, UINT index) {
        return arguments && index < arguments->cArgs ? &arguments->rgvarg[index] : nullptr;
    }
    static std::string TextArgument(const DISPPARAMS* arguments, UINT index) {
        const VARIANT* argument = Argument(arguments, index);
        return argument && V_VT(argument) == VT_BSTR ? Narrow(V_BSTR(argument)) : std::string();
    }
    static long LongArgument(const DISPPARAMS* arguments, UINT index) {
        const VARIANT* argument = Argument(arguments, index);
        return argument && V_VT(argument) == VT_I4 ? V_I4(argument) : 0;
    }

    ULONG references_ = 1;
    HWND container_;
    BrowserEvents* events_;
};

void RegisterContainerClass() {
    static const ATOM registered = [] {
        WNDCLASSA windowClass = {};
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kContainerClass;
        return ::RegisterClassA(&windowClass);
    }();
    (void)registered;
}

class OleWebBrowser final : public EmbeddedBrowser {
  public:
    OleWebBrowser() = default;
    OleWebBrowser(const OleWebBrowser&) = delete;
    OleWebBrowser& operator=(const OleWebBrowser&) = delete;
    ~OleWebBrowser() override { TearDown(); }

    // Whatever was made before a step failed is taken down again by the destructor.
    EmbedOutcome Embed(HWND host, int controlId, BrowserEvents& events, bool requireHtmlEngine) {
        if (requireHtmlEngine) {
            ComPtr<IUnknown> document;
            if (FAILED(::CoCreateInstance(kHtmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                          document.put_void())))
                return EmbedOutcome::kNoEngine;
        }
        if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                      object_.put_void())) ||
            FAILED(object_->QueryInterface(IID_IWebBrowser2, browser_.put_void())))
            return EmbedOutcome::kNotCreated;

        RegisterContainerClass();
        container_.reset(::CreateWindowExA(0, kContainerClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                                           host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                           ::GetModuleHandleA(nullptr), nullptr));
        if (!container_)
            return EmbedOutcome::kNotActivated;
        site_.reset(new BrowserSite(container_.get(), events));
        RECT area = {};
        if (FAILED(object_->SetClientSite(site_.get())) ||
            FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, container_.get(), &area)) ||
            FAILED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace_.put_void())))
            return EmbedOutcome::kNotActivated;

        // Without its events the browser still browses; the window then only shows less of what it does.
        ComPtr<IConnectionPointContainer> points;
        if (SUCCEEDED(object_->QueryInterface(IID_IConnectionPointContainer, points.put_void())) &&
            SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, connection_.put())) &&
            FAILED(connection_->Advise(static_cast<IDispatch*>(site_.get()), &cookie_))) {
            connection_.reset();
            cookie_ = 0;
        }
        return EmbedOutcome::kEmbedded;
    }

    bool Navigate(const std::string& address) override {
        const Bstr url(address);
        VARIANT none;
        ::VariantInit(&none);
        return SUCCEEDED(browser_->Navigate(url.get(), &none, &none, &none, &none));
    }
    bool GoBack() override { return SUCCEEDED(browser_->GoBack()); }
    bool GoForward() override { return SUCCEEDED(browser_->GoForward()); }
    bool Stop() override { return SUCCEEDED(browser_->Stop()); }
    bool Refresh() override { return SUCCEEDED(browser_->Refresh()); }

    std::string LocationURL() override {
        Bstr location;
        return SUCCEEDED(browser_->get_LocationURL(location.put())) ? Narrow(location.get()) : std::string();
    }
    std::string LocationName() override {
        Bstr name;
        return SUCCEEDED(browser_->get_LocationName(name.put())) ? Narrow(name.get()) : std::string();
    }

    void Place(const BrowserBounds& bounds) override {
        ::MoveWindow(container_.get(), bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
        RECT area = {0, 0, bounds.width, bounds.height};
        if (inPlace_)
            inPlace_->SetObjectRects(&area, &area);
    }

  private:
    // The events stop first, so nothing reaches a window that is going; the control leaves the window
    // while it still has its site, then lets go of the site before it is closed; the container goes last.
    void TearDown() {
        if (site_)
            site_->Detach();
        if (connection_)
            connection_->Unadvise(cookie_);
        connection_.reset();
        if (inPlace_)
            inPlace_->InPlaceDeactivate();
        inPlace_.reset();
        browser_.reset();
        if (object_) {
            object_->SetClientSite(nullptr);
            object_->Close(OLECLOSE_NOSAVE);
        }
        object_.reset();
        site_.reset();
        container_.reset();
    }

    ComPtr<IOleObject> object_;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IOleInPlaceObject> inPlace_;
    ComPtr<IConnectionPoint> connection_;
    DWORD cookie_ = 0;
    ComPtr<BrowserSite> site_;
    UniqueHwnd container_;
};

}  // namespace

std::unique_ptr<EmbeddedBrowser> OleBrowserEmbedder::Embed(WindowHandle host, int controlId, BrowserEvents& events) {
    auto browser = std::make_unique<OleWebBrowser>();
    lastOutcome_ = browser->Embed(reinterpret_cast<HWND>(host), controlId, events, requireHtmlEngine_);
    if (lastOutcome_ != EmbedOutcome::kEmbedded)
        return nullptr;
    return browser;
}

int LiveBrowserSites() {
    return liveSites;
}

}  // namespace nimbral::win32
