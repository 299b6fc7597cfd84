#include "net/win/wizardparts.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win/form.h"

Memo::Memo(WinControl* parent, bool readOnly) : WinControl(parent), readOnly_(readOnly) {
    SetColorSilently(clWindow);
    SetBoundsSilently({0, 0, 200, 80});
    CreateHandle(WC_EDITW,
                 WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | (readOnly ? ES_READONLY : 0),
                 WS_EX_CLIENTEDGE);
}

void Memo::AddLine(const std::wstring& line) {
    const int end = GetWindowTextLengthW(Handle());
    SendMessageW(Handle(), EM_SETSEL, end, end);
    const std::wstring text = (end > 0 ? L"\r\n" : L"") + line;
    SendMessageW(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring Memo::Value() const {
    const int n = GetWindowTextLengthW(Handle());
    std::wstring t(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(Handle(), t.data(), n + 1);
    t.resize(static_cast<size_t>(n));
    return t;
}

void Memo::SetValue(const std::wstring& text) { SetWindowTextW(Handle(), text.c_str()); }

void Memo::Command(WORD code) {
    Form* form = ::OwnerForm(this);
    if (readOnly_ || !form) return;
    if (code == EN_SETFOCUS && form->DefaultButton()) {
        savedDefault_ = form->DefaultButton();
        form->SetDefaultButton(nullptr);
    } else if (code == EN_KILLFOCUS && savedDefault_) {
        form->SetDefaultButton(savedDefault_);
        savedDefault_ = nullptr;
    }
}

GridEdit::GridEdit(WinControl* parent, TwoColumnGrid* grid, int row) : Edit(parent), grid_(grid), row_(row) {}

bool GridEdit::KeyDown(WPARAM key) {
    if (key != VK_RETURN) return false;
    if (row_ + 1 < grid_->RowCount()) grid_->FocusRow(row_ + 1);
    else grid_->PressDefault();
    return true;
}

LRESULT GridEdit::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // Enter is the grid's: the dialog manager leaves it to the edit.
    if (msg == WM_GETDLGCODE && wp == VK_RETURN) return Edit::HandleMessage(msg, wp, lp) | DLGC_WANTALLKEYS;
    return Edit::HandleMessage(msg, wp, lp);
}

void GridEdit::Command(WORD code) {
    Edit::Command(code);
    if (code == EN_KILLFOCUS) grid_->RowFocused(false);
    if (code != EN_SETFOCUS) return;
    grid_->RowFocused(true);
    // Scrolled into sight when Tab or Enter brings the focus here.
    RECT r = Bounds();
    const int view = grid_->Height();
    const int top = grid_->ScrollOffset();
    if (r.top < top) grid_->ScrollTo(r.top);
    else if (r.bottom > top + view) grid_->ScrollTo(r.bottom - view);
}

TwoColumnGrid::TwoColumnGrid(WinControl* parent, int labelWidth) : ScrollBox(parent), labelWidth_(labelWidth) {}

void TwoColumnGrid::SetRows(const std::vector<std::pair<std::wstring, std::wstring>>& rows) {
    labels_.clear();
    edits_.clear();
    constexpr int rowHeight = 23;
    int y = 2;
    for (const auto& [label, value] : rows) {
        auto* l = Add<::Label>(label + L":");
        l->SetBounds(4, y + 3, labelWidth_ - 8, 16);
        auto* e = Add<GridEdit>(this, static_cast<int>(edits_.size()));
        e->SetBounds(labelWidth_, y, Width() - labelWidth_ - 24, 21);
        e->SetText(value);
        labels_.push_back(label);
        edits_.push_back(e);
        y += rowHeight;
    }
    UpdateScrollRange();
}

std::wstring TwoColumnGrid::Value(int row) const { return EditOf(row)->Text(); }
void TwoColumnGrid::SetValue(int row, const std::wstring& value) { EditOf(row)->SetText(value); }

std::vector<std::pair<std::wstring, std::wstring>> TwoColumnGrid::Rows() const {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    for (int i = 0; i < RowCount(); ++i) rows.emplace_back(labels_[static_cast<size_t>(i)], Value(i));
    return rows;
}

void TwoColumnGrid::RowFocused(bool focused) {
    Form* form = ::OwnerForm(this);
    if (!form) return;
    if (focused && form->DefaultButton()) {
        savedDefault_ = form->DefaultButton();
        form->SetDefaultButton(nullptr);
    } else if (!focused && savedDefault_) {
        form->SetDefaultButton(savedDefault_);
        savedDefault_ = nullptr;
    }
}

void TwoColumnGrid::PressDefault() {
    Control* b = savedDefault_;
    if (!b) b = ::OwnerForm(this) ? ::OwnerForm(this)->DefaultButton() : nullptr;
    if (b && b->Showing() && b->Enabled()) b->Click();
}

void TwoColumnGrid::BoundsChanged() {
    ScrollBox::BoundsChanged();
    for (GridEdit* e : edits_) e->SetWidth(std::max(40, Width() - labelWidth_ - 24));
}

void TwoColumnGrid::FocusRow(int row) {
    if (row < 0 || row >= RowCount()) return;
    EditOf(row)->SetFocus();
    EditOf(row)->SelectAll();
}
