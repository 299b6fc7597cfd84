#include "ui/kit/win/numberedit.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

namespace {

// The edit: Up and Down step the number.
class NumberField : public Edit {
public:
    NumberField(WinControl* parent, TtevNumberEdit* owner) : Edit(parent), owner_(owner) {}
    bool KeyDown(WPARAM key) override {
        if (key == VK_UP || key == VK_DOWN) {
            owner_->Step(key == VK_UP ? 1 : -1);
            return true;
        }
        return false;
    }

private:
    TtevNumberEdit* owner_;
};

// The system's pair of arrows, without a buddy: each press steps the number.
class Arrows : public WinControl {
public:
    Arrows(WinControl* parent, TtevNumberEdit* owner) : WinControl(parent), owner_(owner) {
        CreateHandle(UPDOWN_CLASSW, 0);
        SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(-1000000), 1000000);
    }
    LRESULT Notify(NMHDR* header) override {
        if (header->code == UDN_DELTAPOS) {
            const auto* change = reinterpret_cast<NMUPDOWN*>(header);
            owner_->Step(change->iDelta > 0 ? 1 : -1);
            return 1;  // the control keeps no position of its own
        }
        return 0;
    }

private:
    TtevNumberEdit* owner_;
};

int TextWidth(const Control* c, const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontHandle(c->GetFont(), c->Dpi()));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return c->Units(size.cx);
}

}  // namespace

TtevNumberEdit::TtevNumberEdit(WinControl* parent, const std::wstring& before, const std::wstring& after)
    : Panel(parent) {
    SetParentColor(true);
    before_ = Add<Label>(before);
    before_->SetVerticalCenter(true);
    edit_ = Add<NumberField>(this);
    SetWindowLongPtrW(edit_->Handle(), GWL_STYLE, GetWindowLongPtrW(edit_->Handle(), GWL_STYLE) | ES_RIGHT);
    edit_->OnChange = [this](Control*) {
        if (OnChange) OnChange(this);
    };
    arrows_ = Add<Arrows>(this);
    after_ = Add<Label>(after);
    after_->SetVerticalCenter(true);
    SetBounds(0, 0, 300, 23);
}

std::wstring TtevNumberEdit::NumberText() const { return edit_->Text(); }

void TtevNumberEdit::SetNumber(int value) { edit_->SetText(std::to_wstring(std::clamp(value, minimum_, maximum_))); }

void TtevNumberEdit::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
}

std::wstring TtevNumberEdit::DisplayText() const { return before_->Text() + NumberText() + after_->Text(); }

void TtevNumberEdit::Step(int delta) {
    const long long now = std::wcstoll(NumberText().c_str(), nullptr, 10);
    SetNumber(static_cast<int>(std::clamp<long long>(now + delta, minimum_, maximum_)));
    edit_->SelectAll();
}

void TtevNumberEdit::BoundsChanged() {
    Panel::BoundsChanged();
    Layout();
}

void TtevNumberEdit::AppearanceChanged() {
    Panel::AppearanceChanged();
    Layout();
}

void TtevNumberEdit::Layout() {
    if (!before_ || !after_) return;
    const int h = Height();
    const int editHeight = std::min(h, 21);
    const int top = (h - editHeight) / 2;
    const int beforeWidth = TextWidth(before_, before_->Text());
    before_->SetBounds(0, 0, beforeWidth, h);
    edit_->SetBounds(beforeWidth, top, 40, editHeight);
    arrows_->SetBounds(beforeWidth + 40, top, 15, editHeight);
    after_->SetBounds(beforeWidth + 57, 0, std::max(Width() - beforeWidth - 57, 0), h);
}
