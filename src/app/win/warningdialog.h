#pragma once
// TeTevWarningDialog: the program's message and question dialog. A headline
// and a body in markup, icons and buttons chosen by marker characters, a
// countdown after which the dialog closes as if "OK" had been pressed (the
// unanswered message goes to the lost-message log), and an optional "do not
// show again" box remembered in the registry. A destructive question closes
// by itself only with the answer that keeps the data (interact/ask.h).
#include <string>

#include "interact/seam.h"
#include "ui/kit/win/clickablelabel.h"
#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/htmlabel.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"
#include "ui/win/timer.h"

// True when the user checked "do not show again" for the key.
bool AnsweredForGood(const std::wstring& key);

// Beside the executable; one dated line per message nobody answered.
inline constexpr wchar_t kLostMessagesLog[] = L"!Stracone komunikaty.log";

class TeTevWarningDialog : public Form {
public:
    TeTevWarningDialog();
    ~TeTevWarningDialog() override;

    // Fills the dialog from the request (caption, icons, text, buttons,
    // countdown, the optional boxes); the caller shows it modally.
    void Prepare(const MessageRequest& request);
    // The countdown's length in timer ticks (negative: none) and the ticks
    // counted so far.
    int CountdownTicks() const { return countdown_; }
    int TicksDone() const { return tick_; }
    // Stores "do not show again" for the dialog's key when the box was
    // ticked and the answer is "OK".
    void RememberAnswer(int result);

    // Handlers, named after the events they serve.
    void FormShow(Control* sender);
    void FormActivate(Control* sender);
    void Timer1Timer();
    void StopCountdown(Control* sender);

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    Panel* Panel2;
    ProgressBar* Gauge1;
    Panel* pBottom;
    Image* iInfo;
    Image* iStop;
    Image* iWykrzyknik;
    Image* iQuestion;
    ScrollBox* panelLB;
    THTMLabel* lb;
    TtevColorButton* bStoj;
    Label* lbCzas;
    CheckBox* cbDontShowAgain;
    TtevColorButton* bOK;
    TtevColorButton* bAnuluj;
    TTevInfoLabel* lbInfo;
    Timer Timer1{200, false};

private:
    // Places the controls of the bottom row that are visible.
    void LayoutBottom();
    void OtherFormActivated(Form* form);

    std::wstring key_ = L"-";
    int countdown_ = -1;
    int tick_ = 0;
    int unanswered_ = mrOk;        // the result when nobody answers
    std::wstring unansweredName_;  // its button, named for a destructive question
    std::function<void(Form*)> previousActiveFormChange_;
};

// Shows the dialog for the request and returns its modal result (1 for
// "OK"/"Tak", 2 for "Anuluj"/"Nie").
int ShowWarningDialog(const MessageRequest& request);
