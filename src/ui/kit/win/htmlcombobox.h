#pragma once
// THTMLComboBox: a drop-down list whose items are markup, drawn by the
// simpler renderer of the combo boxes (no hidden "<z>" text: what an item
// carries is shown). The combo box holds each item's plain text, for screen
// readers; the markup lives beside it.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/win/control.h"

class THTMLComboBox : public WinControl {
public:
    explicit THTMLComboBox(WinControl* parent);

    int Add(const std::wstring& markup);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    // The markup of an item; a Failure outside 0 .. Count() - 1.
    const std::wstring& Item(int index) const;
    int ItemIndex() const;
    void SetItemIndex(int index);

    Color URLColor = clWindowText;
    Color SelectionColor = clHighlight;
    Color SelectionFontColor = clHighlightText;
    HIMAGELIST Images = nullptr;
    Event OnChange;

    void Command(WORD code) override;
    void DrawItem(DRAWITEMSTRUCT* item) override;
    HBRUSH CtlColor(HDC dc) override;

protected:
    void AppearanceChanged() override;

private:
    void UpdateItemHeight();
    std::vector<std::wstring> items_;
};
