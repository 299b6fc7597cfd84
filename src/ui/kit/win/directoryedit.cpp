#include "ui/kit/win/directoryedit.h"

#include <algorithm>

#include "interact/filedialogs.h"

TtevDirectoryEdit::TtevDirectoryEdit(WinControl* parent) : Panel(parent) {
    SetParentColor(true);
    edit_ = Add<Edit>();
    edit_->OnChange = [this](Control*) {
        if (OnChange) OnChange(this);
    };
    browse_ = Add<Button>(L"...");
    browse_->OnClick = [this](Control*) { Browse(); };
    SetBounds(0, 0, 300, 21);
}

void TtevDirectoryEdit::Browse() {
    const std::wstring chosen = ChooseFolder(DialogTitle, Directory());
    if (chosen.empty()) return;
    SetDirectory(chosen);
    edit_->SetFocus();
}

void TtevDirectoryEdit::BoundsChanged() {
    Panel::BoundsChanged();
    if (!edit_ || !browse_) return;
    const int buttonWidth = 25;
    edit_->SetBounds(0, 0, std::max(Width() - buttonWidth - 2, 0), Height());
    browse_->SetBounds(Width() - buttonWidth, 0, buttonWidth, Height());
}
