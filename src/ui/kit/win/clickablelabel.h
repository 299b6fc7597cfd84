#pragma once
// TtevClickableLabel: a label that works as a link or a button. A coloured
// bar that lights up under the mouse, with an optional dot on the left,
// arrows on the right, a drop-down menu, a frame, a line under it, captions
// in two parts ("short|long") or in markup; it collapses and expands a
// TtevPanel given as its FocusControl.
//
// TTevInfoLabel: the small "?" label that shows its InfoText as an
// information message.
#include <functional>
#include <string>
#include <vector>

#include "ui/win/controls.h"

class PopupMenu;
struct MenuItem;

class TtevClickableLabel : public Label {
public:
    explicit TtevClickableLabel(WinControl* parent, const std::wstring& caption = {});
    ~TtevClickableLabel() override;

    const std::wstring& Caption() const { return Text(); }
    void SetCaption(const std::wstring& caption) { SetText(caption); }
    // The caption as a screen reader should read it: markup and accelerator
    // marks removed, both parts of a "short|long" caption.
    std::wstring AccessibleText() const;
    std::wstring AccessibleName() const override { return AccessibleText(); }
    // A menu button with a drop-down menu; a link when it lights up like one
    // and acts; a button when it acts otherwise; plain text when it does not.
    AccessibleRole Role() const override;

    bool ActAsComboToEdit = false;
    bool Border = false;
    bool Hover = false;
    bool HoverUnderline = true;        // kept for window definitions; painting ignores it
    Color HoverFontColor = clBlack;    // likewise
    bool DotLeft = false;
    bool DownLine = false;
    bool ArrowRight = false;
    bool DropArrowRight = false;
    bool ArrowRightDouble = false;
    bool AutoSize = false;
    bool ShowAccelChar = true;
    Control* FocusControl = nullptr;

    // A destroyed menu leaves the label as if it never had one.
    PopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(PopupMenu* menu);
    bool HtmlAware() const { return htmlAware_; }
    void SetHtmlAware(bool v) { htmlAware_ = v; Invalidate(); }
    bool HtmlCenterText() const { return htmlCenterText_; }
    void SetHtmlCenterText(bool v) { htmlCenterText_ = v; Invalidate(); }
    int InnerBorder() const { return innerBorder_; }
    void SetInnerBorder(int units) { innerBorder_ = units; Invalidate(); }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v) { wordWrap_ = v; Label::SetWordWrap(v); }

    using MouseEvent = std::function<void(Control* sender, MouseButton button, int x, int y)>;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;
    std::function<void(Control* sender, int x, int y)> OnMouseMove;

    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }

    virtual void DoClick();
    virtual void TogglePanel();
    virtual void DropDown();
    // What a chosen item of the drop-down menu does when it has no handler.
    void MenuItemClick(const MenuItem& item);
    // Runs after the window has built its controls: a linked panel starts
    // collapsed.
    void Loaded() { TogglePanel(); }
    // Alt+letter: the caption's accelerator runs DoClick.
    bool DialogChar(wchar_t ch) override;
    // A label that acts takes the keyboard: Tab reaches it, a dotted frame
    // marks it, Enter and Space act as a click, the menu key opens its
    // drop-down menu.
    bool TabStop() const override;
    bool KeyPress(WPARAM key) override;

    void Paint(HDC dc, const RECT& r) override;
    void MouseDown(MouseButton button, int x, int y) override;
    void MouseUp(MouseButton button, int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

protected:
    // The left button was released over the label (before MouseUp's click).
    virtual void ClickNotification();
    bool pressed_ = false;

private:
    void DrawCaption(HDC dc, RECT& r, const Font& font);
    // Gives the items of the drop-down menu that DropDown handed to
    // MenuItemClick back their empty handlers.
    void ReleaseMenuItems();

    bool hot_ = false;
    PopupMenu* dropDownMenu_ = nullptr;
    bool htmlAware_ = false;
    bool htmlCenterText_ = false;
    int innerBorder_ = 0;
    bool wordWrap_ = false;
};

class TTevInfoLabel : public TtevClickableLabel {
public:
    explicit TTevInfoLabel(WinControl* parent);
    const std::vector<std::wstring>& InfoText() const { return infoText_; }
    void SetInfoText(const std::vector<std::wstring>& lines) { infoText_ = lines; }

    AccessibleRole Role() const override { return AccessibleRole::Button; }
    bool TabStop() const override { return Enabled(); }

protected:
    void ClickNotification() override;

private:
    std::vector<std::wstring> infoText_;
};

// The web address named in "Pomoc nie jest dostępna." messages.
inline constexpr wchar_t kMakerSite[] = L"www.tev.pl";
