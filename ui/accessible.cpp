#include "ui/accessible.h"

#include <oleacc.h>

#include "platform/text.h"

namespace ui {

namespace {

UINT DefaultActionMessage() {
    static const UINT message = RegisterWindowMessageW(L"Kiropad.AccessibleDefaultAction");
    return message;
}

BSTR ToBstr(const std::string& cp932) {
    std::wstring wide = platform::Widen(cp932);
    return SysAllocStringLen(wide.data(), (UINT)wide.size());
}

// A VARIANT that names the window itself (CHILDID_SELF) or one of its children.
bool ChildOf(const VARIANT& v, long& id) {
    if (v.vt != VT_I4) return false;
    id = v.lVal;
    return true;
}

void SetChildId(VARIANT* v, long id) {
    v->vt = VT_I4;
    v->lVal = id;
}

int g_highContrastOverride = -1;

} // namespace

// The IAccessible of a window. The IDispatch side is not offered: readers call
// IAccessible directly.
class TAccessibleObject final : public IAccessible {
public:
    TAccessibleObject(HWND window, IAccessibleSource& source) : window_(window), source_(&source) {}

    void Disconnect() { source_ = nullptr; }

    // ---- IUnknown --------------------------------------------------------------------
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return (ULONG)left;
    }

    // ---- IDispatch -------------------------------------------------------------------
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // ---- IAccessible: the tree ---------------------------------------------------------
    STDMETHODIMP get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!source_) return RPC_E_DISCONNECTED;
        // The window's own frame object, as the system makes it for any window.
        return CreateStdAccessibleObject(window_, OBJID_WINDOW, IID_IDispatch,
                                         reinterpret_cast<void**>(parent));
    }
    STDMETHODIMP get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        if (!source_) return RPC_E_DISCONNECTED;
        *count = source_->AccessibleChildCount();
        return S_OK;
    }
    // The children are simple elements, named by their number: none is an object.
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!source_) return RPC_E_DISCONNECTED;
        long id;
        if (!ChildOf(child, id) || !Valid(id)) return E_INVALIDARG;
        return S_FALSE;
    }

    // ---- IAccessible: descriptions -----------------------------------------------------
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, [this](long id, TAccessibleChild* c) {
            return id == CHILDID_SELF ? source_->AccessibleName() : c->Name;
        });
    }
    STDMETHODIMP get_accValue(VARIANT, BSTR* value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        return source_ ? S_FALSE : RPC_E_DISCONNECTED;
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override {
        return Text(child, description, [](long id, TAccessibleChild* c) {
            return id == CHILDID_SELF ? std::string() : c->Description;
        });
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        return Number(child, role, [this](long id, const TAccessibleChild& c) {
            return id == CHILDID_SELF ? source_->AccessibleRole() : c.Role;
        });
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        return Number(child, state, [this](long id, const TAccessibleChild& c) {
            if (id != CHILDID_SELF) return c.State;
            long s = STATE_SYSTEM_FOCUSABLE;
            if (!IsWindowVisible(window_)) s |= STATE_SYSTEM_INVISIBLE;
            if (GetFocus() == window_) s |= STATE_SYSTEM_FOCUSED;
            return s;
        });
    }
    STDMETHODIMP get_accHelp(VARIANT, BSTR* help) override { return NoText(help); }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (topic) *topic = 0;
        return NoText(file);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override { return NoText(shortcut); }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action, [](long id, TAccessibleChild* c) {
            return id == CHILDID_SELF ? std::string() : c->DefaultAction;
        });
    }

    // ---- IAccessible: focus, selection, place ------------------------------------------
    STDMETHODIMP get_accFocus(VARIANT* focus) override {
        return ChildVariant(focus, source_ ? source_->FocusedChild() : -1);
    }
    STDMETHODIMP get_accSelection(VARIANT* selection) override {
        return ChildVariant(selection, source_ ? source_->SelectedChild() : -1);
    }
    STDMETHODIMP accSelect(long flags, VARIANT child) override {
        if (!source_) return RPC_E_DISCONNECTED;
        long id;
        if (!ChildOf(child, id) || !Valid(id)) return E_INVALIDARG;
        if (id == CHILDID_SELF || !(flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION))) return S_FALSE;
        return source_->SelectChild((int)id - 1) ? S_OK : S_FALSE;
    }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        TAccessibleChild c;
        long id;
        HRESULT hr = Describe(child, id, c);
        if (hr != S_OK) return hr;
        RECT r;
        if (id == CHILDID_SELF) {
            GetClientRect(window_, &r);
        } else {
            r = {c.Bounds.Left, c.Bounds.Top, c.Bounds.Right, c.Bounds.Bottom};
        }
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        VariantInit(end);
        if (!source_) return RPC_E_DISCONNECTED;
        long id;
        if (!ChildOf(start, id) || !Valid(id)) return E_INVALIDARG;
        long count = source_->AccessibleChildCount(), to = 0;
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
            to = id == CHILDID_SELF && count > 0 ? 1 : 0;
            break;
        case NAVDIR_LASTCHILD:
            to = id == CHILDID_SELF && count > 0 ? count : 0;
            break;
        case NAVDIR_NEXT:
            to = id != CHILDID_SELF && id < count ? id + 1 : 0;
            break;
        case NAVDIR_PREVIOUS:
            to = id > 1 ? id - 1 : 0;
            break;
        default:
            return S_FALSE;
        }
        if (to == 0) return S_FALSE;
        SetChildId(end, to);
        return S_OK;
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override {
        if (!child) return E_POINTER;
        VariantInit(child);
        if (!source_) return RPC_E_DISCONNECTED;
        POINT p = {x, y};
        ScreenToClient(window_, &p);
        RECT client;
        GetClientRect(window_, &client);
        if (!PtInRect(&client, p)) return S_FALSE;
        SetChildId(child, source_->ChildAt(p.x, p.y) + 1);
        return S_OK;
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        if (!source_) return RPC_E_DISCONNECTED;
        long id;
        if (!ChildOf(child, id) || !Valid(id) || id == CHILDID_SELF) return E_INVALIDARG;
        TAccessibleChild c;
        if (!source_->DescribeChild((int)id - 1, c) || c.DefaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
        // The reader's call returns first: what a click starts (a program, a dialog)
        // runs from the window's own message loop.
        PostMessageW(window_, DefaultActionMessage(), (WPARAM)(id - 1), 0);
        return S_OK;
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~TAccessibleObject() = default;

    bool Valid(long id) { return id >= 0 && id <= source_->AccessibleChildCount(); }

    HRESULT Describe(const VARIANT& child, long& id, TAccessibleChild& c) {
        if (!source_) return RPC_E_DISCONNECTED;
        if (!ChildOf(child, id) || !Valid(id)) return E_INVALIDARG;
        if (id != CHILDID_SELF && !source_->DescribeChild((int)id - 1, c)) return E_INVALIDARG;
        return S_OK;
    }

    template <class F> HRESULT Text(const VARIANT& child, BSTR* out, F text) {
        if (!out) return E_POINTER;
        *out = nullptr;
        TAccessibleChild c;
        long id;
        HRESULT hr = Describe(child, id, c);
        if (hr != S_OK) return hr;
        std::string s = text(id, &c);
        if (s.empty()) return S_FALSE;
        *out = ToBstr(s);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    template <class F> HRESULT Number(const VARIANT& child, VARIANT* out, F value) {
        if (!out) return E_POINTER;
        VariantInit(out);
        TAccessibleChild c;
        long id;
        HRESULT hr = Describe(child, id, c);
        if (hr != S_OK) return hr;
        SetChildId(out, value(id, c));
        return S_OK;
    }

    HRESULT NoText(BSTR* out) {
        if (!out) return E_POINTER;
        *out = nullptr;
        return source_ ? S_FALSE : RPC_E_DISCONNECTED;
    }

    HRESULT ChildVariant(VARIANT* v, int index) {
        if (!v) return E_POINTER;
        VariantInit(v);
        if (!source_) return RPC_E_DISCONNECTED;
        if (index < 0) return S_FALSE;
        SetChildId(v, index + 1);
        return S_OK;
    }

    LONG references_ = 1;
    HWND window_;
    IAccessibleSource* source_;
};

TAccessibleServer::TAccessibleServer(HWND window, IAccessibleSource& source)
    : window_(window), source_(source) {}

TAccessibleServer::~TAccessibleServer() {
    if (object_) {
        object_->Disconnect();
        object_->Release();
    }
}

bool TAccessibleServer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_GETOBJECT) {
        if ((LONG)lParam != OBJID_CLIENT) return false;
        if (!object_) object_ = new TAccessibleObject(window_, source_);
        result = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object_));
        // A failure is the system's answer: the window's standard object then serves.
        return SUCCEEDED((HRESULT)result);
    }
    if (message == DefaultActionMessage()) {
        int child = (int)wParam;
        if (child >= 0 && child < source_.AccessibleChildCount()) source_.DoDefaultAction(child);
        result = 0;
        return true;
    }
    return false;
}

void TAccessibleServer::RaiseEvent(DWORD event, int child) {
    if (window_) NotifyWinEvent(event, window_, OBJID_CLIENT, child < 0 ? CHILDID_SELF : child + 1);
}

bool HighContrastOn() {
    if (g_highContrastOverride >= 0) return g_highContrastOverride != 0;
    HIGHCONTRASTW hc = {};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

void OverrideHighContrast(int on) {
    g_highContrastOverride = on;
}

} // namespace ui
