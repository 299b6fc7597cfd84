// The cleanup wizard on a planted tree in the sealed prefix: registered TEV
// programs and a foreign one, shortcuts, small and emergency copies, data and
// settings files, and look-alikes that no mode may touch.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "cleanup/win/shelllink.h"
#include "cleanup/win/tevorozide.h"
#include "sealed.h"
#include "support/scripted_responder.h"
#include "support/win/capture.h"
#include "support/win/pump.h"
#include "util/paths.h"
#include "util/textcase.h"
#include "util/win/files.h"
#include "util/win/identity.h"
#include "util/win/tablepaths.h"

namespace fs = std::filesystem;

namespace {

// Empties the key of recorded paths (both roots) for the test and puts back
// what was there. The machine's key lives in the 32-bit view, where the TEV
// programs keep it.
class PathsKeyGuard {
public:
    PathsKeyGuard() {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            HKEY key;
            if (RegOpenKeyExW(root, kTablePathsKey, 0, KEY_READ | KEY_WRITE | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
                continue;
            for (;;) {
                wchar_t name[512], data[2048];
                DWORD nameSize = 512, dataSize = sizeof data, type = 0;
                if (RegEnumValueW(key, 0, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                  &dataSize) != ERROR_SUCCESS)
                    break;
                saved_.push_back({root, name, std::wstring(data, dataSize / sizeof(wchar_t))});
                RegDeleteValueW(key, name);
            }
            RegCloseKey(key);
        }
    }
    ~PathsKeyGuard() {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
            RegDeleteKeyExW(root, kTablePathsKey, KEY_WOW64_32KEY, 0);
        for (const auto& v : saved_) Set(v.root, v.name, v.value.c_str());
    }
    static void Set(HKEY root, const std::wstring& name, const std::wstring& value) {
        HKEY key;
        if (RegCreateKeyExW(root, kTablePathsKey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((wcslen(value.c_str()) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

private:
    struct Value {
        HKEY root;
        std::wstring name, value;
    };
    std::vector<Value> saved_;
};

constexpr DateTimeValue kNow = 46366.5;  // the responder's noon of 10 December 2026

void SetWritten(const fs::path& path, DateTimeValue local) {
    SYSTEMTIME st{};
    // Whole days and seconds of the local time, then to UTC.
    const long long seconds = std::llround((local - 25569.0) * 86400.0);
    const long long unixTime = seconds;
    FILETIME localFt;
    ULARGE_INTEGER u;
    u.QuadPart = static_cast<ULONGLONG>(unixTime) * 10000000ULL + 116444736000000000ULL;
    localFt.dwLowDateTime = u.LowPart;
    localFt.dwHighDateTime = u.HighPart;
    FileTimeToSystemTime(&localFt, &st);
    SYSTEMTIME utc;
    TzSpecificLocalTimeToSystemTime(nullptr, &st, &utc);
    FILETIME ft;
    SystemTimeToFileTime(&utc, &ft);
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}

// A junction (a mount point) at link, leading to the folder target; false
// where the system makes none (Wine 8 refuses one).
bool MakeJunction(const fs::path& link, const fs::path& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
    const std::wstring substitute = L"\\??\\" + target.wstring(), print = target.wstring();
    const size_t names = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
    std::vector<BYTE> buffer(16 + names);
    auto put16 = [&](size_t at, size_t v) {
        buffer[at] = static_cast<BYTE>(v);
        buffer[at + 1] = static_cast<BYTE>(v >> 8);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    memcpy(buffer.data(), &tag, 4);
    put16(4, 8 + names);                                            // the data after the header
    put16(8, 0);                                                    // the substitute name
    put16(10, substitute.size() * sizeof(wchar_t));
    put16(12, (substitute.size() + 1) * sizeof(wchar_t));          // the name shown
    put16(14, print.size() * sizeof(wchar_t));
    memcpy(buffer.data() + 16, substitute.c_str(), (substitute.size() + 1) * sizeof(wchar_t));
    memcpy(buffer.data() + 16 + (substitute.size() + 1) * sizeof(wchar_t), print.c_str(),
           (print.size() + 1) * sizeof(wchar_t));
    HANDLE h = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        RemoveDirectoryW(link.c_str());
        return false;
    }
    DWORD returned = 0;
    const bool made = DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()),
                                      nullptr, 0, &returned, nullptr);
    CloseHandle(h);
    if (made && (GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    RemoveDirectoryW(link.c_str());
    return false;
}

// The tree (R = C:\testy\porządki):
//   Programy TEV\Faktury.exe (TEV, written 10 days ago), Kadry.exe (TEV, 2
//     days ago), Faktury.exe.ini, umowa.dat (beside a program: not a data file)
//   Inne\obcy.exe (no TEV company, 10 days ago), obcy.exe.ini, x.exe.ini
//   Dane\Faktury.dat (recorded table), Kontrahenci.dat (a table's name),
//     obce.dat (someone else's), Kopia 12 Faktury.dat (10 days ago),
//     Faktury.dat.akz.20261208.dat (2 days ago), a.data, baza.dat_old,
//     pętla (a junction back to R)
//   tev.ini, obok (a link to R-poza, which holds tev.ini and wyjatki.nip)
//   Pulpit\Faktury.lnk, Pulpit\Menu\Kadry.lnk, Pulpit\obcy.lnk
// and wlasny.dat in this program's own folder; this program recorded too.
class Wizard : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_SEALED();
        r_ = FreshFolder(L"porządki");
        outside_ = FreshFolder(L"porządki-poza");
        const fs::path self = ExecutablePath();
        for (const wchar_t* p : {L"Programy TEV\\Faktury.exe", L"Programy TEV\\Kadry.exe"}) {
            fs::create_directories((r_ / p).parent_path());
            ASSERT_TRUE(CopyFileW(self.c_str(), (r_ / p).c_str(), FALSE));
        }
        for (const wchar_t* p :
             {L"Programy TEV\\Faktury.exe.ini", L"Programy TEV\\umowa.dat", L"Inne\\obcy.exe.ini", L"Inne\\x.exe.ini",
              L"Dane\\Faktury.dat", L"Dane\\Kontrahenci.dat", L"Dane\\obce.dat", L"Dane\\Kopia 12 Faktury.dat",
              L"Dane\\Faktury.dat.akz.20261208.dat", L"Dane\\a.data", L"Dane\\baza.dat_old", L"tev.ini"})
            WriteFile(r_ / p, "dane");
        WriteFile(r_ / L"Inne\\obcy.exe", "MZ to nie jest program TEV");
        WriteFile(outside_ / L"tev.ini");
        WriteFile(outside_ / L"wyjatki.nip");
        own_ = fs::path(ExecutablePath()).parent_path() / L"wlasny.dat";
        WriteFile(own_);
        // Without a junction, a symbolic link: the walks meet both the same
        // way, as a folder entry that is a reparse point.
        const fs::path loop = r_ / L"Dane\\pętla";
        const bool links = (MakeJunction(loop, r_) ||
                            CreateSymbolicLinkW(loop.c_str(), r_.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) &&
                           CreateSymbolicLinkW((r_ / L"obok").c_str(), outside_.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
        ASSERT_TRUE(links) << "the loop and the link out of the tree";
        for (const wchar_t* p : {L"Programy TEV\\Faktury.exe", L"Inne\\obcy.exe", L"Dane\\Kopia 12 Faktury.dat"})
            SetWritten(r_ / p, kNow - 10);
        for (const wchar_t* p : {L"Programy TEV\\Kadry.exe", L"Dane\\Faktury.dat.akz.20261208.dat"})
            SetWritten(r_ / p, kNow - 2);

        PathsKeyGuard::Set(HKEY_LOCAL_MACHINE, L"Faktury", Path(L"Programy TEV\\Faktury.exe"));
        PathsKeyGuard::Set(HKEY_LOCAL_MACHINE, L"Kadry", Path(L"Programy TEV\\Kadry.exe"));
        PathsKeyGuard::Set(HKEY_LOCAL_MACHINE, L"Obcy", Path(L"Inne\\obcy.exe"));
        PathsKeyGuard::Set(HKEY_LOCAL_MACHINE, L"Archiwin", ExecutablePath());
        PathsKeyGuard::Set(HKEY_LOCAL_MACHINE, L"tts_Faktury", Path(L"Dane\\Faktury.dat"));

        Shortcut(L"Pulpit\\Faktury", L"Programy TEV\\Faktury.exe");
        Shortcut(L"Pulpit\\Menu\\Kadry", L"Programy TEV\\Kadry.exe");
        Shortcut(L"Pulpit\\obcy", L"Inne\\obcy.exe");
        before_ = Tree();
    }
    void TearDown() override {
        RemoveDirectoryW((r_ / L"Dane\\pętla").c_str());
        RemoveDirectoryW((r_ / L"obok").c_str());
        std::error_code ec;
        fs::remove_all(r_, ec);
        fs::remove_all(outside_, ec);
        fs::remove(own_, ec);
    }

    std::wstring Path(const std::wstring& relative) const { return (r_ / relative).wstring(); }
    void Shortcut(const std::wstring& name, const std::wstring& target) {
        fs::create_directories((r_ / name).parent_path());
        TPBShellLink link;
        link.SetFileName(Path(name));
        link.Target = Path(target);
        link.Save();
    }
    // Every file of the tree and beside it, relative to R ("..." outside it).
    std::set<std::wstring> Tree() const {
        std::set<std::wstring> files;
        for (auto it = fs::recursive_directory_iterator(r_); it != fs::recursive_directory_iterator(); ++it)
            if (it->is_regular_file()) files.insert(fs::relative(it->path(), r_).wstring());
        for (const fs::path& p : {outside_ / L"tev.ini", outside_ / L"wyjatki.nip", own_})
            if (fs::exists(p)) files.insert(p.wstring());
        return files;
    }

    std::unique_ptr<TeVorozide_MainForm> Open(CleanupMode mode) {
        auto w = std::make_unique<TeVorozide_MainForm>();
        w->places.shortcutFolders = {Path(L"Pulpit") + L"\\"};
        w->places.driveFolders = r_.wstring() + L";" + fs::path(ExecutablePath()).parent_path().wstring();
        w->Show();
        w->SetMode(mode);
        return w;
    }
    // Forward to the page; each step builds the page it reaches.
    void Forward(TeVorozide_MainForm& w, int page) {
        while (w.PageIndex() < page) {
            const int was = w.PageIndex();
            w.bDalej->Click();
            Pump();
            ASSERT_EQ(w.PageIndex(), was + 1);
        }
    }
    // Listed and checked items of a page, relative to R.
    struct PageState {
        std::set<std::wstring> listed, checked;
    };
    PageState State(TtevHtmlCheckListBox* list) const {
        PageState s;
        for (int i = 0; i < list->Count(); ++i) {
            std::wstring path = TeVorozide_MainForm::ItemPath(list, i);
            std::wstring name = StartsWithNoCase(r_.wstring() + L"\\", path) ? path.substr(r_.wstring().size() + 1)
                                                                            : path;
            s.listed.insert(name);
            if (list->Checked(i)) s.checked.insert(name);
        }
        return s;
    }

    PathsKeyGuard paths_;
    ScriptedResponder script;
    fs::path r_, outside_, own_;
    std::set<std::wstring> before_;
};

using Names = std::set<std::wstring>;

// What each page lists does not depend on the mode.
TEST_F(Wizard, PagesListTheTevFilesAndNoLookAlikes) {
    auto w = Open(CleanupMode::ChooseByHand);
    Forward(*w, TeVorozide_MainForm::pgPlikiINI);
    // A foreign program someone recorded is listed for the user to choose.
    EXPECT_EQ(State(w->lbProgramy).listed,
              (Names{L"Programy TEV\\Faktury.exe", L"Programy TEV\\Kadry.exe", L"Inne\\obcy.exe"}));
    EXPECT_EQ(State(w->lbSkroty).listed, (Names{L"Pulpit\\Faktury.lnk", L"Pulpit\\Menu\\Kadry.lnk"}));
    EXPECT_EQ(State(w->lbKopieZapasowe).listed,
              (Names{L"Dane\\Kopia 12 Faktury.dat", L"Dane\\Faktury.dat.akz.20261208.dat"}));
    EXPECT_EQ(State(w->lbBazyDanych).listed, (Names{L"Dane\\Faktury.dat", L"Dane\\Kontrahenci.dat", L"Dane\\obce.dat"}));
    EXPECT_EQ(State(w->lbPlikiINI).listed, (Names{L"tev.ini", L"Programy TEV\\Faktury.exe.ini"}));
    // Files in use carry the mark.
    for (int i = 0; i < w->lbBazyDanych->Count(); ++i) {
        const std::wstring path = TeVorozide_MainForm::ItemPath(w->lbBazyDanych, i);
        EXPECT_EQ(w->lbBazyDanych->Item(i).starts_with(L"*"), !EndsWithNoCase(L"obce.dat", path)) << path;
    }
}

// Each mode's ticks, page by page; the look-alikes are never ticked.
TEST_F(Wizard, EachModeTicksWhatItShould) {
    struct Case {
        CleanupMode mode;
        Names programs, shortcuts, copies, data, settings;
    };
    const Case cases[] = {
        {CleanupMode::ChooseByHand, {}, {}, {}, {}, {}},
        {CleanupMode::RemoveUnneeded,
         {L"Programy TEV\\Faktury.exe"},
         {L"Pulpit\\Faktury.lnk"},
         {L"Dane\\Kopia 12 Faktury.dat"},
         {},
         {L"tev.ini"}},
        {CleanupMode::RemoveEverything,
         {L"Programy TEV\\Faktury.exe", L"Programy TEV\\Kadry.exe"},
         {L"Pulpit\\Faktury.lnk", L"Pulpit\\Menu\\Kadry.lnk"},
         {L"Dane\\Kopia 12 Faktury.dat", L"Dane\\Faktury.dat.akz.20261208.dat"},
         {L"Dane\\Faktury.dat", L"Dane\\Kontrahenci.dat"},
         {L"tev.ini", L"Programy TEV\\Faktury.exe.ini"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        auto w = Open(c.mode);
        Forward(*w, TeVorozide_MainForm::pgPodsumowanie);
        EXPECT_EQ(State(w->lbProgramy).checked, c.programs);
        EXPECT_EQ(State(w->lbSkroty).checked, c.shortcuts);
        EXPECT_EQ(State(w->lbKopieZapasowe).checked, c.copies);
        EXPECT_EQ(State(w->lbBazyDanych).checked, c.data);
        EXPECT_EQ(State(w->lbPlikiINI).checked, c.settings);
        Names all;
        for (const Names* n : {&c.programs, &c.shortcuts, &c.copies, &c.data, &c.settings}) all.insert(n->begin(), n->end());
        EXPECT_EQ(State(w->lbPodsumowanie).checked, all);
        EXPECT_EQ(State(w->lbPodsumowanie).listed, all);
        EXPECT_EQ(w->cbUsunMyself->Checked(), c.mode == CleanupMode::RemoveEverything);
        w->Close();
    }
    EXPECT_EQ(Tree(), before_) << "building the pages deleted something";
}

// The second buttons: "Zaznacz wszystkie" checks a page, the rule button
// applies the page's rule, and the totals follow.
TEST_F(Wizard, SecondButtonsSelectByTheirRule) {
    auto w = Open(CleanupMode::ChooseByHand);
    Forward(*w, TeVorozide_MainForm::pgBazyDanych);
    w->bKopieWszystkie->Click();
    EXPECT_EQ(State(w->lbKopieZapasowe).checked.size(), 2u);
    EXPECT_EQ(w->lbSumaKopieZapasowe->Markup(), TotalsText(2, 8));
    w->bKopieStarszeNIz2tygodnie->Click();
    EXPECT_EQ(State(w->lbKopieZapasowe).checked, (Names{L"Dane\\Kopia 12 Faktury.dat"}));
    w->bBazyWszystkie->Click();
    EXPECT_EQ(State(w->lbBazyDanych).checked.size(), 3u);
    // Only unused files of the programs: someone else's obce.dat stays unticked.
    w->bBazyNieUzywane->Click();
    EXPECT_EQ(State(w->lbBazyDanych).checked, Names{});
}

// "Zakończ": one destructive question, then exactly the checked summary
// items go; an item unchecked on the summary stays, and so does everything
// else of the tree.
TEST_F(Wizard, DeletesExactlyWhatTheSummaryKeepsChecked) {
    auto w = Open(CleanupMode::RemoveEverything);
    Forward(*w, TeVorozide_MainForm::pgPodsumowanie);
    const int kept = TeVorozide_MainForm::IndexOfPath(w->lbPodsumowanie, Path(L"Programy TEV\\Kadry.exe"));
    ASSERT_GE(kept, 0);
    w->lbPodsumowanie->SetChecked(kept, false);
    w->lbPodsumowanieClickCheck();
    std::set<std::wstring> gone = State(w->lbPodsumowanie).checked;
    ASSERT_EQ(gone.size(), 9u);
    script.Answer(1).Answer(1);
    w->bDalej->Click();
    Pump();
    ASSERT_GE(script.shown.size(), 2u);
    EXPECT_TRUE(script.shown[0].message.destructive);
    EXPECT_TRUE(script.shown[0].headline.starts_with(L"Czy na pewno usunąć 9 plików, ")) << script.shown[0].headline;
    EXPECT_TRUE(ContainsNoCase(L"Koszu", script.shown[0].body)) << script.shown[0].body;
    EXPECT_TRUE(StartsWithNoCase(L"Usunąłem łącznie 9 plików", script.shown[1].headline)) << script.shown[1].headline;
    // The self-removal is hidden here (the program is not vorozide.exe): not asked.
    EXPECT_EQ(script.shown.size(), 2u);
    std::set<std::wstring> expected = before_;
    for (const auto& name : gone) expected.erase(name);
    EXPECT_EQ(Tree(), expected);
    EXPECT_EQ(w->ModalResult(), mrOk);
}

// Left alone, or answered "Nie", the question deletes nothing and the wizard
// stays on the summary.
TEST_F(Wizard, AnUnansweredQuestionDeletesNothing) {
    auto w = Open(CleanupMode::RemoveEverything);
    Forward(*w, TeVorozide_MainForm::pgPodsumowanie);
    script.Unanswered();
    w->bDalej->Click();
    Pump();
    script.Answer(2);
    w->bDalej->Click();
    Pump();
    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_TRUE(script.shown[0].message.destructive);
    EXPECT_EQ(Tree(), before_);
    EXPECT_EQ(w->PageIndex(), TeVorozide_MainForm::pgPodsumowanie);
    EXPECT_EQ(w->ModalResult(), mrNone);
}

// A key as the user types it into the focused window, run through the
// form's keyboard handling.
void Key(WPARAM key) {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    Pump();
}
void AltKey(wchar_t letter) {
    PostMessageW(GetFocus(), WM_SYSCHAR, letter, 1 << 29);
    Pump();
}

// The keyboard alone: the arrows choose the mode, Tab goes round without
// changing it, Enter goes forward and each page is built, Space unticks the
// item the arrows reach, Alt+W and Alt+D go back and forward; on the summary
// Enter asks first and deletes only after "Tak".
TEST_F(Wizard, TheKeyboardAloneDrivesIt) {
    auto w = Open(CleanupMode::ChooseByHand);
    Pump();
    ASSERT_EQ(GetFocus(), w->rbWywalNiektore->Handle());
    Key(VK_UP);
    EXPECT_EQ(w->Mode(), CleanupMode::RemoveUnneeded);
    Key(VK_UP);
    EXPECT_EQ(w->Mode(), CleanupMode::RemoveEverything);
    EXPECT_EQ(GetFocus(), w->rbWywalWszystko->Handle());
    // Round the window: the chosen mode, "Anuluj", "Start" and back.
    std::set<HWND> reached;
    for (int i = 0; i < 8 && (reached.empty() || GetFocus() != w->rbWywalWszystko->Handle()); ++i) {
        Key(VK_TAB);
        reached.insert(GetFocus());
        EXPECT_EQ(w->Mode(), CleanupMode::RemoveEverything);
    }
    EXPECT_TRUE(reached.count(w->bDalej->Handle()));
    EXPECT_TRUE(reached.count(w->bWstecz->Handle()));
    EXPECT_FALSE(reached.count(w->rbWywalZbedne->Handle()));
    ASSERT_EQ(GetFocus(), w->rbWywalWszystko->Handle());

    Key(VK_RETURN);
    ASSERT_EQ(w->PageIndex(), TeVorozide_MainForm::pgProgramy);
    EXPECT_EQ(GetFocus(), w->lbProgramy->Handle());
    EXPECT_EQ(State(w->lbProgramy).checked, (Names{L"Programy TEV\\Faktury.exe", L"Programy TEV\\Kadry.exe"}));
    // Down to Faktury.exe, Space unticks it; its shortcut is then no longer
    // one of a program that goes.
    const int faktury = TeVorozide_MainForm::IndexOfPath(w->lbProgramy, Path(L"Programy TEV\\Faktury.exe"));
    ASSERT_GE(faktury, 0);
    for (int i = 0; i < w->lbProgramy->Count() && w->lbProgramy->ItemIndex() != faktury; ++i) Key(VK_DOWN);
    ASSERT_EQ(w->lbProgramy->ItemIndex(), faktury);
    Key(VK_SPACE);
    EXPECT_EQ(State(w->lbProgramy).checked, (Names{L"Programy TEV\\Kadry.exe"}));
    EXPECT_EQ(w->lbSumaProgramy->Markup(), TotalsText(1, FileSizeOf(Path(L"Programy TEV\\Kadry.exe"))));
    for (int page = TeVorozide_MainForm::pgSkroty; page <= TeVorozide_MainForm::pgPodsumowanie; ++page) {
        Key(VK_RETURN);
        ASSERT_EQ(w->PageIndex(), page);
    }
    EXPECT_EQ(State(w->lbSkroty).checked, (Names{L"Pulpit\\Menu\\Kadry.lnk"}));
    // Back one page and forward again (the buttons' letters): the summary
    // is built anew and the keys go on in its list.
    AltKey(L'w');
    ASSERT_EQ(w->PageIndex(), TeVorozide_MainForm::pgPlikiINI);
    AltKey(L'd');
    ASSERT_EQ(w->PageIndex(), TeVorozide_MainForm::pgPodsumowanie);
    EXPECT_EQ(GetFocus(), w->lbPodsumowanie->Handle());
    const Names gone = State(w->lbPodsumowanie).checked;
    EXPECT_EQ(gone.size(), 8u);
    EXPECT_FALSE(gone.count(L"Programy TEV\\Faktury.exe"));

    script.Unanswered();
    Key(VK_RETURN);
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_TRUE(script.shown[0].message.destructive);
    EXPECT_EQ(Tree(), before_);
    EXPECT_EQ(w->PageIndex(), TeVorozide_MainForm::pgPodsumowanie);
    script.Answer(1).Answer(1);
    Key(VK_RETURN);
    std::set<std::wstring> expected = before_;
    for (const auto& name : gone) expected.erase(name);
    EXPECT_EQ(Tree(), expected);
    EXPECT_EQ(w->ModalResult(), mrOk);
}

// Every page at the screen's scaling (ARCHIWIN_SHOTS: porzadki_*.png).
TEST_F(Wizard, Pictures) {
    auto w = Open(CleanupMode::RemoveUnneeded);
    const wchar_t* names[] = {L"0_dzien_dobry", L"1_programy", L"2_skroty", L"3_kopie", L"4_bazy", L"5_ini",
                              L"6_podsumowanie"};
    for (int page = 0; page <= TeVorozide_MainForm::pgPodsumowanie; ++page) {
        Forward(*w, page);
        Pump();
        EXPECT_TRUE(CaptureWindowPng(w->Handle(), ShotPath(std::wstring(L"porzadki_") + names[page] + L".png")));
    }
}

}  // namespace
