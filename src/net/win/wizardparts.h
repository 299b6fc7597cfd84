#pragma once
// Controls the two wizards share: a multi-line text box (the update log, the
// contact's message) and the two-column grid of labels and values (the
// user's data, the facts about the computer), where Enter moves down.
#include <string>
#include <utility>
#include <vector>

#include "ui/win/controls.h"

class Memo : public WinControl {
public:
    // An editable memo takes Enter for a new line: the window's default
    // button waits while the memo has the focus.
    explicit Memo(WinControl* parent, bool readOnly);
    void AddLine(const std::wstring& line);
    // The text as typed (line ends CR LF).
    std::wstring Value() const;
    void SetValue(const std::wstring& text);
    void Command(WORD code) override;

private:
    bool readOnly_;
    Control* savedDefault_ = nullptr;
};

// An edit of a grid row: Enter moves to the next row, and on the last one
// presses the window's default button.
class GridEdit : public Edit {
public:
    GridEdit(WinControl* parent, class TwoColumnGrid* grid, int row);
    bool KeyDown(WPARAM key) override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Command(WORD code) override;

private:
    TwoColumnGrid* grid_;
    int row_;
};

class TwoColumnGrid : public ScrollBox {
public:
    TwoColumnGrid(WinControl* parent, int labelWidth);
    void SetRows(const std::vector<std::pair<std::wstring, std::wstring>>& rows);
    int RowCount() const { return static_cast<int>(edits_.size()); }
    std::wstring Label(int row) const { return labels_.at(static_cast<size_t>(row)); }
    std::wstring Value(int row) const;
    void SetValue(int row, const std::wstring& value);
    GridEdit* EditOf(int row) const { return edits_.at(static_cast<size_t>(row)); }
    std::vector<std::pair<std::wstring, std::wstring>> Rows() const;
    // Focus on a row's value, scrolled into sight.
    void FocusRow(int row);
    // While a row has the focus, Enter moves down rather than pressing the
    // window's default button, which is put back when the focus leaves.
    void RowFocused(bool focused);
    // Enter on the last row: the window's default button.
    void PressDefault();

protected:
    void BoundsChanged() override;

private:
    int labelWidth_;
    Control* savedDefault_ = nullptr;
    std::vector<std::wstring> labels_;
    std::vector<GridEdit*> edits_;
};
