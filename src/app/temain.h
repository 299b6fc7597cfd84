#pragma once
// TeMain: the main window. Every function of the program starts here, from a
// clickable label or an item of the popup menu.
#include <memory>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/menu.h"

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
    void PopupFromLabel(Control* sender);

    Panel* tevPanel1;
    Panel* Panel5;
    Panel* tevPanel10;
    Image* Image1;
    Label* HTMLabel6;
    Label* tevClickableLabel1;
    Panel* tevPanel2;
    ScrollBox* ScrollBox1;
    Label* tevClickableLabel4;
    Label* tevClickableLabel3;
    Label* tevClickableLabel2;
    Label* bInne;
    Label* lbData;
    PopupMenu PopupMenu1;
};

// The header label's markup: the program's name, the maker and its links.
extern const wchar_t kMainHeaderMarkup[];
