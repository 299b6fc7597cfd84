#include "ui/win/accessible.h"

#include <oleacc.h>

#include <vector>

#include "ui/win/control.h"

namespace {

// The children a window shows to screen readers, in creation order: its
// visible windowless controls that have a role, and its visible child
// windows. Child id n is element n - 1.
std::vector<Control*> Elements(WinControl* window) {
    std::vector<Control*> elements;
    for (const auto& child : window->Children()) {
        Control* c = child.get();
        if (!c->Visible()) continue;
        if (c->IsWindowed() ? static_cast<WinControl*>(c)->Handle() != nullptr : c->Role() != AccessibleRole::None)
            elements.push_back(c);
    }
    return elements;
}

bool HasWindowlessElements(WinControl* window) {
    for (const auto& child : window->Children())
        if (!child->IsWindowed() && child->Visible() && child->Role() != AccessibleRole::None) return true;
    return false;
}

LONG RoleCode(AccessibleRole role) {
    switch (role) {
    case AccessibleRole::Link: return ROLE_SYSTEM_LINK;
    case AccessibleRole::Button: return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::ButtonMenu: return ROLE_SYSTEM_BUTTONMENU;
    case AccessibleRole::Graphic: return ROLE_SYSTEM_GRAPHIC;
    default: return ROLE_SYSTEM_STATICTEXT;
    }
}

HRESULT WindowObject(Control* c, IDispatch** out) {
    return AccessibleObjectFromWindow(static_cast<WinControl*>(c)->Handle(), static_cast<DWORD>(OBJID_WINDOW),
                                      IID_IDispatch, reinterpret_cast<void**>(out));
}

// A child as a VARIANT: a child window is an object of its own, a windowless
// control a child id of this one.
HRESULT ChildVariant(Control* c, long id, VARIANT* out) {
    if (c->IsWindowed()) {
        IDispatch* object = nullptr;
        HRESULT hr = WindowObject(c, &object);
        if (FAILED(hr)) return hr;
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return S_OK;
    }
    out->vt = VT_I4;
    out->lVal = id;
    return S_OK;
}

class WindowAccessible : public IAccessible, public IOleWindow {
public:
    WindowAccessible(HWND hwnd, IAccessible* standard) : hwnd_(hwnd), standard_(standard) {}
    virtual ~WindowAccessible() { standard_->Release(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) *out = static_cast<IAccessible*>(this);
        else if (iid == IID_IOleWindow) *out = static_cast<IOleWindow*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IOleWindow: the window the object belongs to.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = hwnd_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch: not offered; clients use the IAccessible methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override { return standard_->get_accParent(out); }

    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        WinControl* w = Window();
        if (!w) return RPC_E_DISCONNECTED;
        *count = static_cast<long>(Elements(w).size());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (!t.control) return E_INVALIDARG;
        if (!t.control->IsWindowed()) return S_FALSE;  // a simple element of this object
        return WindowObject(t.control, out);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        return Text(child, out, &IAccessible::get_accName, [](Control* c) { return c->AccessibleName(); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        return Text(child, out, &IAccessible::get_accValue, nullptr);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return Text(child, out, &IAccessible::get_accDescription, [](Control* c) { return c->Hint(); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        return Text(child, out, &IAccessible::get_accHelp, nullptr);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return Text(child, out, &IAccessible::get_accKeyboardShortcut, nullptr);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return Text(child, out, &IAccessible::get_accDefaultAction, nullptr);
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (!t.control) return standard_->get_accRole(child, out);
        if (t.control->IsWindowed()) return OfWindow(t.control, [&](IAccessible* a, VARIANT self) { return a->get_accRole(self, out); });
        out->vt = VT_I4;
        out->lVal = RoleCode(t.control->Role());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (!t.control) return standard_->get_accState(child, out);
        if (t.control->IsWindowed()) return OfWindow(t.control, [&](IAccessible* a, VARIANT self) { return a->get_accState(self, out); });
        long state = 0;
        if (!t.control->Enabled()) state |= STATE_SYSTEM_UNAVAILABLE;
        AccessibleRole role = t.control->Role();
        if (role == AccessibleRole::Link) state |= STATE_SYSTEM_LINKED;
        if (role == AccessibleRole::StaticText || role == AccessibleRole::Graphic) state |= STATE_SYSTEM_READONLY;
        if (role == AccessibleRole::ButtonMenu) state |= STATE_SYSTEM_HASPOPUP;
        out->vt = VT_I4;
        out->lVal = state;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (!t.control) return standard_->get_accHelpTopic(file, child, topic);
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        WinControl* w = Window();
        if (!w) return RPC_E_DISCONNECTED;
        HWND focus = GetFocus();
        if (focus == hwnd_) {
            out->vt = VT_I4;
            out->lVal = CHILDID_SELF;
            return S_OK;
        }
        std::vector<Control*> elements = Elements(w);
        for (size_t i = 0; i < elements.size(); ++i) {
            Control* c = elements[i];
            if (!c->IsWindowed()) continue;
            HWND h = static_cast<WinControl*>(c)->Handle();
            if (focus == h || IsChild(h, focus)) return ChildVariant(c, static_cast<long>(i + 1), out);
        }
        return S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        return S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (!t.control) return standard_->accSelect(flags, child);
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (!t.control) return standard_->accLocation(left, top, width, height, child);
        RECT r;
        if (t.control->IsWindowed()) GetWindowRect(static_cast<WinControl*>(t.control)->Handle(), &r);
        else {
            r = t.control->PixelBounds();
            MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        }
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        Target t;
        if (HRESULT hr = Resolve(start, t); hr != S_OK) return hr;
        std::vector<Control*> elements = Elements(Window());
        long count = static_cast<long>(elements.size());
        long to = 0;
        if (!t.control) {
            if (direction == NAVDIR_FIRSTCHILD) to = 1;
            else if (direction == NAVDIR_LASTCHILD) to = count;
            else return standard_->accNavigate(direction, start, out);
        } else if (direction == NAVDIR_NEXT) {
            to = t.id + 1;
        } else if (direction == NAVDIR_PREVIOUS) {
            to = t.id - 1;
        } else {
            return S_FALSE;
        }
        if (to < 1 || to > count) return S_FALSE;
        return ChildVariant(elements[static_cast<size_t>(to - 1)], to, out);
    }

    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        WinControl* w = Window();
        if (!w) return RPC_E_DISCONNECTED;
        POINT p{x, y};
        ScreenToClient(hwnd_, &p);
        RECT client;
        GetClientRect(hwnd_, &client);
        if (!PtInRect(&client, p)) return standard_->accHitTest(x, y, out);
        // The one on top: the last painted windowless control, or a child
        // window, which lies over them all.
        std::vector<Control*> elements = Elements(w);
        for (size_t i = elements.size(); i-- > 0;) {
            Control* c = elements[i];
            if (!c->IsWindowed()) continue;
            RECT r;
            GetWindowRect(static_cast<WinControl*>(c)->Handle(), &r);
            if (PtInRect(&r, POINT{x, y})) return ChildVariant(c, static_cast<long>(i + 1), out);
        }
        for (size_t i = elements.size(); i-- > 0;) {
            Control* c = elements[i];
            RECT r = c->PixelBounds();
            if (!c->IsWindowed() && PtInRect(&r, p)) return ChildVariant(c, static_cast<long>(i + 1), out);
        }
        out->vt = VT_I4;
        out->lVal = CHILDID_SELF;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (!t.control) return standard_->accDoDefaultAction(child);
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // The control a child id names; control null for the window itself.
    struct Target {
        Control* control = nullptr;
        long id = CHILDID_SELF;
    };

    // The window's control, looked up on every call: the object may outlive
    // the window, and then answers that it is gone.
    WinControl* Window() const { return WinControl::FromHandle(hwnd_); }

    HRESULT Resolve(const VARIANT& child, Target& t) const {
        WinControl* w = Window();
        if (!w) return RPC_E_DISCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        t.id = child.lVal;
        if (t.id == CHILDID_SELF) return S_OK;
        std::vector<Control*> elements = Elements(w);
        if (t.id < 1 || t.id > static_cast<long>(elements.size())) return E_INVALIDARG;
        t.control = elements[static_cast<size_t>(t.id - 1)];
        return S_OK;
    }

    // Asks a child window's own object about itself.
    template <typename Ask>
    static HRESULT OfWindow(Control* c, Ask ask) {
        IAccessible* object = nullptr;
        HRESULT hr = AccessibleObjectFromWindow(static_cast<WinControl*>(c)->Handle(), static_cast<DWORD>(OBJID_WINDOW),
                                                IID_IAccessible, reinterpret_cast<void**>(&object));
        if (FAILED(hr)) return hr;
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        hr = ask(object, self);
        object->Release();
        return hr;
    }

    using TextGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

    // A text property: the window's from the standard object, a child
    // window's from its own, a windowless control's from of (none: not
    // offered).
    HRESULT Text(VARIANT child, BSTR* out, TextGetter get, std::wstring (*of)(Control*)) {
        if (!out) return E_POINTER;
        *out = nullptr;
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (!t.control) return (standard_->*get)(child, out);
        if (t.control->IsWindowed()) return OfWindow(t.control, [&](IAccessible* a, VARIANT self) { return (a->*get)(self, out); });
        if (!of) return DISP_E_MEMBERNOTFOUND;
        std::wstring text = of(t.control);
        if (text.empty()) return S_FALSE;
        *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    LONG refs_ = 1;
    HWND hwnd_;
    IAccessible* standard_;
};

}  // namespace

LRESULT AnswerAccessibleObject(WinControl* window, WPARAM wp, LPARAM lp) {
    if (static_cast<LONG>(lp) != OBJID_CLIENT || !window->Handle() || !HasWindowlessElements(window)) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window->Handle(), OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(&standard))))
        return 0;
    auto* object = new WindowAccessible(window->Handle(), standard);
    LRESULT result = LresultFromObject(IID_IAccessible, wp, static_cast<IAccessible*>(object));
    object->Release();
    return result;
}
