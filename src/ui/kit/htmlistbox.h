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
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/controls.h"
#include "ui/markup_draw.h"

using TListAnchorClick = std::function<void(Control* sender, int index, const std::wstring& anchor)>;

class THTMListbox : public ListBox {
public:
    explicit THTMListbox(WinControl* parent, DWORD extraStyle = 0);

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
    bool ScrollHorizontal = false;
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

    // The link under a point of the client area, and the item it is in.
    virtual std::pair<std::wstring, int> AnchorAtItemPoint(int x, int y);

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void MeasureItem(MEASUREITEMSTRUCT* item) override;

protected:
    // The part of an item's rectangle that its markup is drawn in.
    virtual RECT MarkupRect(const RECT& itemRect) const { return itemRect; }
    virtual int ExtraHeight() const { return 4; }
    MarkupPaint BasePaint() const;
    void UpdateHorizontalExtent();
    // Keeps per-item state of derived lists in step with the items.
    virtual void ItemInserted(int index) {}
    virtual void ItemDeleted(int index) {}

private:
    void TrackAnchor(int x, int y);
    std::vector<std::wstring> items_;
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

class TtevHtmlCheckListBox : public THTMListbox {
public:
    explicit TtevHtmlCheckListBox(WinControl* parent);

    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    int CheckedCount() const;
    Event OnClickCheck;

    void DrawItem(DRAWITEMSTRUCT* item) override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    RECT MarkupRect(const RECT& itemRect) const override;
    int ExtraHeight() const override { return 8; }
    void ItemInserted(int index) override;
    void ItemDeleted(int index) override;

private:
    int CheckWidth() const { return Px(18); }
    void Toggle(int index);
    std::vector<char> checked_;
};
