#include "backup/filelistbox.h"

#include "ui/font.h"
#include "ui/markup.h"

TFileCheckListBox::~TFileCheckListBox() {
    if (measureDc_) DeleteDC(measureDc_);
}

bool TFileCheckListBox::FitsTwoLines(const std::wstring& markup, int width) const {
    const size_t br = markup.find(L"<br>");
    if (br == std::wstring::npos) return false;
    Font bold = GetFont();
    bold.bold = true;
    if (!measureDc_) measureDc_ = CreateCompatibleDC(nullptr);
    HDC dc = measureDc_;
    HGDIOBJ old = SelectObject(dc, FontHandle(bold, Dpi()));
    auto narrower = [&](const std::wstring& line) {
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        return size.cx < width;
    };
    const bool fits = narrower(MarkupPlainText(std::wstring_view(markup).substr(0, br))) &&
                      narrower(MarkupPlainText(std::wstring_view(markup).substr(br + 4)));
    SelectObject(dc, old);
    return fits;
}

void TFileCheckListBox::MeasureItem(MEASUREITEMSTRUCT* item) {
    if (item->itemID >= static_cast<UINT>(Count())) return;
    RECT client;
    GetClientRect(Handle(), &client);
    const RECT area = MarkupRect({0, 0, client.right, 4096});
    const int width = area.right - area.left;
    const bool twoLines = FitsTwoLines(Item(static_cast<int>(item->itemID)), width);
    if (twoLines && measuredWidth_ == width) {
        item->itemHeight = static_cast<UINT>(twoLineHeight_);
        return;
    }
    TtevHtmlCheckListBox::MeasureItem(item);
    if (twoLines) {
        twoLineHeight_ = static_cast<int>(item->itemHeight);
        measuredWidth_ = width;
    }
}
