#pragma once
// The plain controls of the window layer. Owner-drawn controls of the
// program's own look are built on these and on Control/WinControl.
#include <string>
#include <vector>

#include "ui/win/control.h"

enum class Alignment { Left, Center, Right };
enum class Bevel { None, Raised, Lowered };

class Panel : public WinControl {
public:
    explicit Panel(WinControl* parent);
    void UseStandardColors() override;
    Bevel BevelOuter() const { return bevel_; }
    void SetBevelOuter(Bevel b);

protected:
    void PaintBackground(HDC dc, const RECT& client) override;
    RECT AlignRect() override;

private:
    Bevel bevel_ = Bevel::None;
};

// Text painted by its parent.
class Label : public Control {
public:
    explicit Label(WinControl* parent, const std::wstring& text = {});
    Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Alignment a);
    void SetVerticalCenter(bool v);
    void SetWordWrap(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // A single line too long for the label ends with "..." (the path's middle
    // for PathEllipsis); the whole text is then the label's hint.
    enum class Ellipsis { None, End, Path };
    void SetEllipsis(Ellipsis e);
    // Whether the text is wider than the label (a single line).
    bool Clipped() const;
    // Fits the height to the text at the current width.
    void AdjustHeight();
    void UseStandardColors() override;
    void Paint(HDC dc, const RECT& r) override;

private:
    UINT Format() const;
    Alignment alignment_ = Alignment::Left;
    bool verticalCenter_ = false;
    bool wordWrap_ = false;
    bool transparent_ = true;
    Ellipsis ellipsis_ = Ellipsis::None;
    void UpdateEllipsisHint();

protected:
    void TextChanged() override;
    void BoundsChanged() override;
    void AppearanceChanged() override;
};

// A picture painted by its parent: an icon or a bitmap.
class Image : public Control {
public:
    explicit Image(WinControl* parent);
    ~Image() override;
    // The image takes ownership of the handles.
    void SetIcon(HICON icon, int sizeUnits = 0);
    void SetBitmap(HBITMAP bitmap);
    void SetCenter(bool v);
    void SetStretch(bool v);
    HICON Icon() const { return icon_; }
    void Paint(HDC dc, const RECT& r) override;

private:
    void Clear();
    HICON icon_ = nullptr;
    int iconSize_ = 0;
    HBITMAP bitmap_ = nullptr;
    bool center_ = true;
    bool stretch_ = false;
};

class Button : public WinControl {
public:
    explicit Button(WinControl* parent, const std::wstring& caption = {});
    // Pressing the button closes its modal form with this result (0: no).
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }
    void SetDefault(bool v);
    void SetCancel(bool v);
    void Click() override;
    void Command(WORD code) override;
    bool ClicksOnEnter() const override { return true; }
    // Alt+the letter after "&" in the caption clicks the button, wherever
    // it sits among the form's panels.
    bool DialogChar(wchar_t ch) override;

private:
    int modalResult_ = 0;
};

class Edit : public WinControl {
public:
    explicit Edit(WinControl* parent, const std::wstring& text = {});
    void SetPasswordChar(wchar_t c);
    void SetReadOnly(bool v);
    void SetMaxLength(int n);
    void SelectAll();
    void UseStandardColors() override;
    Event OnChange;
    void Command(WORD code) override;
    HBRUSH CtlColor(HDC dc) override;
};

class CheckBox : public WinControl {
public:
    explicit CheckBox(WinControl* parent, const std::wstring& caption = {}, bool radio = false);
    bool Checked() const;
    void SetChecked(bool v);
    void Command(WORD code) override;
};

class RadioButton : public CheckBox {
public:
    explicit RadioButton(WinControl* parent, const std::wstring& caption = {}) : CheckBox(parent, caption, true) {}
};

class ListBox : public WinControl {
public:
    explicit ListBox(WinControl* parent, DWORD extraStyle = 0);
    void UseStandardColors() override;
    void Clear();
    int Add(const std::wstring& item);
    int Count() const;
    std::wstring Item(int index) const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    void Command(WORD code) override;
    HBRUSH CtlColor(HDC dc) override;
};

class ProgressBar : public WinControl {
public:
    explicit ProgressBar(WinControl* parent);
    void SetRange(int minimum, int maximum);
    void SetPosition(int position);
    int Position() const;
};

// A panel whose children may reach below its bottom; a vertical scroll bar
// appears when they do.
class ScrollBox : public WinControl {
public:
    explicit ScrollBox(WinControl* parent);
    void UpdateScrollRange();
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void ScrollTo(int units);
};

// A stack of pages of which one shows.
class Notebook : public WinControl {
public:
    explicit Notebook(WinControl* parent);
    Panel* AddPage(const std::wstring& name);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    Panel* Page(int index) const { return pages_.at(static_cast<size_t>(index)); }
    int PageIndex() const { return pageIndex_; }
    void SetPageIndex(int index);
    Event OnPageChanged;

private:
    std::vector<Panel*> pages_;
    int pageIndex_ = -1;
};
