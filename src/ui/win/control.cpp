#include "ui/win/control.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <unordered_map>

#include "util/failure.h"

namespace {

constexpr wchar_t kClassName[] = L"ArchiwinControl";

void RegisterLayerClass() {
    static bool done = false;
    if (done) return;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;  // replaced per window in CreateHandle
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    done = true;
}

// The layer's windows by handle. A table of our own rather than a window
// property: every message looks its control up, and under Wine reading a
// property is a request to the server.
std::unordered_map<HWND, WinControl*>& Windows() {
    static std::unordered_map<HWND, WinControl*> windows;
    return windows;
}

std::function<void(std::exception_ptr)>& FailureHandler() {
    static std::function<void(std::exception_ptr)> handler;
    return handler;
}

AccessibleAnswer accessibleAnswer = nullptr;

HintHost* HintHostOf(Control* c) { return dynamic_cast<HintHost*>(c->Root()); }

}  // namespace

void SetFailureHandler(std::function<void(std::exception_ptr)> handler) { FailureHandler() = std::move(handler); }

void HandleFailure(std::exception_ptr failure) {
    if (FailureHandler()) {
        FailureHandler()(failure);
        return;
    }
    MessageBoxW(nullptr, ExceptionMessage(failure).c_str(), L"", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void SetAccessibleAnswer(AccessibleAnswer answer) { accessibleAnswer = answer; }

// ---------------------------------------------------------------- Control

Control::Control(WinControl* parent) : parent_(parent) {
    if (parent_) font_ = parent_->GetFont();
}

Control::~Control() {
    if (parent_) {
        if (parent_->hovered_ == this) parent_->hovered_ = nullptr;
        if (parent_->captured_ == this) parent_->captured_ = nullptr;
        if (parent_->focusedChild_ == this) parent_->focusedChild_ = nullptr;
        if (!hint_.empty() && !IsWindowed()) {
            if (HintHost* h = HintHostOf(this)) h->RemoveHintTool(this);
        }
    }
}

Control* Control::Root() {
    Control* c = this;
    while (c->parent_) c = c->parent_;
    return c;
}

int Control::Dpi() const {
    for (const Control* c = this; c; c = c->parent_) {
        if (c->IsWindowed()) {
            HWND h = static_cast<const WinControl*>(c)->Handle();
            if (h) return static_cast<int>(GetDpiForWindow(h));
        }
    }
    return static_cast<int>(GetDpiForSystem());
}

void Control::SetBounds(int left, int top, int width, int height) {
    RECT b{left, top, left + std::max(width, 0), top + std::max(height, 0)};
    if (EqualRect(&b, &bounds_)) return;
    bool sizeChanged = b.right - b.left != Width() || b.bottom - b.top != Height();
    Invalidate();
    bounds_ = b;
    BoundsChanged();
    if (parent_ && align_ != Align::None && sizeChanged) parent_->Realign();
}

void Control::SetAlign(Align a) {
    align_ = a;
    if (parent_) parent_->Realign();
}

RECT Control::PixelBounds() const {
    if (!parent_) {
        return {Px(bounds_.left), Px(bounds_.top), Px(bounds_.right), Px(bounds_.bottom)};
    }
    return parent_->ChildPixels(this);
}

Color Control::GetColor() const {
    return parentColor_ && parent_ ? parent_->GetColor() : color_;
}

void Control::SetColor(Color c) {
    color_ = c;
    parentColor_ = false;
    AppearanceChanged();
}

void Control::SetParentColor(bool v) {
    parentColor_ = v;
    AppearanceChanged();
}

const Font& Control::GetFont() const {
    return parentFont_ && parent_ ? parent_->GetFont() : font_;
}

void Control::SetFont(const Font& f) {
    font_ = f;
    parentFont_ = false;
    AppearanceChanged();
}

void Control::SetParentFont(bool v) {
    if (!v && parentFont_ && parent_) font_ = parent_->GetFont();
    parentFont_ = v;
    AppearanceChanged();
}

Font& Control::EditFont() {
    if (parentFont_ && parent_) font_ = parent_->GetFont();
    parentFont_ = false;
    return font_;
}

void Control::FontChanged() { AppearanceChanged(); }

void Control::SetVisible(bool v) {
    if (visible_ == v) return;
    if (!v) Invalidate();
    visible_ = v;
    VisibilityChanged();
    if (v) Invalidate();
}

bool Control::Showing() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void Control::SetEnabled(bool v) {
    if (enabled_ == v) return;
    enabled_ = v;
    EnabledChanged();
}

void Control::SetText(const std::wstring& t) {
    if (t == text_) return;
    text_ = t;
    TextChanged();
}

void Control::SetHint(const std::wstring& h) {
    hint_ = h;
    UpdateHintTool();
}

void Control::UpdateHintTool() {
    if (HintHost* h = HintHostOf(this)) h->UpdateHintTool(this);
}

void Control::Click() {
    if (OnClick) OnClick(this);
}

void Control::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

bool Control::HitTest(int x, int y) const {
    const RECT r = PixelBounds();
    return x >= 0 && y >= 0 && x < r.right - r.left && y < r.bottom - r.top;
}

void Control::MouseUp(MouseButton button, int x, int y) {
    if (button == MouseButton::Left && HitTest(x, y) && enabled_) Click();
}

void Control::Invalidate() {
    if (IsWindowed()) {
        if (HWND h = static_cast<WinControl*>(this)->Handle()) InvalidateRect(h, nullptr, FALSE);
        return;
    }
    if (parent_ && parent_->Handle() && visible_) {
        RECT r = PixelBounds();
        InvalidateRect(parent_->Handle(), &r, FALSE);
    }
}

void Control::BoundsChanged() {
    Invalidate();
    UpdateHintTool();
}

void Control::VisibilityChanged() {
    if (parent_ && align_ != Align::None) parent_->Realign();
    UpdateHintTool();
}

// ------------------------------------------------------------- WinControl

WinControl::WinControl(WinControl* parent) : Control(parent) {}

WinControl::~WinControl() {
    children_.clear();
    if (hwnd_) {
        Windows().erase(hwnd_);
        if (baseProc_) SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(baseProc_));
        DestroyWindow(hwnd_);
    }
}

WinControl* WinControl::FromHandle(HWND hwnd) {
    const auto it = Windows().find(hwnd);
    return it == Windows().end() ? nullptr : it->second;
}

Control* WinControl::Adopt(std::unique_ptr<Control> child) {
    Control* c = child.get();
    children_.push_back(std::move(child));
    if (c->align_ != Align::None) Realign();
    c->Invalidate();
    return c;
}

WinControl* WinControl::ChildWithId(UINT_PTR id) const {
    if (id == 0) return nullptr;
    for (const auto& c : children_)
        if (c->IsWindowed() && static_cast<WinControl*>(c.get())->id_ == id) return static_cast<WinControl*>(c.get());
    return nullptr;
}

void WinControl::RemoveChild(Control* child) {
    auto it = std::find_if(children_.begin(), children_.end(), [&](auto& p) { return p.get() == child; });
    if (it != children_.end()) children_.erase(it);
}

void WinControl::CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle) {
    RegisterLayerClass();
    HWND parentHwnd = Parent() ? Parent()->Handle() : nullptr;
    if (Parent()) style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (Visible()) style |= WS_VISIBLE;
    RECT r = PixelBounds();
    // Child windows get distinct ids: owner-drawn lists are found by id.
    static UINT_PTR nextId = 100;
    id_ = Parent() ? nextId++ : 0;
    hwnd_ = CreateWindowExW(exStyle, className ? className : kClassName, Text().c_str(), style, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, parentHwnd, reinterpret_cast<HMENU>(id_),
                            GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return;
    Windows()[hwnd_] = this;
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinControl::Proc)));
    if (className) baseProc_ = old;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(GetFont(), Dpi())), FALSE);
    if (!Enabled()) EnableWindow(hwnd_, FALSE);
}

LRESULT CALLBACK WinControl::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WinControl* self = FromHandle(hwnd);
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    // A window the system destroys under its control: the handle may come
    // back for another window.
    if (msg == WM_NCDESTROY) Windows().erase(hwnd);
    try {
        return self->HandleMessage(msg, wp, lp);
    } catch (...) {
        HandleFailure(std::current_exception());
        return 0;
    }
}

LRESULT WinControl::Default(UINT msg, WPARAM wp, LPARAM lp) {
    return baseProc_ ? CallWindowProcW(baseProc_, hwnd_, msg, wp, lp) : DefWindowProcW(hwnd_, msg, wp, lp);
}

HBRUSH WinControl::CtlColor(HDC dc) {
    SetBkColor(dc, ColorToRgb(GetColor()));
    SetTextColor(dc, ColorToRgb(GetFont().color));
    return BrushOf(GetColor());
}

LRESULT WinControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (lp) {
            if (WinControl* child = FromHandle(reinterpret_cast<HWND>(lp))) {
                child->Command(HIWORD(wp));
                return 0;
            }
        }
        break;
    case WM_NOTIFY:
        if (WinControl* child = FromHandle(reinterpret_cast<NMHDR*>(lp)->hwndFrom))
            return child->Notify(reinterpret_cast<NMHDR*>(lp));
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (WinControl* child = FromHandle(reinterpret_cast<HWND>(lp)))
            return reinterpret_cast<LRESULT>(child->CtlColor(reinterpret_cast<HDC>(wp)));
        break;
    case WM_DRAWITEM:
        if (WinControl* child = FromHandle(reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem)) {
            child->DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_MEASUREITEM:
        if (WinControl* child = ChildWithId(reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->CtlID)) {
            child->MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_KEYDOWN:
        if (KeyDown(wp)) return 0;
        break;
    }
    if (baseProc_) return Default(msg, wp, lp);

    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT client;
        GetClientRect(hwnd_, &client);
        // Drawn off screen first, so hover changes do not flicker.
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bmp = CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
        HGDIOBJ oldBmp = SelectObject(mem, bmp);
        PaintBackground(mem, client);
        PaintChildren(mem, ps.rcPaint);
        BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, mem, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
        SelectObject(mem, oldBmp);
        DeleteObject(bmp);
        DeleteDC(mem);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_SIZE:
        Realign();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The windowless child with the keyboard shows or loses its mark.
        if (focusedChild_) focusedChild_->Invalidate();
        break;
    case WM_CAPTURECHANGED:
        // A popup menu or another window took the mouse: no windowless child
        // holds it any longer.
        if (reinterpret_cast<HWND>(lp) != hwnd_) captured_ = nullptr;
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSELEAVE:
        MouseMessage(msg, wp, lp);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT) {
            Control* c = hovered_ ? hovered_ : this;
            if (c->Enabled() && c->Cursor()) {
                ::SetCursor(c->Cursor());
                return TRUE;
            }
        }
        break;
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
        break;
    case WM_GETOBJECT:
        // Windowless children are reachable by screen readers through this window.
        if (accessibleAnswer)
            if (LRESULT answer = accessibleAnswer(this, wp, lp)) return answer;
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void WinControl::SetHovered(Control* now) {
    if (now == hovered_) return;
    Control* before = hovered_;
    hovered_ = now;
    if (before) before->MouseLeave();
    if (now) now->MouseEnter();
}

Control* WinControl::GraphicChildAt(int x, int y) {
    POINT pt{x, y};
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Control* c = it->get();
        if (c->IsWindowed() || !c->Visible()) continue;
        RECT r = ChildPixels(c);
        if (PtInRect(&r, pt)) return c;
    }
    return nullptr;
}

void WinControl::MouseMessage(UINT msg, WPARAM wp, LPARAM lp) {
    int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    if (msg == WM_MOUSELEAVE) {
        tracking_ = false;
        if (!captured_) SetHovered(nullptr);
        return;
    }
    if (!tracking_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        tracking_ = TrackMouseEvent(&tme);
    }
    Control* target = captured_ ? captured_ : GraphicChildAt(x, y);
    if (!captured_) SetHovered(target ? target : this);

    Control* c = target ? target : this;
    if (target && !target->Enabled()) return;
    RECT r = target ? ChildPixels(target) : RECT{0, 0, 0, 0};
    int cx = x - r.left, cy = y - r.top;
    switch (msg) {
    case WM_MOUSEMOVE:
        c->MouseMove(cx, cy);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (target) {
            captured_ = target;
            SetCapture(hwnd_);
        }
        if (msg == WM_LBUTTONDBLCLK) c->DblClick();
        else c->MouseDown(MouseButton::Left, cx, cy);
        break;
    case WM_LBUTTONUP: {
        bool hadCapture = captured_ != nullptr;
        captured_ = nullptr;
        if (hadCapture) ReleaseCapture();
        c->MouseUp(MouseButton::Left, cx, cy);
        break;
    }
    case WM_RBUTTONDOWN:
        c->MouseDown(MouseButton::Right, cx, cy);
        break;
    case WM_RBUTTONUP: {
        c->MouseUp(MouseButton::Right, cx, cy);
        ContextMenu* menu = nullptr;
        for (Control* p = c; p && !menu; p = p->Parent()) menu = p->GetPopupMenu();
        if (menu) {
            POINT pt{x, y};
            ClientToScreen(hwnd_, &pt);
            menu->Popup(pt.x, pt.y);
        }
        break;
    }
    }
}

void WinControl::SetBorderWidth(int units) {
    borderWidth_ = units;
    Realign();
}

RECT WinControl::AlignRect() {
    RECT r{0, 0, Width(), Height()};
    if (hwnd_) {
        RECT c;
        GetClientRect(hwnd_, &c);
        r = {0, 0, Units(c.right), Units(c.bottom)};
    }
    InflateRect(&r, -borderWidth_, -borderWidth_);
    return r;
}

void WinControl::Realign() {
    if (aligning_) return;
    aligning_ = true;
    RECT r = AlignRect();
    // The usual order of desktop toolkits: every top, then bottom, left,
    // right, and the client control last; creation order within each group.
    for (Align kind : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
        for (auto& child : children_) {
            Control* c = child.get();
            if (c->align_ != kind || !c->visible_) continue;
            int w = c->Width(), h = c->Height();
            RECT b{};
            switch (kind) {
            case Align::Top: b = {r.left, r.top, r.right, r.top + h}; r.top += h; break;
            case Align::Bottom: b = {r.left, r.bottom - h, r.right, r.bottom}; r.bottom -= h; break;
            case Align::Left: b = {r.left, r.top, r.left + w, r.bottom}; r.left += w; break;
            case Align::Right: b = {r.right - w, r.top, r.right, r.bottom}; r.right -= w; break;
            default: b = r; break;
            }
            if (b.right < b.left) b.right = b.left;
            if (b.bottom < b.top) b.bottom = b.top;
            if (!EqualRect(&b, &c->bounds_)) {
                c->Invalidate();
                c->bounds_ = b;
                c->BoundsChanged();
            }
        }
    }
    aligning_ = false;
    Invalidate();
}

RECT WinControl::ChildPixels(const Control* child) const {
    RECT b = child->bounds_;
    OffsetRect(&b, 0, -scrollY_);
    return {Px(b.left), Px(b.top), Px(b.right), Px(b.bottom)};
}

void WinControl::SetScrollOffset(int units) {
    if (units == scrollY_) return;
    scrollY_ = units;
    for (auto& c : children_)
        if (c->IsWindowed()) c->BoundsChanged();
    Invalidate();
}

void WinControl::PaintBackground(HDC dc, const RECT& client) {
    if (GetColor() != clNone) FillRect(dc, &client, BrushOf(GetColor()));
}

void WinControl::PaintChildren(HDC dc, const RECT& clip) {
    for (auto& child : children_) {
        Control* c = child.get();
        if (c->IsWindowed() || !c->Visible()) continue;
        RECT r = ChildPixels(c), x;
        if (!IntersectRect(&x, &r, &clip)) continue;
        int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        c->Paint(dc, r);
        RestoreDC(dc, saved);
    }
}

void WinControl::BoundsChanged() {
    if (hwnd_ && Parent()) {
        RECT r = PixelBounds();
        SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    UpdateHintTool();
    Realign();
}

void WinControl::AppearanceChanged() {
    if (hwnd_) {
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(GetFont(), Dpi())), FALSE);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
    for (auto& c : children_)
        if (c->ParentColor() || c->ParentFont()) c->AppearanceChanged();
}

void WinControl::VisibilityChanged() {
    if (hwnd_) ShowWindow(hwnd_, Visible() ? SW_SHOWNA : SW_HIDE);
    Control::VisibilityChanged();
}

void WinControl::EnabledChanged() {
    if (hwnd_) EnableWindow(hwnd_, Enabled());
    Invalidate();
}

void WinControl::TextChanged() {
    if (hwnd_) SetWindowTextW(hwnd_, Text().c_str());
    Invalidate();
}

void WinControl::SetFocus() {
    if (hwnd_) ::SetFocus(hwnd_);
}

bool WinControl::Focused() const { return hwnd_ && GetFocus() == hwnd_; }

void WinControl::FocusChild(Control* child) {
    if (focusedChild_ != child) {
        if (focusedChild_) focusedChild_->Invalidate();
        focusedChild_ = child;
    }
    SetFocus();
    if (child) child->Invalidate();
}

bool Control::KeyFocused() const { return parent_ && parent_->focusedChild_ == this && parent_->Focused(); }
