// A plain progress window: a status line and a bar on a small tool window.
// It stands in until the program's own start-up and progress window is in.
#include "app/progress.h"

#include <memory>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace {

struct ProgressWindow {
    Form form{BorderStyle::None};
    Label* status;
    ProgressBar* bar;

    ProgressWindow() {
        form.SetColor(Rgb(240, 242, 227));
        form.SetBounds(0, 0, 360, 64);
        form.SetBorderWidth(8);
        status = form.Add<Label>();
        status->SetHeight(24);
        status->SetAlign(Align::Top);
        bar = form.Add<ProgressBar>();
        bar->SetHeight(14);
        bar->SetAlign(Align::Top);
        bar->SetRange(0, 1000);
        bar->SetVisible(false);
        form.CenterOnScreen();
    }
};

std::unique_ptr<ProgressWindow> window;

ProgressWindow& Window() {
    if (!window) window = std::make_unique<ProgressWindow>();
    return *window;
}

void Present() {
    ProgressWindow& w = Window();
    if (!w.form.Visible()) {
        w.form.SetVisible(true);
        SetWindowPos(w.form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    UpdateWindow(w.form.Handle());
}

}  // namespace

void ShowStatus(const std::wstring& text) {
    size_t bar = text.find(L'|');
    Window().status->SetText(bar == std::wstring::npos ? text : text.substr(0, bar));
    Present();
}

void ShowProgress(int64_t position, int64_t count) {
    if (!window) return;
    Present();
    UpdateProgress(position, count);
}

void UpdateProgress(int64_t pos, int64_t tot) {
    if (!window) return;
    window->bar->SetVisible(true);
    int permille = tot > 0 ? static_cast<int>(std::min<int64_t>(pos, tot) * 1000 / tot) : 0;
    window->bar->SetPosition(permille);
    App().ProcessMessages();
}

void FinishProgress() {
    if (!window) return;
    window->bar->SetVisible(false);
    window->form.SetVisible(false);
}

void RepaintProgress() { Present(); }
