#pragma once
// TtevTabSetFlat: the strip of flat tabs above a wizard's or the about
// window's notebook. It highlights the current tab, underlines the tab under
// the mouse, switches one or two notebooks and shows the current page's
// description in an information label. Page names give the captions:
// " Wybór plików |Wybierz pliki..." is the tab " Wybór plików " with the
// description after the "|".
#include <string>
#include <vector>

#include "ui/win/controls.h"

enum class tTevTabStyle { Gorny, Dolny };

class TtevTabSetFlat : public WinControl {
public:
    explicit TtevTabSetFlat(WinControl* parent);

    bool FrameStyle = false;
    int StartMargin = 5;
    int EndMargin = 0;
    bool Hover = true;
    bool DownLine = true;
    Color DownLineColor = 7568430;  // RGB 46, 124, 115
    Color SelectedColor = clWhite;
    Color SelectedFontColor = clBlack;
    Color UnselectedColor = clBlack;
    Color UnselectedFontColor = clBlack;

    tTevTabStyle TevStyle() const { return style_; }
    virtual void SetTevStyle(tTevTabStyle s) { style_ = s; Invalidate(); }
    int Margin() const { return margin_; }
    virtual void SetMargin(int units) { margin_ = units; Invalidate(); }
    int TextMargin() const { return textMargin_; }
    virtual void SetTextMargin(int units) { textMargin_ = units; Invalidate(); }
    int TabIndex() const { return tabIndex_; }
    virtual void SetTabIndex(int index);

    const std::vector<std::wstring>& Items() const { return items_; }
    void SetItems(const std::vector<std::wstring>& items);
    Notebook* GetNotebook() const { return notebook_.get(); }
    void SetNotebook(Notebook* notebook);
    ControlRef<Notebook> Notebook2;
    ControlRef<Control> InfoLabel;

    // Tabs whose accumulated width stays below the strip's width.
    int VisibleTabs();
    int HotTab() const { return hot_; }

    // Width of a tab in pixels: its caption in the bold strip font without
    // "&", plus the text margins.
    virtual int TabWidth(int index);
    virtual void SelectNext();
    virtual void SelectPrevious();
    virtual void DrawTab(HDC dc, RECT r, bool selected, int index);
    // The tab's rectangle in pixels (empty when clipped away); the tab at a point.
    RECT TabRect(int index);
    int TabAt(int x, int y);

    void MouseDown(MouseButton button, int x, int y) override;
    void MouseUp(MouseButton button, int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseLeave() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    // Runs on every change of TabIndex.
    virtual void ClickNotification();
    void PaintBackground(HDC dc, const RECT& client) override;

private:
    void SetHot(int tab);

    tTevTabStyle style_ = tTevTabStyle::Gorny;
    int margin_ = 5;
    int textMargin_ = 5;
    int tabIndex_ = 0;
    int hot_ = -1;
    std::vector<std::wstring> items_{L"Strona 1", L"Strona 2", L"Strona 3"};
    ControlRef<Notebook> notebook_;
};
