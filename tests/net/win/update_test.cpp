// The automatic update wizard against servers on the loopback address: the
// index, the file dates, the downloads with their backups, log and notice,
// the installer, and every hostile answer leaving the download folder as it
// was.
#include "net/win/teautoaktualizacja.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "loopback_servers.h"
#include "net/updateindex.h"
#include "net/win/connection.h"
#include "net/win/netside.h"
#include "net_test_util.h"
#include "support/scripted_responder.h"
#include "support/win/capture.h"
#include "support/win/pump.h"
#include "ui/win/application.h"
#include "ui/win/timer.h"
#include "util/cp1250.h"
#include "util/failure.h"
#include "util/paths.h"
#include "util/win/identity.h"
#include "util/win/registry.h"
#include "../../util/win/guards.h"

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kAdresy[] = L"Software\\TEV\\Adresy";
constexpr wchar_t kRunOnce[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

void SetString(const wchar_t* key, const std::wstring& name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key, name.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring RunOnceValue(const std::wstring& name) {
    wchar_t buffer[2048];
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunOnce, name.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return L"";
    return buffer;
}

const std::string kLastModified = "Last-Modified: Thu, 10 Dec 2026 08:00:00 GMT";

class Update : public testing::Test {
protected:
    void SetUp() override {
        RestrictNetToLoopback(true);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir = fs::path(temp) / (L"aktualizacja_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                std::to_wstring(++serial));
        fs::create_directories(dir);
        App().OnException = [this](const std::wstring& m) { failures.push_back(m); };
        previousSide = SetNetSide({});
        SetString(kAdresy, L"Serwer aktualizacji", W("http://127.0.0.1:" + std::to_string(http.Port())));
        SetString(kAdresy, L"Serwer poczty", W("smtp://127.0.0.1:" + std::to_string(smtp.Port())));
        SetString(L"Software\\TEV\\Adresy\\Serwery lustrzane", L"lustro.tev.pl",
                  W("http://127.0.0.1:" + std::to_string(mirror.Port())));
        // The last update: 1 December 2026.
        SetString(L"Software\\TEV\\Archiwin", L"Ostatnia aktualizacja", L"46357");
    }
    void TearDown() override {
        App().OnException = nullptr;
        SetNetSide(previousSide);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    // The wizard on its first page, downloading into the test's folder, with
    // short waits and no option that asks.
    std::unique_ptr<TeAutoAktualizacja> Wizard() {
        auto w = std::make_unique<TeAutoAktualizacja>(L"Archiwin");
        w->UseUpdateDir(dir.wstring() + L"\\");
        for (HttpClient* c : {&w->httpAkt, &w->HttpGet, &w->httpHead}) c->connectTimeoutMs = c->idleTimeoutMs = 2000;
        w->SmtpClient1.stepTimeoutMs = 3000;
        w->cbWykonajKopieZapasowa->SetChecked(false);
        w->cbZostawDostepny->SetChecked(false);
        w->Show();
        return w;
    }
    // "Start": the index is fetched and the file list shown.
    bool ToFileList(TeAutoAktualizacja& w) {
        w.tevDalejWsteczButton2->Click();
        RunMessagesUntil([&] { return w.PageIndex() == TeAutoAktualizacja::pgWyborPlikow || w.ModalResult() != 0; },
                         20000);
        return w.PageIndex() == TeAutoAktualizacja::pgWyborPlikow;
    }
    // On through the options to the downloads, which end before this returns.
    void Download(TeAutoAktualizacja& w) {
        w.tevDalejWsteczButton2->Click();
        w.tevDalejWsteczButton2->Click();
    }
    std::vector<std::wstring> Files() const {
        std::vector<std::wstring> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().wstring());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::wstring> Headlines(const wchar_t* kind = L"message") const {
        std::vector<std::wstring> h;
        for (const Shown& s : script.shown)
            if (s.kind == kind) h.push_back(s.headline);
        return h;
    }
    std::string Log() const { return ReadAll(dir / L"aa.rap"); }

    static inline int serial = 0;
    fs::path dir;
    ScriptedResponder script;
    std::vector<std::wstring> failures;
    NetSide previousSide;
    LoopbackHttpServer http;
    LoopbackHttpServer mirror;
    LoopbackSmtpServer smtp;
    RegistryValueGuard updateServerGuard{HKEY_CURRENT_USER, kAdresy, L"Serwer aktualizacji"};
    RegistryValueGuard mailServerGuard{HKEY_CURRENT_USER, kAdresy, L"Serwer poczty"};
    RegistryValueGuard mirrorGuard{HKEY_CURRENT_USER, L"Software\\TEV\\Adresy\\Serwery lustrzane", L"lustro.tev.pl"};
    RegistryValueGuard lastUpdateGuard{HKEY_CURRENT_USER, L"Software\\TEV\\Archiwin", L"Ostatnia aktualizacja"};
    // A RunOnce entry left behind would run at the prefix's next start.
    RegistryValueGuard runOnceSetup{HKEY_CURRENT_USER, kRunOnce, L"setup.exe"};
    RegistryValueGuard runOnceTools{HKEY_CURRENT_USER, kRunOnce, L"narzedzia.exe"};
};

std::string Index(const std::string& files) {
    return "[Informacja]\r\nInformacja=Nowa wersja programu.  Zawiera poprawki.\r\n"
           "[-serwery]\r\nLustro=lustro.tev.pl\r\nObcy=lustro.tev.pl.evil.example\r\n"
           "[Archiwin]\r\n<info>=Aktualizacje z grudnia 2026\r\n" +
           files;
}

TEST_F(Update, FullRunDownloadsBacksUpLogsAndNotifies) {
    const std::string own = WideToUtf8(FileNamePart(ExecutablePath()));
    http.Route("/a.tev", HttpResponse(200, "OK", {}, Index("pomoc.hlp=3.1;Nowa pomoc;pliki/pomoc.hlp\r\n"
                                                            "stary.txt=1;Stary plik;pliki/stary.txt\r\n"
                                                            "..\\..\\zly.exe=1;Zly;pliki/zly.exe\r\n"
                                                            "C:\\Windows\\zly.exe=1;Zly;pliki/zly.exe\r\n"
                                                            "a.tev=1;Zly;pliki/a.tev\r\n" +
                                                            own + "=9;Program;pliki/program.exe\r\n")));
    http.Route("/pliki/pomoc.hlp", HttpResponse(200, "OK", {kLastModified}, "nowa pomoc"));
    http.Route("/pliki/stary.txt", HttpResponse(200, "OK", {"Last-Modified: Tue, 01 Dec 2026 00:00:00 GMT"}, "stary"));
    WriteAll(dir / L"pomoc.hlp", "stara pomoc");

    auto w = Wizard();
    ASSERT_TRUE(ToFileList(*w)) << (failures.empty() ? L"" : failures.back());
    // The index request says who asks; the dates' requests say it otherwise.
    const std::string indexHead = http.LastRequestFor("/a.tev");
    EXPECT_NE(indexHead.find("From: Archiwin\r\n"), std::string::npos);
    EXPECT_NE(indexHead.find("User-Agent: AA2002 Archiwin\r\n"), std::string::npos);
    const std::string head = http.LastRequestFor("/pliki/pomoc.hlp");
    EXPECT_TRUE(head.starts_with("HEAD /pliki/pomoc.hlp HTTP/1.1\r\n")) << head;
    EXPECT_NE(head.find("From: Studio TEV: Automatyczna Aktualizacja 2002\r\n"), std::string::npos);
    EXPECT_NE(head.find("User-Agent: AA/2002/09\r\n"), std::string::npos);

    EXPECT_EQ(ReadAll(dir / L"a.tev").substr(0, 13), "[Informacja]\r");
    EXPECT_EQ(w->lbInfo->Text(), L"Nowa wersja programu.\r\nZawiera poprawki.");
    EXPECT_EQ(w->lbDataInfo->Text(), L"Informacja o aktualizacji: Aktualizacje z grudnia 2026");
    ASSERT_EQ(w->cbSerwer->Count(), 2);  // the update server and the one mirror under ".pl"
    EXPECT_NE(w->cbSerwer->Item(1).find(L"<z>lustro.tev.pl</z>"), std::wstring::npos);
    // Two files offered, the running program shown but not offered, the
    // hostile names left out and logged.
    ASSERT_EQ(w->lb->Count(), 3);
    EXPECT_TRUE(w->lb->Item(0).starts_with(L"<b><u>NOWE!</u></b>")) << w->lb->Item(0);
    EXPECT_TRUE(w->lb->Item(1).starts_with(L"(już było ściągnięte)")) << w->lb->Item(1);
    EXPECT_FALSE(w->lb->ItemEnabled(2));
    EXPECT_FALSE(w->lb->Checked(2));
    EXPECT_TRUE(w->lb->Checked(0) && w->lb->Checked(1));
    const std::string log = Log();
    EXPECT_NE(log.find("HEAD: Last-Modified: Thu, 10 Dec 2026 08:00:00 GMT"), std::string::npos) << log;
    EXPECT_NE(log.find("ERROR: niedozwolona nazwa pliku w spisie aktualizacji: ..\\..\\zly.exe"), std::string::npos);
    EXPECT_NE(log.find("C:\\Windows\\zly.exe"), std::string::npos);
    EXPECT_EQ(log.find("ERROR: Connection"), std::string::npos);  // the cut HEAD is no error
    // The information text was shown, its first line as the headline.
    ASSERT_FALSE(Headlines().empty());
    EXPECT_EQ(Headlines().front(), L"*Nowa wersja programu.");

    w->lb->SetChecked(1, false);
    w->cbSerwer->SetItemIndex(0);
    Download(*w);
    EXPECT_EQ(w->ModalResult(), mrOk);
    EXPECT_EQ(ReadAll(dir / L"pomoc.hlp"), "nowa pomoc");
    EXPECT_EQ(ReadAll(dir / L"Kopia pomoc.hlp"), "stara pomoc");
    EXPECT_FALSE(fs::exists(dir / L"stary.txt"));
    const std::vector<std::wstring> files = {L"Kopia pomoc.hlp", L"a.tev", L"aa.rap", L"pomoc.hlp"};
    EXPECT_EQ(Files(), files);
    EXPECT_NE(Log().find("OK: " + WideToUtf8(dir.wstring()) + "\\pomoc.hlp, 0,010 kB"), std::string::npos) << Log();
    bool reported = false;
    for (const auto& h : Headlines()) reported = reported || h.starts_with(L"*Pobrałem plik OK: ");
    EXPECT_TRUE(reported);

    // The notice: envelope, subject and the first body line.
    ASSERT_TRUE(smtp.MessageReceived());
    const auto commands = smtp.Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_TRUE(commands.front().starts_with("EHLO "));
    EXPECT_EQ(commands.back(), "QUIT");
    const auto data = smtp.RawData();
    std::string subject;
    for (const auto& l : data)
        if (l.starts_with("Subject: ")) subject = l.substr(9);
    EXPECT_EQ(DecodeEncodedWords(subject), L"Archiwin: Pobrano plik pomoc.hlp (pliki/pomoc.hlp)");
    const auto body = DecodeQuotedPrintable(std::vector<std::string>(
        std::find(data.begin(), data.end(), std::string()) + 1, data.end()));
    ASSERT_FALSE(body.empty());
    EXPECT_EQ(body.front(), "pobrano pomoc.hlp z pliki/pomoc.hlp (10)");
}

TEST_F(Update, AChosenMirrorServesTheDownloadThroughAnEncodedPath) {
    http.Route("/a.tev", HttpResponse(200, "OK", {}, Index("nowy plik.txt=1;Plik;pliki/nowy plik.txt\r\n")));
    mirror.Route("/pliki/nowy%20plik.txt", HttpResponse(200, "OK", {}, "z lustra"));
    auto w = Wizard();
    ASSERT_TRUE(ToFileList(*w));
    w->cbSerwer->SetItemIndex(1);
    Download(*w);
    EXPECT_EQ(w->ModalResult(), mrOk);
    EXPECT_EQ(ReadAll(dir / L"nowy plik.txt"), "z lustra");
    // The date comes from the update server, the file from the mirror.
    EXPECT_TRUE(http.LastRequestFor("/pliki/nowy%20plik.txt").starts_with("HEAD "));
    EXPECT_TRUE(mirror.LastRequestFor("/pliki/nowy%20plik.txt").starts_with("GET "));
}

TEST_F(Update, AFailedDownloadLeavesTheFolderAsItWas) {
    const struct {
        const char* name;
        std::string raw;
        int stallAfter;
    } cases[] = {
        {"404", HttpResponse(404, "Not Found", {}, "<html>nie ma</html>"), -1},
        {"short body", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nza malo", -1},
        {"chunked cut short", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nnowa \r\n", -1},
        {"redirect to a 404", HttpResponse(302, "Found", {"Location: /nie-ma"}, ""), -1},
        {"stalls", "HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\n0123456789", 50},
        {"empty", HttpResponse(200, "OK", {}, ""), -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        script.shown.clear();
        LoopbackHttpServer server;
        SetString(kAdresy, L"Serwer aktualizacji", W("http://127.0.0.1:" + std::to_string(server.Port())));
        server.Route("/a.tev", HttpResponse(200, "OK", {}, Index("pomoc.hlp=3;Pomoc;pliki/pomoc.hlp\r\n")));
        server.Route("/pliki/pomoc.hlp", c.raw, c.stallAfter);
        server.Route("/nie-ma", HttpResponse(404, "Not Found", {}, "x"));
        fs::remove_all(dir);
        fs::create_directories(dir);
        WriteAll(dir / L"pomoc.hlp", "stara pomoc");
        WriteAll(dir / L"aa.rap", "");
        auto w = Wizard();
        ASSERT_TRUE(ToFileList(*w));
        w->cbSerwer->SetItemIndex(0);
        const auto before = Files();
        Download(*w);
        EXPECT_EQ(w->ModalResult(), mrCancel);
        EXPECT_EQ(w->DownloadState(), TeAutoAktualizacja::Transfer::Failed);
        EXPECT_EQ(ReadAll(dir / L"pomoc.hlp"), "stara pomoc");
        EXPECT_EQ(Files(), before);
        EXPECT_EQ(w->PageIndex(), TeAutoAktualizacja::pgAktualizacja);
        ASSERT_FALSE(Headlines().empty());
        EXPECT_EQ(Headlines().back()[0], L'%') << Headlines().back();
        EXPECT_FALSE(smtp.MessageReceived());
    }
}

TEST_F(Update, AFileInUseIsNeitherBackedUpNorReplaced) {
    http.Route("/a.tev", HttpResponse(200, "OK", {}, Index("pomoc.hlp=3;Pomoc;pliki/pomoc.hlp\r\n")));
    http.Route("/pliki/pomoc.hlp", HttpResponse(200, "OK", {}, "nowa pomoc"));
    WriteAll(dir / L"pomoc.hlp", "stara pomoc");
    WriteAll(dir / L"Kopia pomoc.hlp", "starsza kopia");
    WriteAll(dir / L"aa.rap", "");
    auto w = Wizard();
    ASSERT_TRUE(ToFileList(*w));
    w->cbSerwer->SetItemIndex(0);
    const auto before = Files();
    HANDLE held = CreateFileW((dir / L"pomoc.hlp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Download(*w);
    CloseHandle(held);
    EXPECT_EQ(w->ModalResult(), mrCancel);
    EXPECT_EQ(ReadAll(dir / L"pomoc.hlp"), "stara pomoc");
    EXPECT_EQ(ReadAll(dir / L"Kopia pomoc.hlp"), "starsza kopia");
    EXPECT_EQ(Files(), before);
}

TEST_F(Update, AnInstallerOverPlainHttpIsKeptButNeverStarted) {
    http.Route("/a.tev", HttpResponse(200, "OK", {}, Index("setup.exe=2;Instalator;pliki/setup.exe\r\n"
                                                            "version.dll=1;Biblioteka;pliki/version.dll\r\n")));
    http.Route("/pliki/setup.exe", HttpResponse(200, "OK", {}, "MZ nie podpisany"));
    http.Route("/pliki/version.dll", HttpResponse(200, "OK", {}, "MZ biblioteka"));
    auto w = Wizard();
    w->rbSzybka->SetChecked(true);
    w->rbTradycyjna->SetChecked(false);
    ASSERT_TRUE(ToFileList(*w));
    w->cbSerwer->SetItemIndex(0);
    Download(*w);
    // The installer stays, unregistered and not started; the library that
    // the program would load never reaches the folder.
    EXPECT_EQ(ReadAll(dir / L"setup.exe"), "MZ nie podpisany");
    EXPECT_EQ(RunOnceValue(L"setup.exe"), L"");
    EXPECT_TRUE(Headlines(L"shell").empty());
    EXPECT_FALSE(w->EndProgram());
    EXPECT_FALSE(fs::exists(dir / L"version.dll"));
    bool told = false;
    for (const auto& h : Headlines()) told = told || h.starts_with(L"!Nie uruchomię pobranego pliku setup.exe");
    EXPECT_TRUE(told);
    EXPECT_EQ(w->ModalResult(), mrOk);  // one file came
}

class SecureUpdate : public Update {
protected:
    void SetUp() override {
        Update::SetUp();
        ASSERT_TRUE(authority.Installed());
        ASSERT_TRUE(tls.Running());
        SetString(kAdresy, L"Serwer aktualizacji", W("https://localhost:" + std::to_string(tls.Port())));
        http.Route("/a.tev", HttpResponse(200, "OK", {}, Index("setup.exe=2;Instalator;pliki/setup.exe\r\n")));
        http.Route("/pliki/setup.exe", HttpResponse(200, "OK", {kLastModified}, "MZ instalator"));
    }
    TestAuthority authority;
    TlsFront tls{"localhost", http.Port()};
};

TEST_F(SecureUpdate, TraditionalModeRegistersTheInstallerQuoted) {
    auto w = Wizard();
    w->rbSzybka->SetChecked(false);
    w->rbTradycyjna->SetChecked(true);
    ASSERT_TRUE(ToFileList(*w));
    w->cbSerwer->SetItemIndex(0);
    Download(*w);
    EXPECT_EQ(w->ModalResult(), mrOk);
    const std::wstring folder = dir.wstring() + L"\\";
    EXPECT_EQ(RunOnceValue(L"setup.exe"), L"\"" + folder + L"setup.exe\" -o \"" + folder + L"\\\"");
    EXPECT_TRUE(Headlines(L"shell").empty());
}

TEST_F(SecureUpdate, FastModeStartsTheInstallerOnlyWhenTheUserSaysSo) {
    // "Close and install?" replaces the program: a question left alone keeps
    // it and falls back to the next start of Windows.
    const struct {
        const char* name;
        bool pressYes;
        bool started;
    } cases[] = {{"Tak", true, true}, {"left alone", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        script.shown.clear();
        auto w = Wizard();
        w->rbSzybka->SetChecked(true);
        w->rbTradycyjna->SetChecked(false);
        ASSERT_TRUE(ToFileList(*w));
        w->cbSerwer->SetItemIndex(0);
        script.Answer(1);  // the report
        if (c.pressYes) script.Answer(1);
        else script.Unanswered();
        Download(*w);
        bool asked = false;
        for (const Shown& s : script.shown)
            if (s.headline == L"Czy zamknąć program i zainstalować nową aktualizację?")
                asked = s.message.destructive;
        EXPECT_TRUE(asked) << "asked as a destructive question";
        EXPECT_EQ(w->EndProgram(), c.started);
        EXPECT_EQ(w->ModalResult(), mrOk);
        if (c.started) {
            ASSERT_EQ(Headlines(L"shell").size(), 1u);
            EXPECT_EQ(Headlines(L"shell")[0], dir.wstring() + L"\\setup.exe");
            EXPECT_EQ(RunOnceValue(L"setup.exe"), L"");
        } else {
            EXPECT_TRUE(Headlines(L"shell").empty());
            EXPECT_NE(RunOnceValue(L"setup.exe"), L"");
        }
    }
}

TEST_F(Update, TheIndexMustBeThere) {
    const struct {
        const char* name;
        std::string raw;
        const wchar_t* message;
    } cases[] = {
        {"404", HttpResponse(404, "Not Found", {}, "x"), L"%Nie udało się pobrać danych!"},
        {"no information", HttpResponse(200, "OK", {}, "[Archiwin]\r\na=1;2;3\r\n"),
         L"%Nie udało się pobrać prawidłowych danych!"},
        {"no files", HttpResponse(200, "OK", {}, "[Informacja]\r\nInformacja=x\r\n"),
         L"%Nie ma żadnych plików do zaktualizowania!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        script.shown.clear();
        http.Route("/a.tev", c.raw);
        auto w = Wizard();
        EXPECT_FALSE(ToFileList(*w));
        EXPECT_EQ(w->ModalResult(), mrCancel);
        ASSERT_FALSE(Headlines().empty());
        EXPECT_EQ(Headlines().back(), c.message);
        EXPECT_NE(script.shown.back().body.find(L"Spróbuj jeszcze raz za jakiś czas lub ściągnij nasze programy"),
                  std::wstring::npos);
    }
}

TEST_F(Update, PagesRefuseToMoveOn) {
    http.Route("/a.tev", HttpResponse(200, "OK", {}, Index("pomoc.hlp=3;Pomoc;pliki/pomoc.hlp\r\n")));
    auto w = Wizard();
    ASSERT_TRUE(ToFileList(*w));
    w->lb->SetChecked(0, false);
    try {
        w->tevDalejWsteczButton2->Click();
        ADD_FAILURE() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.message(), L"%Nie wybrałeś żadnych plików!");
    }
    EXPECT_EQ(w->PageIndex(), TeAutoAktualizacja::pgWyborPlikow);

    // Other TEV programs run and the user does not want to go on.
    SetNetSide({.checkRunningSiblings = [] { return true; }});
    auto other = Wizard();
    other->tevDalejWsteczButton2->Click();
    EXPECT_EQ(other->PageIndex(), TeAutoAktualizacja::pgAktualizacja);
    EXPECT_EQ(other->ModalResult(), mrCancel);
}

TEST_F(Update, WithoutABackupTheUserMayStop) {
    http.Route("/a.tev", HttpResponse(200, "OK", {}, Index("pomoc.hlp=3;Pomoc;pliki/pomoc.hlp\r\n")));
    http.Route("/pliki/pomoc.hlp", HttpResponse(200, "OK", {}, "nowa"));
    std::vector<std::wstring> backups;
    SetNetSide({.makeLargeBackup = [&](const std::wstring& tag, const std::wstring& extra) {
        backups.push_back(tag + L"|" + extra);
        return false;
    }});
    auto w = Wizard();
    w->cbWykonajKopieZapasowa->SetChecked(true);
    ASSERT_TRUE(ToFileList(*w));
    // "Niestety, nie udało się wykonać kopii zapasowej." answered "Anuluj",
    // and left alone (going on would replace files with no way back).
    script.Answer(2);
    w->tevDalejWsteczButton2->Click();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "Anuluj" : "left alone");
        if (round == 1) {
            script.Unanswered();
            w->GoToPage(TeAutoAktualizacja::pgWyborOpcji);
        }
        try {
            w->tevDalejWsteczButton2->Click();
            ADD_FAILURE() << "no failure";
        } catch (const Failure& f) {
            EXPECT_EQ(f.message(), L"%Przerwano!");
        }
        ASSERT_FALSE(script.shown.empty());
        EXPECT_TRUE(script.shown.back().message.destructive);
        EXPECT_EQ(backups.size(), static_cast<size_t>(round + 1));
        EXPECT_EQ(backups.back(), L"Tevsoft 2002|" + ExecutablePath());
        EXPECT_FALSE(fs::exists(dir / L"pomoc.hlp"));
    }
    EXPECT_TRUE(http.LastRequestFor("/pliki/pomoc.hlp").starts_with("HEAD "));
}

TEST_F(Update, KeepsACopyOfTheProgramWithAShortcut) {
    http.Route("/a.tev", HttpResponse(200, "OK", {}, Index("pomoc.hlp=3;Pomoc;pliki/pomoc.hlp\r\n")));
    http.Route("/pliki/pomoc.hlp", HttpResponse(200, "OK", {}, "nowa"));
    std::wstring link, target;
    SetNetSide({.writeShortcut = [&](const std::wstring& l, const std::wstring& t) {
        link = l;
        target = t;
        return true;
    }});
    auto w = Wizard();
    w->cbZostawDostepny->SetChecked(true);
    ASSERT_TRUE(ToFileList(*w));
    w->cbSerwer->SetItemIndex(0);
    Download(*w);
    const std::wstring exe = ExecutablePath();
    const std::wstring copy = DirectoryPart(exe) + L"_AA_" + OwnIdentity().version + L"_" + FileNamePart(exe);
    EXPECT_EQ(target, copy);
    EXPECT_TRUE(link.ends_with(L"\\Tevsoft\\Zachowane\\" + OwnIdentity().productName +
                               L" (sprzed aktualizacji 10 grudnia 2026).lnk"))
        << link;
    EXPECT_EQ(fs::file_size(copy), fs::file_size(exe));
    fs::remove(copy);
    EXPECT_EQ(w->ModalResult(), mrOk);
}

TEST_F(Update, CloseStopsWhateverRunsAtOnce) {
    // "Zamknij" while the index, a download or the notice waits for a server
    // that has gone quiet: the wait ends at once and nothing is replaced.
    enum Stage { AtIndex, AtDownload, AtNotice };
    const struct {
        const char* name;
        Stage stage;
    } cases[] = {{"index", AtIndex}, {"download", AtDownload}, {"notice", AtNotice}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackHttpServer server;
        LoopbackSmtpServer quiet({.greet = false});
        SetString(kAdresy, L"Serwer aktualizacji", W("http://127.0.0.1:" + std::to_string(server.Port())));
        SetString(kAdresy, L"Serwer poczty", W("smtp://127.0.0.1:" + std::to_string(quiet.Port())));
        const std::string index = HttpResponse(200, "OK", {}, Index("pomoc.hlp=3;Pomoc;pliki/pomoc.hlp\r\n"));
        if (c.stage == AtIndex) server.Route("/a.tev", index.substr(0, index.size() / 2), 50);
        else server.Route("/a.tev", index);
        if (c.stage == AtDownload)
            server.Route("/pliki/pomoc.hlp", "HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\n0123456789", 50);
        else server.Route("/pliki/pomoc.hlp", HttpResponse(200, "OK", {}, "nowa pomoc"));
        fs::remove_all(dir);
        fs::create_directories(dir);
        WriteAll(dir / L"pomoc.hlp", "stara pomoc");
        auto w = Wizard();
        for (HttpClient* h : {&w->httpAkt, &w->HttpGet, &w->httpHead}) h->idleTimeoutMs = 30000;
        w->SmtpClient1.stepTimeoutMs = 30000;
        Timer closer(300, true);
        closer.OnTimer = [&] {
            closer.SetEnabled(false);
            w->bZamknij->Click();
        };
        const auto start = GetTickCount64();
        if (c.stage == AtIndex) {
            EXPECT_FALSE(ToFileList(*w));
        } else {
            closer.SetEnabled(false);
            ASSERT_TRUE(ToFileList(*w));
            w->cbSerwer->SetItemIndex(0);
            closer.SetEnabled(true);
            Download(*w);
        }
        EXPECT_LT(GetTickCount64() - start, 5000u);
        EXPECT_EQ(w->ModalResult(), mrCancel);
        EXPECT_FALSE(quiet.MessageReceived());
        if (c.stage == AtNotice) {
            EXPECT_EQ(ReadAll(dir / L"pomoc.hlp"), "nowa pomoc");  // came whole before the close
        } else {
            EXPECT_EQ(ReadAll(dir / L"pomoc.hlp"), "stara pomoc");
            EXPECT_FALSE(fs::exists(dir / L"Kopia pomoc.hlp"));
        }
        if (c.stage == AtDownload) {
            EXPECT_EQ(w->DownloadState(), TeAutoAktualizacja::Transfer::Aborted);
        }
    }
}

// The whole wizard as the menu item runs it: shown modally, driven by the
// keyboard alone, the last update recorded.
TEST_F(Update, RunAutomaticUpdateByKeyboard) {
    http.Route("/a.tev", HttpResponse(200, "OK", {}, Index("pomoc.hlp=3;Pomoc;pliki/pomoc.hlp\r\n")));
    http.Route("/pliki/pomoc.hlp", HttpResponse(200, "OK", {}, "nowa"));
    WriteSettingBool(L"AutoRejestracja", L"cbWykonajKopieZapasowa", false);
    WriteSettingBool(L"AutoRejestracja", L"cbZostawDostepny", false);
    std::vector<int> pages;
    Timer driver(100, true);
    driver.OnTimer = [&] {
        for (Form* f : App().Forms()) {
            auto* w = dynamic_cast<TeAutoAktualizacja*>(f);
            if (!w || !w->IsModal()) continue;
            w->UseUpdateDir(dir.wstring() + L"\\");
            const int page = w->PageIndex();
            if (pages.empty() || pages.back() != page) pages.push_back(page);
            if (page == TeAutoAktualizacja::pgWyborPlikow) w->cbSerwer->SetItemIndex(0);
            if (page == TeAutoAktualizacja::pgLaczenie || page == TeAutoAktualizacja::pgAktualizowanie) return;
            // Enter presses the wizard's button, as the user's key would.
            PostMessageW(GetFocus() ? GetFocus() : w->Handle(), WM_KEYDOWN, VK_RETURN, 0);
        }
    };
    EXPECT_TRUE(RunAutomaticUpdate(L"Archiwin"));
    driver.SetEnabled(false);
    EXPECT_EQ(ReadAll(dir / L"pomoc.hlp"), "nowa");
    EXPECT_EQ(ReadSetting(L"Archiwin", L"Ostatnia aktualizacja", L""), L"46366");
    EXPECT_EQ(Headlines().back(),
              L"Jak najszybciej zamknij program i uruchom Windows ponownie, aby zobaczyć efekty wprowadzonych zmian.");
    // The pages the keys fill in and the last one, in order; the connecting
    // page may come and go between two looks of the timer on a quiet machine.
    std::erase(pages, static_cast<int>(TeAutoAktualizacja::pgLaczenie));
    const std::vector<int> seen = {0, 2, 3, 4};
    EXPECT_EQ(pages, seen);
}

}  // namespace

namespace {

// Every page, as the user sees it (ARCHIWIN_SHOTS: aktualizacja_*.png).
TEST_F(Update, Pictures) {
    http.Route("/a.tev",
               HttpResponse(200, "OK", {},
                            Index(WideToCp1250Lossy(
                                L"setup.exe=2.1;Nowy instalator programu Archiwin;pliki/setup.exe\r\n"
                                L"pomoc.hlp=3.0;Pomoc z odpowiedziami na najczęstsze pytania;pliki/pomoc.hlp\r\n"
                                L"wzory.txt=grudzień 2026;Wzory pism;pliki/wzory.txt\r\n"))));
    http.Route("/pliki/pomoc.hlp", HttpResponse(200, "OK", {kLastModified}, std::string(120000, 'x')));
    http.Route("/pliki/setup.exe", HttpResponse(200, "OK", {"Last-Modified: Mon, 30 Nov 2026 08:00:00 GMT"}, "MZ"));
    WriteSettingBool(L"AutoRejestracja", L"rbSzybka", false);
    auto w = Wizard();
    w->cbWykonajKopieZapasowa->SetChecked(true);
    w->cbZostawDostepny->SetChecked(true);
    Pump();
    EXPECT_TRUE(CaptureWindowPng(w->Handle(), ShotPath(L"aktualizacja_1_witamy.png")));
    w->GoToPage(TeAutoAktualizacja::pgLaczenie);
    w->lbHttp->SetText(L"GET /a.tev HTTP/1.1");
    Pump();
    EXPECT_TRUE(CaptureWindowPng(w->Handle(), ShotPath(L"aktualizacja_2_laczenie.png")));
    w->GoToPage(TeAutoAktualizacja::pgAktualizacja);
    ASSERT_TRUE(ToFileList(*w));
    w->cbSerwer->SetItemIndex(1);
    Pump();
    EXPECT_TRUE(CaptureWindowPng(w->Handle(), ShotPath(L"aktualizacja_3_pliki.png")));
    w->cbSerwer->SetItemIndex(0);
    w->lb->SetChecked(0, false);
    w->lb->SetChecked(2, false);
    w->tevDalejWsteczButton2->Click();
    Pump();
    EXPECT_TRUE(CaptureWindowPng(w->Handle(), ShotPath(L"aktualizacja_4_opcje.png")));
    w->cbWykonajKopieZapasowa->SetChecked(false);
    w->cbZostawDostepny->SetChecked(false);
    w->tevDalejWsteczButton2->Click();
    w->GoToPage(TeAutoAktualizacja::pgAktualizowanie);
    Pump();
    EXPECT_TRUE(CaptureWindowPng(w->Handle(), ShotPath(L"aktualizacja_5_aktualizowanie.png")));
}

}  // namespace
