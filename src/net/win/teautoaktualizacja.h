#pragma once
// TeAutoAktualizacja: the automatic update wizard. It fetches the update
// index from the maker's update server, lets the user pick files and a
// server, keeps a copy of the running program and makes a large backup when
// asked, downloads the chosen files into the download folder, and arranges
// that a downloaded installer runs, at once or at the next start of Windows.
// After each download a short notice goes to the maker's update mailbox.
//
// Pages: "Aktualizacja", "Łączenie", "Wybór plików", "Wybór opcji",
// "Aktualizowanie". There is no way back; "Zamknij" stops whatever runs (a
// request, a download, the mail) and closes the window.
//
// A download is written to a temporary file in the download folder and
// replaces the old file only when it came whole; a failure leaves the folder
// as it was. An installer is started or registered only when it came over
// HTTPS from the configured update server or its signature verifies.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "net/endpoints.h"
#include "net/win/httpclient.h"
#include "net/win/smtpclient.h"
#include "ui/kit/win/clickablelabel.h"
#include "ui/kit/win/colorbutton.h"
#include "ui/kit/win/dalejwstecz.h"
#include "ui/kit/win/htmlabel.h"
#include "ui/kit/win/htmlcombobox.h"
#include "ui/kit/win/htmlistbox.h"
#include "ui/kit/win/tabsetflat.h"
#include "ui/win/controls.h"
#include "ui/win/form.h"
#include "util/datetime.h"

class Memo;

// Runs the wizard for the product; true when at least one file was downloaded
// (the last-update day is then recorded).
bool RunAutomaticUpdate(const std::wstring& productName);

class TeAutoAktualizacja : public Form {
public:
    explicit TeAutoAktualizacja(const std::wstring& productName);
    ~TeAutoAktualizacja() override;

    enum Page { pgAktualizacja, pgLaczenie, pgWyborPlikow, pgWyborOpcji, pgAktualizowanie };
    enum class Transfer { Idle, Running, Succeeded, Failed, Aborted };

    // Events.
    void FormCreate();
    void FormShow();
    void FormDestroy();
    // Before leaving a page (after = false) and after arriving (after = true).
    void tevDalejWsteczButton2Dalej(int page, bool after, bool& allow);
    void httpAktCommand(const std::wstring& line);
    void httpAktDocData(std::string_view block, std::int64_t announced);
    void httpAktRequestDone(const HttpResult& result);
    void HttpGetRequestDone(const HttpResult& result);
    void httpHeadHeaderData(const std::wstring& line);
    void SmtpClient1Display(const std::wstring& line);
    void bZamknijClick();
    void TevInfoLabel1Click();
    void tevColorButton1Click();

    // Steps.
    void DownloadIndex();
    void DownloadSelected();
    bool DownloadFile(const std::wstring& name, const std::wstring& path);
    bool PrepareUpdate();

    // The state the tests look at.
    const std::wstring& UpdateDir() const { return updateDir_; }
    // Another download folder (the tests' own), with a trailing backslash.
    void UseUpdateDir(const std::wstring& dir) { updateDir_ = dir; }
    int PageIndex() const { return tsStrony->TabIndex(); }
    void GoToPage(int page);
    // The pair (local name, server path) of each list item; empty for an item
    // that is shown but not offered.
    const std::vector<std::pair<std::wstring, std::wstring>>& ItemFiles() const { return itemFiles_; }
    Transfer DownloadState() const { return transfer_; }
    // True when an installer was started and the program is to end.
    bool EndProgram() const { return endProgram_; }

    // Components.
    TtevTabSetFlat* tsStrony;
    THTMLabel* lbOpis;
    Notebook* nbStrony;
    Panel* pDol;
    Label* lbHttp;
    Label* lbGet;
    TtevColorButton* bZamknij;
    TtevDalejWsteczButton* tevDalejWsteczButton2;
    // "Aktualizacja"
    THTMLabel* lbWitamy;
    THTMLabel* lbOStatniaAkt;
    TTevInfoLabel* TevInfoLabel1;
    TtevColorButton* tevColorButton1;
    // "Łączenie"
    THTMLabel* lbLaczenie;
    // "Wybór plików"
    THTMLabel* lbInfo;
    Label* lbDataInfo;
    TtevHtmlCheckListBox* lb;
    Label* lbWersja;
    Label* lbSerwer;
    THTMLComboBox* cbSerwer;
    // "Wybór opcji"
    CheckBox* cbWykonajKopieZapasowa;
    CheckBox* cbZostawDostepny;
    RadioButton* rbTradycyjna;
    RadioButton* rbSzybka;
    // "Aktualizowanie"
    Label* lbUrl;
    Label* lbNazwaPliku;
    Label* lbGot;
    ProgressBar* pbPostep;
    Memo* mInfo;

    HttpClient httpAkt;   // the index
    HttpClient HttpGet;   // the downloads
    HttpClient httpHead;  // the file dates
    SmtpClient SmtpClient1;

private:
    void Log(const std::wstring& text);
    void Fail(const std::wstring& message);
    void AfterDownload(const std::wstring& name, const std::wstring& path, const std::wstring& destination);
    void SendNotice(const std::wstring& name, const std::wstring& path);
    void ArrangeInstaller(const std::wstring& name, const std::wstring& destination);
    // The server the downloads come from: the chosen mirror, else the update server.
    ServerOrigin DownloadOrigin() const;

    std::wstring product_;
    MakerEndpoints endpoints_;
    std::wstring updateDir_;
    bool programDirWritable_ = true;
    DateTimeValue lastUpdate_ = 0;
    std::vector<std::pair<std::wstring, std::wstring>> itemFiles_;
    std::wstring information_;
    // The HEAD of the file being listed.
    DateTimeValue serverDate_ = 0;
    // The download under way.
    Transfer transfer_ = Transfer::Idle;
    std::wstring downloadName_, downloadPath_;
    std::int64_t received_ = 0;
    std::int64_t announced_ = -1;
    unsigned long long startTick_ = 0;
    DateTimeValue duration_ = 0;
    bool trusted_ = false;  // came over HTTPS from the update server, or signed
    bool closing_ = false;
    bool endProgram_ = false;
};
