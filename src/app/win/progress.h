#pragma once
// The progress window shared by every long operation (TeDm_Splash): a status
// line, a bar with an estimate of the time left, the program's name and
// version. It pumps window messages while progress is reported, so every
// window stays painted, and it hides itself shortly after the reports stop:
// no caller closes it. The calls that report progress are declared in
// interact/progress.h.
#include <cstdint>
#include <string>

#include "interact/progress.h"
#include "ui/kit/win/clickablelabel.h"
#include "ui/kit/win/tevpanel.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"
#include "ui/win/timer.h"
#include "util/datetime.h"

class TeDm_Splash : public Form {
public:
    TeDm_Splash();

    // Shows the window if hidden (without taking the focus from the user's
    // window) and puts it above the program's windows.
    void Present();
    // Paints the window at once, without handling other messages.
    void Repaint();
    void UpdateProgress(const void* sender, std::int64_t pos, std::int64_t tot);
    void Timer1Timer();

    TtevPanel* tevPanel1;
    Label* VersionLabel3;
    Panel* pOpis;
    Label* VersionLabel4;
    Image* Image1;
    TtevPanel* tevPanel4;
    Label* VersionLabel1;
    Label* VersionLabel2;
    ProgressBar* ProgressBar1;
    TtevClickableLabel* lbIleJeszcze;
    TtevClickableLabel* lbCo;
    // "Przerwij (Esc)": shown while the work may be stopped.
    TtevClickableLabel* lbPrzerwij;
    // The hide timer: its first tick stops it and hides the window.
    Timer Timer1{500, true};

    DateTimeValue startTime = 0;      // of the last status; 0 until then
    std::int64_t lastPosition = 0;    // of the last ShowProgress; 0 when shown
    // When a progress report was last shown: the bar and the estimate set,
    // the window painted and the message loop run (ms of GetTickCount64); 0
    // when the next report is shown at once. Reports in between are skipped.
    std::uint64_t lastPaintTick = 0;
    static constexpr std::uint64_t kPaintIntervalMs = 100;
    bool stopRequested = false;       // the user clicked "Przerwij" or pressed Esc

protected:
    void VisibilityChanged() override;
};

// The window, once a status or the start-up screen created it; else null.
TeDm_Splash* ProgressWindow();

// The window as the display of the progress calls (interact/progress.h).
ProgressDisplay& SplashProgress();
// Creates and shows the window and paints it at once (the start-up screen).
void RepaintProgress();
