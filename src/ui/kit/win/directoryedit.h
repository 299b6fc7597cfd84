#pragma once
// TtevDirectoryEdit: a folder typed in an edit, or chosen with the button
// "..." beside it (the folder chooser of the interaction layer, starting in
// the folder typed).
#include <string>

#include "ui/win/controls.h"

class TtevDirectoryEdit : public Panel {
public:
    explicit TtevDirectoryEdit(WinControl* parent);

    std::wstring Directory() const { return edit_->Text(); }
    void SetDirectory(const std::wstring& directory) { edit_->SetText(directory); }
    Edit* EditControl() const { return edit_; }
    Button* BrowseButton() const { return browse_; }

    // The folder chooser's title.
    std::wstring DialogTitle = L"Wybierz folder";
    // After the folder changed, typed or chosen.
    Event OnChange;

    // The folder chooser; a chosen folder replaces the text.
    void Browse();

protected:
    void BoundsChanged() override;

private:
    Edit* edit_ = nullptr;
    Button* browse_ = nullptr;
};
