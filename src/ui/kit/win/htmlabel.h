#pragma once
// THTMLabel: a windowless label that shows markup, used for the explanatory
// texts of most windows. Links open in the shell or go to OnAnchorClick.
// Its Text() is the plain text of the markup, for screen readers.
#include <functional>
#include <string>
#include <vector>

#include "ui/kit/win/markup_draw.h"
#include "ui/win/control.h"

enum class TVAlignment { tvaTop, tvaCenter, tvaBottom };
enum class TLabelBorder { bsNone, bsSingle };

using TAnchorClick = std::function<void(Control* sender, const std::wstring& anchor)>;

class THTMLabel : public Control {
public:
    explicit THTMLabel(WinControl* parent, const std::wstring& markup = {});

    // The markup, as lines joined without any separator.
    const std::vector<std::wstring>& HTMLText() const { return lines_; }
    void SetHTMLText(std::vector<std::wstring> lines);
    void SetHTML(const std::wstring& markup) { SetHTMLText({markup}); }
    const std::wstring& Markup() const { return markup_; }

    Color URLColor() const { return urlColor_; }
    void SetURLColor(Color c) { urlColor_ = c; Invalidate(); }
    // The height (in units) the markup takes at the label's present width.
    int FittingHeight() const;
    bool AutoSizing() const { return autoSizing_; }
    void SetAutoSizing(bool v);
    TVAlignment VAlignment() const { return vAlignment_; }
    void SetVAlignment(TVAlignment v) { vAlignment_ = v; Invalidate(); }
    void SetShadowColor(Color c) { shadowColor_ = c; Invalidate(); }
    void SetShadowOffset(int units) { shadowOffset_ = units; Invalidate(); }
    void SetHover(bool v) { hover_ = v; Invalidate(); }
    void SetHoverColor(Color c) { hoverColor_ = c; Invalidate(); }
    void SetHoverFontColor(Color c) { hoverFontColor_ = c; Invalidate(); }
    void SetAnchorHint(bool v) { anchorHint_ = v; }
    void SetImages(HIMAGELIST images) { images_ = images; Invalidate(); }
    void SetBorderStyle(TLabelBorder b) { border_ = b; AdjustSize(); Invalidate(); }
    void SetBorderWidth(int units) { margin_ = units; AdjustSize(); Invalidate(); }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v) { transparent_ = v; Invalidate(); }

    TAnchorClick OnAnchorClick;

    void Paint(HDC dc, const RECT& r) override;
    void MouseDown(MouseButton button, int x, int y) override;
    void MouseUp(MouseButton button, int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseLeave() override;

protected:
    void BoundsChanged() override;
    void AppearanceChanged() override;

private:
    MarkupPaint PaintOptions() const;
    // The text's rectangle inside a client rectangle, and its layout there.
    MarkupLayout LayoutIn(HDC dc, const RECT& client) const;
    void AdjustSize();

    std::vector<std::wstring> lines_;
    std::wstring markup_;
    Color urlColor_ = Rgb(0, 0, 255);
    bool autoSizing_ = false;
    TVAlignment vAlignment_ = TVAlignment::tvaTop;
    Color shadowColor_ = Rgb(128, 128, 128);
    int shadowOffset_ = 2;
    bool hover_ = false;
    Color hoverColor_ = clNone;
    Color hoverFontColor_ = Rgb(255, 0, 0);
    bool anchorHint_ = false;
    HIMAGELIST images_ = nullptr;
    TLabelBorder border_ = TLabelBorder::bsNone;
    int margin_ = 0;
    bool transparent_ = true;
    int hotAnchor_ = -1;
    bool downOnAnchor_ = false;
    std::wstring ownHint_;
};
