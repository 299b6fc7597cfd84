#pragma once
// List boxes whose items are markup: a bold name, a line of details, a link
// such as "Odtwórz z tej kopii", and hidden data between "<z>" and "</z>"
// that the window reads back when the user acts on the item.
//
// THTMListbox          the markup list: items, heights, links, sorting;
// TtevHTMListbox       a single-column list with selection;
// TtevHtmlCheckListBox a check box in front of every item.
//
// The list box window holds each item's plain text (what a screen reader
// reads); the markup lives beside it, in the same order.
//
// Item heights follow the list's width. Each item is laid out once without
// a width limit when it is added; a resize lays out again only the items
// wider than the list (ItemHeights), so lists of ten thousand items resize
// at once.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/kit/itemheights.h"
#include "ui/kit/win/markup_draw.h"
#include "ui/win/controls.h"
#include "ui/win/timer.h"

using TListAnchorClick = std::function<void(Control* sender, int index, const std::wstring& anchor)>;

class THTMListbox : public ListBox {
public:
    explicit THTMListbox(WinControl* parent, DWORD extraStyle = 0);
    ~THTMListbox() override;

    // Adds an item (at its sorted place when Sorted) and returns its index.
    int Add(const std::wstring& markup);
    void Insert(int index, const std::wstring& markup);
    void Delete(int index);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    // The markup of an item; a Failure outside 0 .. Count() - 1.
    const std::wstring& Item(int index) const;
    const std::vector<std::wstring>& Items() const { return items_; }

    bool Sorted = false;  // by the whole markup, tags and hidden parts included
    Color SelectionColor = clHighlight;
    Color SelectionFontColor = clHighlightText;
    Color URLColor = Rgb(0, 0, 255);
    Color ShadowColor = Rgb(128, 128, 128);
    int ShadowOffset = 1;
    HIMAGELIST Images = nullptr;
    bool AnchorHint = false;  // the hint over a link is its href
    TListAnchorClick OnAnchorClick;
    TListAnchorClick OnAnchorEnter;
    TListAnchorClick OnAnchorExit;

    // Items are laid out without a width limit and the list scrolls
    // sideways to the widest (a scroll bar only while something is wider
    // than the list); without it items wrap at the list's width.
    bool ScrollHorizontal() const { return scrollHorizontal_; }
    void SetScrollHorizontal(bool v);
    // A line end in an item's text breaks the line as "<br>" does; without
    // Multiline it is a space, as anywhere in markup.
    bool Multiline() const { return multiline_; }
    void SetMultiline(bool v);
    // Text between "<blink>" and "</blink>" alternates with BlinkColor (the
    // item's background when clNone: the text comes and goes) every
    // BlinkInterval milliseconds; without EnableBlink it is drawn steadily.
    bool EnableBlink() const { return blinkTimer_.Enabled(); }
    void SetEnableBlink(bool v);
    Color BlinkColor = clNone;
    static constexpr unsigned BlinkInterval = 500;
    // True while blinking text shows its blink colour.
    bool BlinkPhase() const { return blinkPhase_; }

    // A sunken frame (the default), or none.
    bool Framed() const { return framed_; }
    void SetFramed(bool v);

    // The link under a point of the client area, and the item it is in.
    virtual std::pair<std::wstring, int> AnchorAtItemPoint(int x, int y);

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void MeasureItem(MEASUREITEMSTRUCT* item) override;

protected:
    // The part of an item's rectangle that its markup is drawn in.
    virtual RECT MarkupRect(const RECT& itemRect) const { return itemRect; }
    virtual int ExtraHeight() const { return 4; }
    // Whether the item's links answer clicks.
    virtual bool LinksActive(int index) const { return true; }
    MarkupPaint BasePaint() const;
    // Draws an item's markup; background is what the item was filled with.
    void DrawItemMarkup(HDC dc, int index, const RECT& rect, const MarkupPaint& paint, Color background);
    void UpdateHorizontalExtent();
    void AppearanceChanged() override;
    // The heights the list box holds, without asking it.
    const std::vector<int>& ShownHeights() const { return shown_; }
    // The area of an item in the client area; false when it is out of sight.
    // Unlike the list box's own query it never adds up the heights of the
    // items above the visible ones.
    bool VisibleItemRect(int index, RECT& rect) const;
    // While the window has turned the list's drawing off (WM_SETREDRAW),
    // changes are repainted all at once when it turns it on again.
    bool RedrawOff() const { return redrawOff_; }
    void RepaintWhenRedrawn() { repaintWhenRedrawn_ = true; }
    // Keeps per-item state of derived lists in step with the items.
    virtual void ItemInserted(int index) {}
    virtual void ItemDeleted(int index) {}

private:
    // The markup as it is laid out (line ends made breaks with Multiline).
    std::wstring LayoutText(int index) const;
    ItemExtent LayOut(int index, int width);
    // The width items are laid out in: the markup area, or unlimited with
    // ScrollHorizontal.
    int LayoutWidth() const;
    // Sets every item's height for the current width; lays out only items
    // wider than it and tells the list box only the heights that changed.
    // everything: also after the items' natural sizes changed.
    void ApplyHeights(bool everything);
    // Runs an insertion or deletion of the list box's items.
    void ChangeItems(const std::function<void()>& change);
    void Blink();
    void TrackAnchor(int x, int y);
    HDC MeasureDC();

    std::vector<std::wstring> items_;
    ItemHeights heights_;
    std::vector<int> shown_;  // as the list box holds them
    int appliedWidth_ = -1;  // the width the list box's heights were set for
    Font measuredFont_;
    int measuredDpi_ = 0;
    bool scrollHorizontal_ = false;
    bool multiline_ = false;
    bool framed_ = true;
    int changing_ = 0;
    bool resizedMeanwhile_ = false;
    bool redrawOff_ = false;
    bool repaintWhenRedrawn_ = false;
    Timer blinkTimer_{BlinkInterval};
    bool blinkPhase_ = false;
    // One memory DC for every measurement: asking the system for a screen DC
    // per item costs more than laying the item out.
    HDC measureDc_ = nullptr;
    // The words measured so far: most words of a long list (dates, sizes,
    // folders) are measured once, not once per item.
    MarkupExtentCache extents_;
    std::pair<std::wstring, int> hotAnchor_{{}, -1};
    std::wstring ownHint_;
};

class TtevHTMListbox : public THTMListbox {
public:
    // extraStyle: LBS_MULTIPLESEL or LBS_EXTENDEDSEL for lists that select several items.
    explicit TtevHTMListbox(WinControl* parent, DWORD extraStyle = 0);

    int ItemIndex() const { return ListBox::ItemIndex(); }
    void SetItemIndex(int index) { ListBox::SetItemIndex(index); }
    bool SelectionInvisible() const { return selectionInvisible_; }
    void SetSelectionInvisible(bool v);

    // A top- or bottom-aligned list fits its height to its items.
    virtual void FitHeightToItems();
    void DrawItem(DRAWITEMSTRUCT* item) override;

private:
    bool selectionInvisible_ = false;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TtevHtmlCheckListBox : public THTMListbox {
public:
    // extraStyle: LBS_MULTIPLESEL or LBS_EXTENDEDSEL for lists that select several items.
    explicit TtevHtmlCheckListBox(WinControl* parent, DWORD extraStyle = 0);

    // Checked: the state is cbChecked; setting it makes the state checked or
    // unchecked.
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    TCheckBoxState State(int index) const;
    void SetState(int index, TCheckBoxState state);
    // A disabled item draws grey; its check box and links ignore the mouse
    // and the Space key.
    bool ItemEnabled(int index) const;
    void SetItemEnabled(int index, bool enabled);
    // A click cycles unchecked → checked → grayed → unchecked; without
    // AllowGrayed it switches between checked and unchecked (a grayed box
    // set by the program becomes checked).
    bool AllowGrayed = false;
    // Items whose state is cbChecked.
    int CheckedCount() const;
    // After the user changed a check box (never after the program did).
    Event OnClickCheck;

    void DrawItem(DRAWITEMSTRUCT* item) override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    RECT MarkupRect(const RECT& itemRect) const override;
    int ExtraHeight() const override { return 8; }
    bool LinksActive(int index) const override { return ItemEnabled(index); }
    void ItemInserted(int index) override;
    void ItemDeleted(int index) override;

private:
    struct Check {
        TCheckBoxState state = TCheckBoxState::cbUnchecked;
        bool enabled = true;
    };
    int CheckWidth() const { return Px(18); }
    void Toggle(int index);
    void RepaintItem(int index);
    std::vector<Check> checks_;
};
