#pragma once
// TeKontaktTechniczny: the technical contact wizard. The user picks a topic,
// checks his contact data and the facts about the program and the computer,
// writes the message, and hands it to his own mail program through Simple
// MAPI, addressed to the maker's support. The program opens no connection
// here. Printing is not offered by this build; when no mail program takes
// the message, it can be saved to a file and is put in the clipboard.
#include <string>

#include "net/contact.h"
#include "net/win/wizardparts.h"
#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/dalejwstecz.h"
#include "ui/kit/win/htmlabel.h"
#include "ui/kit/win/tabsetflat.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"
#include "util/win/identity.h"

// Opens the wizard for the product when the program is recent enough, else
// fails with the advice to download a new version first.
void OpenTechnicalContact(const std::wstring& productName);

// The user data grid: the fields of UserData, loaded when it is made and
// saved when it goes.
class TtevUserData : public TwoColumnGrid {
public:
    explicit TtevUserData(WinControl* parent);
    ~TtevUserData() override;
    UserValues Values() const;
};

// The information grid: row names and the facts, filled when the window shows.
class TtevUserInfo : public TwoColumnGrid {
public:
    explicit TtevUserInfo(WinControl* parent);
    void Fill(const TNazwaAplikacji& program);
};

class TeKontaktTechniczny : public Form {
public:
    explicit TeKontaktTechniczny(const std::wstring& productName);
    ~TeKontaktTechniczny() override;

    enum Page { pgWitamy, pgTwojeDane, pgInformacje, pgMeritum, pgOdpowiedz, pgWyslij };

    void FormShow();
    void nbPageChanged();
    void tevDalejWsteczButton1Dalej(int page, bool& allow);
    void tevDalejWsteczButton1AfterDalej(int page);
    void bPrzekazClick();

    ContactTopic Topic() const;
    // The document as it goes to the mail program.
    std::wstring MessageText() const;
    int PageIndex() const { return tsStrony->TabIndex(); }

    Label* lbStrona;
    TtevTabSetFlat* tsStrony;
    Notebook* nb;
    Panel* pDol;
    TtevDalejWsteczButton* tevDalejWsteczButton1;   // next
    TtevDalejWsteczButton* tevDalejWsteczButton2;   // back
    // "Witamy"
    THTMLabel* lbWitamy;
    RadioButton* rbTechnikalia;
    RadioButton* rbZamowienia;
    RadioButton* rbZlotaRybka;
    TtevColorButton* bCoNowego;
    // "Twoje dane", "Informacje"
    TtevUserData* sgDane;
    TtevUserInfo* sgInformacje;
    // "Meritum"
    Memo* mTresc;
    // "Odpowiedź"
    THTMLabel* lbOdpowiedz;
    // "Wyślij"
    RadioButton* rbPoczta;
    RadioButton* rbMailem;
    CheckBox* cbZalacznik;
    THTMLabel* lbWyslij;

private:
    void OfferOtherWays(const std::wstring& text, const std::wstring& subject);
    std::wstring product_;
};
