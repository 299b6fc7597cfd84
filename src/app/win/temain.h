#pragma once
// TeMain: the main window. Every function of the program starts here, from a
// clickable label or an item of the popup menu.
#include <functional>
#include <memory>

#include "ui/kit/win/clickablelabel.h"
#include "ui/kit/win/htmlabel.h"
#include "ui/kit/win/tevpanel.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"
#include "ui/win/menu.h"

class TeMain : public Form {
public:
    TeMain();

    // Handlers, named after the events they serve.
    void FormCreate(Control* sender);
    void FormShow(Control* sender);
    void FormClose(Control* sender);
    void tevClickableLabel3Click(Control* sender);
    void tevClickableLabel2Click(Control* sender);
    void Opcjekopiizapasowych1Click();
    void Automatycznaaktualizacja1Click();
    void bPomocTechnicznaClick();
    void Oprogramie1Click();
    void bZamowProgramyClick();
    void Zamknij1Click();

    // Runs one of the window's commands. While it runs (its progress lets
    // the window's messages through) the other commands wait: they are
    // refused with a beep. Closing the window meanwhile asks whether to stop
    // the work; the window then closes when the command has ended, after
    // its closing message.
    void RunCommand(const std::function<void()>& command);
    bool Working() const { return working_; }

    PopupMenu PopupMenu1;
    TtevPanel* tevPanel1;
    Panel* Panel5;
    TtevPanel* tevPanel10;
    Image* Image1;
    THTMLabel* HTMLabel6;
    TtevClickableLabel* tevClickableLabel1;
    TtevPanel* tevPanel2;
    ScrollBox* ScrollBox1;
    TtevClickableLabel* tevClickableLabel4;
    TtevClickableLabel* tevClickableLabel3;
    TtevClickableLabel* tevClickableLabel2;
    TtevClickableLabel* bInne;
    TtevClickableLabel* lbData;

private:
    bool CloseQuery();
    bool working_ = false;
    bool closeWhenDone_ = false;
};

// The header label's markup: the program's name, the maker and its links.
extern const wchar_t kMainHeaderMarkup[];
