#pragma once
// The push buttons of every window: drawn flat in their own colour with a
// black frame, lighter under the mouse and darker while pressed.
//
// TtevCustomColorButton  the owner-drawn button itself;
// TtevColorButton        with a Kind that sets caption, result, Default and Cancel.
// The wizard's next/back button is in dalejwstecz.h.
#include <functional>
#include <string>

#include "ui/win/controls.h"

enum class TtevButtonKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

class TtevCustomColorButton : public Button {
public:
    explicit TtevCustomColorButton(WinControl* parent, const std::wstring& caption = {});

    bool SingleLine() const { return singleLine_; }
    void SetSingleLine(bool v) { Change(singleLine_, v); }
    bool BoldWhenDefault() const { return boldWhenDefault_; }
    void SetBoldWhenDefault(bool v) { Change(boldWhenDefault_, v); }
    int InnerBorder() const { return innerBorder_; }
    void SetInnerBorder(int units) { Change(innerBorder_, units); }
    bool HtmlAware() const { return htmlAware_; }
    void SetHtmlAware(bool v) { Change(htmlAware_, v); }
    bool HtmlCenterText() const { return htmlCenterText_; }
    void SetHtmlCenterText(bool v) { Change(htmlCenterText_, v); }

    bool IsDefault() const { return default_; }
    void SetDefault(bool v);
    bool IsCancel() const { return cancel_; }
    void SetCancel(bool v);
    bool Hot() const { return hot_; }

    Event OnMouseEnter;
    Event OnMouseLeave;

    virtual void DrawButton(const DRAWITEMSTRUCT& item);
    void DrawItem(DRAWITEMSTRUCT* item) override { DrawButton(*item); }
    void Click() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    TtevButtonKind kind_ = TtevButtonKind::bkCustom;
    // An ordinary click: OnClick, and the window's result when ModalResult is set.
    void PlainClick() { Button::Click(); }
    void TextChanged() override;

private:
    template <typename T>
    void Change(T& field, T value) {
        if (field == value) return;
        field = value;
        Invalidate();
    }
    bool ShownAsDefault() const;

    bool singleLine_ = true;
    bool boldWhenDefault_ = true;
    int innerBorder_ = 2;
    bool htmlAware_ = false;
    bool htmlCenterText_ = false;
    bool default_ = false;
    bool cancel_ = false;
    bool hot_ = false;
    bool tracking_ = false;
};

class TtevColorButton : public TtevCustomColorButton {
public:
    explicit TtevColorButton(WinControl* parent, const std::wstring& caption = {});
    explicit TtevColorButton(WinControl* parent, TtevButtonKind kind);
    // A kind whose Default, Cancel or result no longer match reads as bkCustom.
    TtevButtonKind Kind();
    void SetKind(TtevButtonKind kind);
};
