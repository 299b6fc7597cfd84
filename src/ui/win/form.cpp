#include "ui/win/form.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win/accessible.h"
#include "ui/win/helpcontext.h"

namespace {

struct Forms {
    std::vector<Form*> all;
    Form* active = nullptr;
    Form* main = nullptr;
    bool showHints = true;
    std::function<void(Form*)> onActivated;
};

Forms& Registry() {
    static Forms forms;
    return forms;
}

DWORD StyleOf(BorderStyle s) {
    switch (s) {
    case BorderStyle::Sizeable: return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    case BorderStyle::Dialog: return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    case BorderStyle::Single: return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    case BorderStyle::None: return WS_POPUP | WS_CLIPCHILDREN;
    }
    return WS_OVERLAPPEDWINDOW;
}

DWORD ExStyleOf(BorderStyle s) { return s == BorderStyle::Dialog ? WS_EX_DLGMODALFRAME : 0; }

// Offers an accelerator to the shown, enabled controls in creation order.
bool OfferDialogChar(WinControl* parent, wchar_t ch) {
    for (const auto& child : parent->Children()) {
        if (!child->Visible() || !child->Enabled()) continue;
        if (child->DialogChar(ch)) return true;
        if (auto* windowed = dynamic_cast<WinControl*>(child.get()); windowed && OfferDialogChar(windowed, ch)) return true;
    }
    return false;
}

void CollectTabStops(WinControl* parent, std::vector<Control*>& order) {
    for (const auto& child : parent->Children()) {
        Control* c = child.get();
        if (!c->Visible() || !c->Enabled()) continue;
        if (auto* windowed = dynamic_cast<WinControl*>(c)) {
            if (GetWindowLongW(windowed->Handle(), GWL_STYLE) & WS_TABSTOP) order.push_back(c);
            CollectTabStops(windowed, order);
        } else if (c->TabStop()) {
            order.push_back(c);
        }
    }
}

bool Pressed(int key) { return GetKeyState(key) < 0; }

}  // namespace

Form* OwnerForm(Control* control) { return control ? dynamic_cast<Form*>(control->Root()) : nullptr; }

const std::vector<Form*>& Form::All() { return Registry().all; }
Form* Form::Active() { return Registry().active; }
Form* Form::Main() { return Registry().main; }
void Form::SetMain(Form* f) { Registry().main = f; }
bool Form::HintsShown() { return Registry().showHints; }
void Form::ShowHints(bool v) { Registry().showHints = v; }
void Form::SetActivationListener(std::function<void(Form*)> listener) { Registry().onActivated = std::move(listener); }

bool Form::PreTranslateMessage(MSG& msg) {
    if (!msg.hwnd) return false;
    WinControl* root = FromHandle(GetAncestor(msg.hwnd, GA_ROOT));
    return root && root->PreTranslate(msg);
}

Control* Form::ControlOf(HWND hwnd) {
    for (HWND h = hwnd; h; h = GetParent(h)) {
        if (WinControl* c = FromHandle(h)) return OwnerForm(c) == this ? c : this;
    }
    return this;
}

Form::Form(BorderStyle style) : WinControl(nullptr), style_(style) {
    SetVisibleSilently(false);
    CreateHandle(nullptr, StyleOf(style), ExStyleOf(style));
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    if (icon) SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    // Screen readers reach the windowless controls of every window under a form.
    SetAccessibleAnswer(&AnswerAccessibleObject);
    Registry().all.push_back(this);
}

Form::~Form() {
    Forms& forms = Registry();
    forms.all.erase(std::remove(forms.all.begin(), forms.all.end(), this), forms.all.end());
    if (forms.active == this) forms.active = nullptr;
    if (forms.main == this) forms.main = nullptr;
    if (tooltip_) DestroyWindow(tooltip_);
}

void Form::SetClientSize(int width, int height) {
    RECT r{0, 0, Px(width), Px(height)};
    AdjustWindowRectExForDpi(&r, GetWindowLongW(Handle(), GWL_STYLE), FALSE, GetWindowLongW(Handle(), GWL_EXSTYLE),
                             Dpi());
    SetBounds(Left(), Top(), Units(r.right - r.left), Units(r.bottom - r.top));
}

int Form::ClientWidth() const {
    RECT c;
    GetClientRect(Handle(), &c);
    return Units(c.right);
}

int Form::ClientHeight() const {
    RECT c;
    GetClientRect(Handle(), &c);
    return Units(c.bottom);
}

void Form::CenterOnScreen() {
    HMONITOR mon = MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO mi{sizeof(mi)};
    GetMonitorInfoW(mon, &mi);
    RECT w;
    GetWindowRect(Handle(), &w);
    int x = mi.rcWork.left + (mi.rcWork.right - mi.rcWork.left - (w.right - w.left)) / 2;
    int y = mi.rcWork.top + (mi.rcWork.bottom - mi.rcWork.top - (w.bottom - w.top)) / 2;
    SetBounds(Units(x), Units(y), Width(), Height());
}

void Form::BoundsChanged() {
    RECT r = PixelBounds();
    SetWindowPos(Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Realign();
}

void Form::VisibilityChanged() {
    if (Visible()) {
        ShowWindow(Handle(), SW_SHOW);
        SetForegroundWindow(Handle());
    } else {
        ShowWindow(Handle(), SW_HIDE);
    }
}

void Form::Show() {
    SetVisible(true);
    if (!shown_) {
        shown_ = true;
        if (OnShow) OnShow(this);
    }
    UpdateWindow(Handle());
}

void Form::Hide() { SetVisible(false); }

void Form::Close() {
    if (OnCloseQuery && !OnCloseQuery()) return;
    if (OnClose) OnClose(this);
    if (modal_) {
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        return;
    }
    Hide();
    if (Main() == this) PostQuitMessage(0);
}

int Form::ShowModal() {
    HWND owner = GetActiveWindow();
    if (owner && owner != Handle()) SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    // Every other window of the program waits until this one closes.
    struct Disabled {
        HWND self;
        std::vector<HWND> windows;
    } disabled{Handle(), {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            auto* d = reinterpret_cast<Disabled*>(lp);
            if (w != d->self && IsWindowVisible(w) && IsWindowEnabled(w)) {
                EnableWindow(w, FALSE);
                d->windows.push_back(w);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&disabled));
    modal_ = true;
    modalResult_ = mrNone;
    Show();
    MSG msg;
    while (modalResult_ == mrNone) {
        BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r <= 0) {
            if (r == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            modalResult_ = mrCancel;
            break;
        }
        if (!PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    for (HWND w : disabled.windows) EnableWindow(w, TRUE);
    Hide();
    modal_ = false;
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    return modalResult_;
}

std::vector<Control*> Form::TabOrder() {
    std::vector<Control*> order;
    CollectTabStops(this, order);
    return order;
}

Control* Form::KeyboardControl() {
    WinControl* focused = FromHandle(GetFocus());
    if (!focused || focused == this || OwnerForm(focused) != this) return nullptr;
    if (Control* child = focused->FocusedChild()) return child;
    return focused;
}

void Form::FocusControl(Control* control) {
    if (!control) return;
    if (auto* windowed = dynamic_cast<WinControl*>(control)) windowed->SetFocus();
    else if (control->Parent()) control->Parent()->FocusChild(control);
}

void Form::MoveFocus(bool forward) {
    const std::vector<Control*> order = TabOrder();
    if (order.empty()) return;
    const auto at = std::find(order.begin(), order.end(), KeyboardControl());
    size_t next;
    if (at == order.end()) next = forward ? 0 : order.size() - 1;
    else next = (static_cast<size_t>(at - order.begin()) + (forward ? 1 : order.size() - 1)) % order.size();
    FocusControl(order[next]);
}

bool Form::PopupByKeyboard() {
    Control* target = KeyboardControl();
    if (!target) target = this;
    auto* windowed = dynamic_cast<WinControl*>(target);
    // A standard control shows its own menu (an edit's cut and paste).
    if (windowed && windowed->IsStandardControl()) return false;
    if (!windowed && target->KeyPress(VK_APPS)) return true;
    ContextMenu* menu = nullptr;
    for (Control* c = target; c && !menu; c = c->Parent()) menu = c->GetPopupMenu();
    if (!menu) return false;
    // Where the mouse would have opened it: on the control.
    POINT at;
    if (windowed) {
        RECT r;
        GetWindowRect(windowed->Handle(), &r);
        at = {r.left + Px(8), r.top + Px(8)};
    } else {
        RECT r = target->PixelBounds();
        at = {r.left + Px(16), r.bottom};
        ClientToScreen(target->Parent()->Handle(), &at);
    }
    menu->Popup(at.x, at.y);
    return true;
}

bool Form::PreTranslate(MSG& msg) {
    // Keys are handled here, outside any window procedure: what a key starts
    // may fail, and its message is shown as a failure inside a window's is.
    try {
        return HandleKeys(msg);
    } catch (...) {
        HandleFailure(std::current_exception());
        return true;
    }
}

bool Form::HandleKeys(MSG& msg) {
    if (msg.message == WM_SYSCHAR && OfferDialogChar(this, static_cast<wchar_t>(msg.wParam))) return true;
    const bool keyDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (keyDown && (msg.wParam == VK_APPS || (msg.wParam == VK_F10 && Pressed(VK_SHIFT) && !Pressed(VK_CONTROL))) &&
        PopupByKeyboard())
        return true;
    if (msg.message == WM_KEYDOWN && !Pressed(VK_CONTROL) && !Pressed(VK_MENU)) {
        Control* control = KeyboardControl();
        Control* windowless = control && !control->IsWindowed() ? control : nullptr;
        if (windowless && windowless->KeyPress(msg.wParam)) return true;
        // Tab is the form's where windowless controls take part, unless the
        // focused control wants it for itself (DLGC_WANTTAB).
        if (msg.wParam == VK_TAB) {
            const std::vector<Control*> order = TabOrder();
            const bool takesWindowless =
                std::any_of(order.begin(), order.end(), [](Control* c) { return !c->IsWindowed(); });
            const bool wantsTab = control && control->IsWindowed() &&
                                  (SendMessageW(msg.hwnd, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&msg)) &
                                   DLGC_WANTTAB);
            if (takesWindowless && !wantsTab) {
                MoveFocus(!Pressed(VK_SHIFT));
                return true;
            }
        }
        // Among windowless controls the arrows move as Tab does (a column
        // of links reads like a menu).
        if (windowless && (msg.wParam == VK_DOWN || msg.wParam == VK_UP)) {
            MoveFocus(msg.wParam == VK_DOWN);
            return true;
        }
    }
    if (msg.message == WM_KEYDOWN) {
        if (msg.wParam == VK_RETURN) {
            WinControl* focused = FromHandle(GetFocus());
            if (focused && focused->ClicksOnEnter()) {
                focused->Click();
                return true;
            }
            if (defaultButton_ && defaultButton_->Showing() && defaultButton_->Enabled()) {
                defaultButton_->Click();
                return true;
            }
        } else if (msg.wParam == VK_ESCAPE) {
            if (cancelButton_ && cancelButton_->Showing() && cancelButton_->Enabled()) {
                cancelButton_->Click();
                return true;
            }
            if (modal_) {
                modalResult_ = mrCancel;
                return true;
            }
        }
        for (ContextMenu* m : shortcutMenus_)
            if (m->HandleShortcut(msg.wParam)) return true;
        bool modifiers = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0;
        if (msg.wParam == VK_F1 && !modifiers && ShowHelpFor(ControlOf(msg.hwnd))) return true;
    }
    return IsDialogMessageW(Handle(), &msg) != FALSE;
}

HWND Form::Tooltip() {
    if (!tooltip_) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   0, 0, 0, 0, Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Px(400));
    }
    return tooltip_;
}

void Form::RemoveHintTool(Control* c) {
    if (!tooltip_) return;
    TTTOOLINFOW ti{sizeof(ti)};
    if (c->IsWindowed()) {
        ti.hwnd = static_cast<WinControl*>(c)->Parent() ? static_cast<WinControl*>(c)->Parent()->Handle() : Handle();
        ti.uId = reinterpret_cast<UINT_PTR>(static_cast<WinControl*>(c)->Handle());
    } else {
        ti.hwnd = c->Parent()->Handle();
        ti.uId = reinterpret_cast<UINT_PTR>(c);
    }
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Form::UpdateHintTool(Control* c) {
    if (c == this || !c->Parent() || !c->Parent()->Handle()) return;
    if (c->Hint().empty() && !tooltip_) return;
    RemoveHintTool(c);
    if (c->Hint().empty() || !HintsShown()) return;
    TTTOOLINFOW ti{sizeof(ti)};
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = c->Parent()->Handle();
    ti.lpszText = const_cast<wchar_t*>(c->Hint().c_str());
    if (c->IsWindowed()) {
        ti.uFlags |= TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(static_cast<WinControl*>(c)->Handle());
    } else {
        ti.uId = reinterpret_cast<UINT_PTR>(c);
        ti.rect = c->PixelBounds();
    }
    SendMessageW(Tooltip(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focused = GetFocus();
            lastFocus_ = focused && IsChild(Handle(), focused) ? focused : nullptr;
        } else {
            Registry().active = this;
            if (Registry().onActivated) Registry().onActivated(this);
            if (OnActivate) OnActivate(this);
            // The system gives the keyboard to the form itself: back to the
            // control that had it when the form was left.
            LRESULT result = WinControl::HandleMessage(msg, wp, lp);
            if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_) && IsWindowVisible(lastFocus_) &&
                IsWindowEnabled(lastFocus_) && !HIWORD(wp))
                ::SetFocus(lastFocus_);
            lastFocus_ = nullptr;
            return result;
        }
        break;
    case WM_SIZE: {
        RECT w;
        GetWindowRect(Handle(), &w);
        Control::SetBoundsSilently({Units(w.left), Units(w.top), Units(w.right), Units(w.bottom)});
        Realign();
        return 0;
    }
    case WM_DPICHANGED: {
        const RECT* r = reinterpret_cast<const RECT*>(lp);
        SetWindowPos(Handle(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        AppearanceChanged();
        Realign();
        return 0;
    }
    }
    return WinControl::HandleMessage(msg, wp, lp);
}
