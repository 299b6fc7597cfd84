#pragma once
// The window layer's base classes.
//
// Control        anything placed on a window: bounds, alignment, colour, font,
//                visibility, enabled state, text, hint, mouse events.
// WinControl     a control with a window handle; it owns its children, lays
//                them out (Align) and paints and feeds the windowless ones.
// Graphic controls are Controls without a handle: their parent paints them
// (Paint) in creation order over its background and routes the mouse to them.
//
// These classes know nothing of forms, menus, the application object or
// screen readers: those meet them through the small interfaces and hooks
// below (HintHost, ContextMenu, SetFailureHandler, SetAccessibleAnswer).
//
// Sizes are given and kept in 96-DPI units, as the windows are designed;
// they become pixels of the monitor (Px) only where the system is called.
// Mouse coordinates and paint rectangles are pixels.
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/win/color.h"
#include "ui/win/font.h"

class Control;
class WinControl;

using Event = std::function<void(Control* sender)>;

// The top-level window that keeps the tooltips of its controls (a form).
class HintHost {
public:
    virtual void UpdateHintTool(Control* c) = 0;
    virtual void RemoveHintTool(Control* c) = 0;

protected:
    ~HintHost() = default;
};

// A menu as the controls see it: shown at a right click, asked for its
// keyboard shortcuts (a popup menu).
class ContextMenu {
public:
    // Shows the menu at a screen position and runs the chosen item.
    virtual void Popup(int x, int y) = 0;
    // Runs the item with this shortcut, if any; true when one ran.
    virtual bool HandleShortcut(WPARAM key) = 0;

protected:
    ~ContextMenu() = default;
};

// Failures thrown by handlers while the system calls a window of the layer
// or a timer end here. The application object registers the handler that
// shows them; until then each is shown in a plain message box.
void SetFailureHandler(std::function<void(std::exception_ptr)> handler);
void HandleFailure(std::exception_ptr failure);

// The answer to WM_GETOBJECT of a window with windowless children
// (ui/win/accessible.h); forms register it.
using AccessibleAnswer = LRESULT (*)(WinControl* window, WPARAM wp, LPARAM lp);
void SetAccessibleAnswer(AccessibleAnswer answer);

enum class Align { None, Top, Bottom, Left, Right, Client };
enum class MouseButton { Left, Right, Middle };
// What a windowless control is to screen readers (see ui/accessible.h).
enum class AccessibleRole { None, StaticText, Link, Button, ButtonMenu, Graphic };

class Control {
public:
    // A control belongs to its parent, which destroys it; parent may be null
    // only for forms.
    explicit Control(WinControl* parent);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    WinControl* Parent() const { return parent_; }
    // The control at the top of the parent chain (a form, for every control
    // on a window).
    Control* Root();
    virtual bool IsWindowed() const { return false; }

    // Geometry in 96-DPI units, relative to the parent's client area.
    int Left() const { return bounds_.left; }
    int Top() const { return bounds_.top; }
    int Width() const { return bounds_.right - bounds_.left; }
    int Height() const { return bounds_.bottom - bounds_.top; }
    RECT Bounds() const { return bounds_; }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    Align GetAlign() const { return align_; }
    void SetAlign(Align a);

    // Pixels of the monitor the control is on.
    int Dpi() const;
    int Px(int units) const { return MulDiv(units, Dpi(), 96); }
    int Units(int pixels) const { return MulDiv(pixels, 96, Dpi()); }
    // The control's rectangle in its parent's client area, in pixels.
    RECT PixelBounds() const;
    // Whether a point in pixels relative to the control lies on it (the
    // mouse's x and y).
    bool HitTest(int x, int y) const;

    // Colour: its own, or the parent's while ParentColor is set.
    Color GetColor() const;
    void SetColor(Color c);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    const Font& GetFont() const;
    void SetFont(const Font& f);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);
    Font& EditFont();  // for changing one attribute; call FontChanged() after
    void FontChanged();

    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    // Showing: visible itself and every parent up to the form.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);

    const std::wstring& Text() const { return text_; }
    void SetText(const std::wstring& t);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& h);
    HCURSOR Cursor() const { return cursor_; }
    void SetCursor(HCURSOR c) { cursor_ = c; }
    ContextMenu* GetPopupMenu() const { return popupMenu_; }
    void SetPopupMenu(ContextMenu* m) { popupMenu_ = m; }
    // The help topic of the control; 0 leaves it to the parents' (F1).
    int HelpContext = 0;

    Event OnClick;
    Event OnDblClick;
    virtual void Click();

    void Invalidate();

    // Mouse and keys; x and y in pixels relative to the control.
    virtual void MouseDown(MouseButton button, int x, int y) {}
    virtual void MouseUp(MouseButton button, int x, int y);
    virtual void MouseMove(int x, int y) {}
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void DblClick();
    // Alt+letter typed in the form: true when this control took it as its
    // accelerator (windowless controls; windowed ones get it from the system).
    virtual bool DialogChar(wchar_t ch) { return false; }

    // Windowless controls that act (links, buttons drawn by their parent) say
    // so here: Tab reaches them and the keyboard then rests on the parent
    // window, which keeps which of its children has it (FocusChild).
    virtual bool TabStop() const { return false; }
    // Whether this windowless control has the keyboard now.
    bool KeyFocused() const;
    // A key pressed while this windowless control has the keyboard (Enter,
    // Space, the menu key); true when the control used it.
    virtual bool KeyPress(WPARAM key) { return false; }

    // Switches the control to the system's colours (the standard-colours
    // mode for low-colour displays); each class knows its own scheme.
    virtual void UseStandardColors() {}

    // Painting of windowless controls; r is the control's pixel rectangle in
    // the parent's client coordinates.
    virtual void Paint(HDC dc, const RECT& r) {}

    // Windowless controls as screen readers see them: the name is plain
    // text; a control without text is left out unless its class says more.
    virtual std::wstring AccessibleName() const { return Text(); }
    virtual AccessibleRole Role() const { return Text().empty() ? AccessibleRole::None : AccessibleRole::StaticText; }

    // Expires when the control is destroyed (see ControlRef).
    std::weak_ptr<void> Lifetime() const { return alive_; }

protected:
    // Hooks for derived classes.
    virtual void BoundsChanged();
    virtual void TextChanged() { Invalidate(); }
    virtual void AppearanceChanged() { Invalidate(); }
    virtual void VisibilityChanged();
    virtual void EnabledChanged() { Invalidate(); }
    void UpdateHintTool();
    // State changes without the side effects (for a form's own messages).
    void SetVisibleSilently(bool v) { visible_ = v; }
    void SetBoundsSilently(const RECT& r) { bounds_ = r; }
    void SetTextSilently(const std::wstring& t) { text_ = t; }
    void SetColorSilently(Color c) { color_ = c; parentColor_ = false; }
    void SetParentColorSilently(bool v) { parentColor_ = v; }

private:
    friend class WinControl;
    WinControl* parent_;
    RECT bounds_{0, 0, 0, 0};
    Align align_ = Align::None;
    Color color_ = clBtnFace;
    bool parentColor_ = false;
    Font font_;
    bool parentFont_ = true;
    bool visible_ = true;
    bool enabled_ = true;
    std::wstring text_;
    std::wstring hint_;
    HCURSOR cursor_ = nullptr;
    ContextMenu* popupMenu_ = nullptr;
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

// A reference to a control kept by another one (a strip's notebook, a
// button's strip): it reads as null once the control is destroyed, whichever
// of the two goes first.
template <typename T>
class ControlRef {
public:
    ControlRef() = default;
    ControlRef(T* control) : control_(control), alive_(control ? control->Lifetime() : std::weak_ptr<void>()) {}
    T* get() const { return alive_.expired() ? nullptr : control_; }
    T* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    T* control_ = nullptr;
    std::weak_ptr<void> alive_;
};

class WinControl : public Control {
public:
    explicit WinControl(WinControl* parent);
    ~WinControl() override;

    bool IsWindowed() const override { return true; }
    HWND Handle() const { return hwnd_; }
    static WinControl* FromHandle(HWND hwnd);

    // Creates a child control owned by this one.
    template <typename T, typename... Args>
    T* Add(Args&&... args) {
        return static_cast<T*>(Adopt(std::make_unique<T>(this, std::forward<Args>(args)...)));
    }
    const std::vector<std::unique_ptr<Control>>& Children() const { return children_; }

    // Space kept free inside the edge before children are aligned.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int units);
    // The area children are aligned in, in 96-DPI units.
    virtual RECT AlignRect();
    void Realign();

    // Vertical scroll offset of the children, in 96-DPI units.
    int ScrollOffset() const { return scrollY_; }

    void SetFocus();
    bool Focused() const;
    // Gives the keyboard to a windowless child of this window (the window
    // itself takes the system's focus); null leaves it to the window alone.
    void FocusChild(Control* child);
    Control* FocusedChild() const { return focusedChild_; }
    // A standard control of the system (an edit, a list), with behaviour of
    // its own, rather than a window of the layer.
    bool IsStandardControl() const { return baseProc_ != nullptr; }
    // Called for WM_KEYDOWN while the control has the focus; true if used.
    virtual bool KeyDown(WPARAM key) { return false; }
    // Enter pressed while the control has the focus clicks it (push buttons),
    // before the form's default button.
    virtual bool ClicksOnEnter() const { return false; }
    // Keyboard handling of a top-level window before dispatch (forms); true
    // when the message was used.
    virtual bool PreTranslate(MSG& msg) { return false; }

    // Window messages; the default handles painting, windowless children, the
    // mouse, layout and reflection of notifications to standard controls.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

    // Notifications reflected from the parent (standard controls).
    virtual void Command(WORD code) {}
    virtual HBRUSH CtlColor(HDC dc);
    virtual LRESULT Notify(NMHDR* header) { return 0; }
    virtual void DrawItem(DRAWITEMSTRUCT* item) {}
    virtual void MeasureItem(MEASUREITEMSTRUCT* item) {}

protected:
    // Creates the window. className null: the layer's own class, painted by
    // PaintBackground and the windowless children. Derived constructors call it.
    void CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle = 0);
    virtual void PaintBackground(HDC dc, const RECT& client);
    void PaintChildren(HDC dc, const RECT& clip);
    void BoundsChanged() override;
    void AppearanceChanged() override;
    void VisibilityChanged() override;
    void EnabledChanged() override;
    void TextChanged() override;
    void SetScrollOffset(int units);
    // Pixel rectangle of a child in this control's client area.
    RECT ChildPixels(const Control* child) const;
    Control* GraphicChildAt(int x, int y);

private:
    friend class Control;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    Control* Adopt(std::unique_ptr<Control> child);
    void MouseMessage(UINT msg, WPARAM wp, LPARAM lp);
    void SetHovered(Control* now);
    void RemoveChild(Control* child);
    // The windowed child created with this id (owner-drawn lists ask their
    // parent by id).
    WinControl* ChildWithId(UINT_PTR id) const;

    HWND hwnd_ = nullptr;
    UINT_PTR id_ = 0;
    WNDPROC baseProc_ = nullptr;  // standard controls: their class procedure
    std::vector<std::unique_ptr<Control>> children_;
    int borderWidth_ = 0;
    int scrollY_ = 0;
    Control* hovered_ = nullptr;  // under the mouse: a windowless child or this
    Control* captured_ = nullptr;
    Control* focusedChild_ = nullptr;  // windowless, with the keyboard while this window has the focus
    bool tracking_ = false;
    bool aligning_ = false;
};
