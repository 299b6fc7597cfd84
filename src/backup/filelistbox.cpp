#include "backup/filelistbox.h"

#include "ui/font.h"
#include "ui/markup.h"

TFileCheckListBox::~TFileCheckListBox() {
    if (measureDc_) DeleteDC(measureDc_);
}

int TFileCheckListBox::FittingLines(const std::wstring& markup, int width) const {
    const size_t br = markup.find(L"<br>");
    if (br == std::wstring::npos) return 0;
    const std::wstring first = MarkupPlainText(std::wstring_view(markup).substr(0, br));
    const std::wstring second = MarkupPlainText(std::wstring_view(markup).substr(br + 4));
    Font bold = GetFont();
    bold.bold = true;
    if (!measureDc_) measureDc_ = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(measureDc_, FontHandle(bold, Dpi()));
    auto narrower = [&](const std::wstring& line) {
        SIZE size{};
        GetTextExtentPoint32W(measureDc_, line.c_str(), static_cast<int>(line.size()), &size);
        return size.cx < width;
    };
    const bool fits = narrower(first) && narrower(second);
    SelectObject(measureDc_, old);
    if (!fits) return 0;
    return second.find_first_not_of(L' ') == std::wstring::npos ? 1 : 2;
}

void TFileCheckListBox::MeasureItem(MEASUREITEMSTRUCT* item) {
    if (item->itemID >= static_cast<UINT>(Count())) return;
    RECT client;
    GetClientRect(Handle(), &client);
    const RECT area = MarkupRect({0, 0, client.right, 4096});
    const int width = area.right - area.left;
    const int lines = FittingLines(Item(static_cast<int>(item->itemID)), width);
    if (measuredWidth_ != width) {
        twoLineHeight_ = 0;
        measuredWidth_ = width;
    }
    // Items without a comparison line are few; they are measured in full.
    if (lines == 2 && twoLineHeight_ > 0) {
        item->itemHeight = static_cast<UINT>(twoLineHeight_);
        return;
    }
    TtevHtmlCheckListBox::MeasureItem(item);
    if (lines == 2) twoLineHeight_ = static_cast<int>(item->itemHeight);
}
