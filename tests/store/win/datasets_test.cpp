#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "../../util/win/guards.h"
#include "cabinet/cabfile.h"
#include "store/tevlist.h"
#include "store/win/datafiles.h"
#include "store/win/datasets.h"
#include "store/win/datasettitle.h"
#include "store_fixture.h"
#include "support/scripted_responder.h"
#include "util/failure.h"
#include "util/tables.h"
#include "util/win/files.h"
#include "util/win/registry.h"
#include "util/win/tablepaths.h"

namespace {

namespace fs = std::filesystem;

// Seven data tables (Dziennik Papirka .. Raporty Kalkulona) and one
// reference table (Kody.dat).
constexpr int kTables[] = {1, 2, 3, 4, 5, 6, 7};
constexpr int kReference = 9;

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A table's content for a firm: cards named after the firm and the table.
std::string Content(const std::wstring& firm, int table, int cards = 3) {
    tTevList list;
    for (int i = 1; i <= cards; ++i)
        list.Add(std::make_unique<TKartka>(i, firm + L" " + std::to_wstring(table) + L"/" + std::to_wstring(i)));
    return SaveListContent(list);
}

std::wstring CardName(tTevList& list, int index) { return static_cast<TKartka*>(list.Get(index))->nazwa; }

int DataTableCount() {
    int n = 0;
    for (int t = 0; t < kTableCount; ++t) n += !IsReferenceTable(t);
    return n;
}

class DataSets : public testing::Test {
protected:
    void SetUp() override {
        RegisterTestTypes();
        InstallStoreHost();
        for (int t = 0; t < kTableCount; ++t)
            for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
                guards_.push_back(std::make_unique<RegistryValueGuard>(root, kTablePathsKey, Table(t).id));
        guards_.push_back(
            std::make_unique<RegistryValueGuard>(HKEY_CURRENT_USER, SettingsKey(L"- Ścieżki"), L"Zestaw danych"));
        dir_ = fs::temp_directory_path() /
               (std::string("archiwin-sets-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / L"dane");
        for (int t = 0; t < kTableCount; ++t) {
            StoreTablePath(t, Data(t).wstring());
            SetCurrentTablePath(t, Data(t).wstring());
        }
        ShowDataSetInTitle(L"");
        SetRunningSiblingsCheck(nullptr);
    }
    void TearDown() override {
        lists_.clear();
        ShowDataSetInTitle(L"");
        for (int t = 0; t < kTableCount; ++t) SetCurrentTablePath(t, L"");
        SetRunningSiblingsCheck(nullptr);
        fs::remove_all(dir_);
    }

    fs::path Data(int table) const { return dir_ / L"dane" / Table(table).defaultFileName; }
    void WriteFirm(const std::wstring& firm) {
        for (int t : kTables) std::ofstream(Data(t), std::ios::binary | std::ios::trunc) << Content(firm, t);
    }
    tTevList& Open(int table) {
        lists_.push_back(std::make_unique<tTevList>());
        std::wstring path;
        lists_.back()->CreateForTable(table, path);
        return *lists_.back();
    }
    // A cabinet of the files, stored under their bare names.
    static void MakeCabinet(const fs::path& cabinet, const std::vector<fs::path>& files) {
        TCABFile cab;
        cab.CABFile = cabinet.wstring();
        for (const fs::path& f : files) cab.CABFileContents.Add().Name = f.wstring();
        cab.Compress();
    }
    static std::vector<std::wstring> Entries(const fs::path& cabinet) {
        TCABFile cab;
        cab.CABFile = cabinet.wstring();
        cab.ReadContents();
        std::vector<std::wstring> names;
        for (int i = 0; i < cab.CABFileContents.Count(); ++i) names.push_back(cab.CABFileContents.Items(i).Name);
        return names;
    }
    // Firm B's set, made elsewhere: the tables of kTables but the last.
    fs::path FirmBSet() {
        fs::create_directories(dir_ / L"b");
        std::vector<fs::path> files;
        for (int t : kTables) {
            if (t == 7) continue;
            files.push_back(dir_ / L"b" / Table(t).defaultFileName);
            std::ofstream(files.back(), std::ios::binary) << Content(L"B", t);
        }
        MakeCabinet(dir_ / L"B.tev", files);
        return dir_ / L"B.tev";
    }

    ScriptedResponder script_;
    fs::path dir_;
    std::vector<std::unique_ptr<RegistryValueGuard>> guards_;
    std::vector<std::unique_ptr<tTevList>> lists_;
};

TEST_F(DataSets, PackSwitchAndReopen) {
    WriteFirm(L"A");
    tTevList& invoices = Open(5);
    tTevList& journal = Open(7);
    invoices.Add(std::make_unique<TKartka>(4, L"A 5/4 nowa"));  // not saved yet

    // No set yet: the question, the file's choice, and the new set is
    // packed at once.
    const fs::path setA = dir_ / L"A.tev";
    script_.Answer(1).Answer(setA.wstring());
    ASSERT_TRUE(CloseDataSet());
    EXPECT_TRUE(script_.shown[0].message.destructive);
    EXPECT_EQ(CurrentDataSet(), setA.wstring());
    EXPECT_EQ(ReadSetting(L"- Ścieżki", L"Zestaw danych", L""), setA.wstring());
    EXPECT_EQ(Entries(setA).size(), 7u);
    EXPECT_EQ(invoices.FileSize(), static_cast<std::int32_t>(fs::file_size(Data(5))));  // saved first
    EXPECT_EQ(Bytes(Data(5)), SaveListContent(invoices));

    // Firm B's set lacks one table: the count question, then the report.
    const fs::path setB = FirmBSet();
    ScriptedResponder open;
    open.Answer(1).Answer(2);
    OpenDataSet(setB.wstring());
    ASSERT_EQ(open.shown.size(), 2u);
    EXPECT_TRUE(open.shown[0].message.destructive);
    EXPECT_EQ(open.shown[0].headline,
              L"Dotychczas używany zestaw baz zawierał 7 plików, ten który próbujesz otworzyć zawiera plików 6.");
    EXPECT_EQ(open.shown[1].body, L"- baz odczytanych: 6, brakowało " + std::to_wstring(DataTableCount() - 6) +
                                      L" baz.\r\nCzy wyświetlić szczegółowy raport?");
    for (int t : kTables)
        if (t != 7) {
            EXPECT_EQ(Bytes(Data(t)), Content(L"B", t)) << t;
        }
    // The open lists show B's data; firm A's journal is gone from the data
    // files (it lives in A's set) and its list is empty.
    EXPECT_EQ(invoices.LoadedCount(), 3);
    EXPECT_EQ(CardName(invoices, 0), L"B 5/1");
    EXPECT_EQ(journal.LoadedCount(), 0);
    EXPECT_FALSE(fs::exists(Data(7)));
    EXPECT_EQ(CurrentDataSet(), setB.wstring());

    // Back to A: B's data are packed into B's set first, the journal as an
    // empty table; then the counts agree and only the report is offered.
    ScriptedResponder change;
    change.Answer(1).Answer(setA.wstring()).Answer(2);
    ChangeDataSet();
    EXPECT_EQ(Entries(setB).size(), 7u);
    EXPECT_EQ(change.shown.size(), 3u);  // the question, the choice, the report
    EXPECT_EQ(CurrentDataSet(), setA.wstring());
    EXPECT_EQ(invoices.LoadedCount(), 4);
    EXPECT_EQ(CardName(invoices, 3), L"A 5/4 nowa");
    EXPECT_EQ(journal.LoadedCount(), 3);
    EXPECT_EQ(Bytes(Data(7)), Content(L"A", 7));

    // A set of the same count opens without the count question.
    ScriptedResponder same;
    same.Answer(2);
    OpenDataSet(setA.wstring());
    ASSERT_EQ(same.shown.size(), 1u);
    EXPECT_EQ(same.shown[0].headline, L"Odczytano zestaw danych " + setA.wstring());
}

TEST_F(DataSets, RefusedSetsChangeNothing) {
    WriteFirm(L"A");
    tTevList& invoices = Open(5);
    std::vector<fs::path> five;
    for (int t : {1, 2, 3, 4, 5}) five.push_back(Data(t));
    MakeCabinet(dir_ / L"piec.tev", five);
    OpenDataSet((dir_ / L"piec.tev").wstring());
    ASSERT_EQ(script_.shown.size(), 1u);
    EXPECT_EQ(script_.shown[0].headline, L"%" + (dir_ / L"piec.tev").wstring());
    EXPECT_EQ(script_.shown[0].body, L"Ten zestaw jest pusty lub o złym formacie!");

    const fs::path setB = FirmBSet();
    ScriptedResponder declined;
    declined.Answer(2);
    OpenDataSet(setB.wstring());
    ASSERT_EQ(declined.shown.size(), 2u);
    EXPECT_EQ(declined.shown[1].headline, L"%Przerwano zmianę zestawu danych.");
    for (int t : kTables) EXPECT_EQ(Bytes(Data(t)), Content(L"A", t));
    EXPECT_EQ(CardName(invoices, 0), L"A 5/1");
    EXPECT_EQ(CurrentDataSet(), L"");

    // Other TEV programs running: nothing is asked or packed.
    SetRunningSiblingsCheck([] { return true; });
    ScriptedResponder none;
    EXPECT_THROW(CloseDataSet(), Failure);
    EXPECT_TRUE(none.shown.empty());
    // Declined: nothing packed.
    SetRunningSiblingsCheck(nullptr);
    ScriptedResponder no;
    no.Answer(2);
    EXPECT_FALSE(CloseDataSet());
    EXPECT_FALSE(fs::exists(dir_ / L"Mój zestaw danych.tev"));
}

TEST_F(DataSets, ALargeBackupOpensAsADataSetWithoutItsReferenceTables) {
    WriteFirm(L"A");
    fs::create_directories(dir_ / L"kopia");
    std::vector<fs::path> files;
    for (int t : {1, 2, 3, 4, 5, 6, 7, kReference}) {
        files.push_back(dir_ / L"kopia" / Table(t).defaultFileName);
        std::ofstream(files.back(), std::ios::binary) << Content(L"K", t);
    }
    files.push_back(dir_ / L"kopia" / L"tev.ini");
    std::ofstream(files.back()) << "[x]\r\n";
    const fs::path backup = dir_ / L"tevKopiaZapasowa_20261210_120000.tev";
    MakeCabinet(backup, files);

    script_.Answer(1).Answer(2);
    OpenDataSet(backup.wstring());
    for (int t : kTables) EXPECT_EQ(Bytes(Data(t)), Content(L"K", t)) << t;
    EXPECT_FALSE(fs::exists(Data(kReference)));
    EXPECT_FALSE(fs::exists(dir_ / L"dane" / L"tev.ini"));
    EXPECT_EQ(CurrentDataSet(), backup.wstring());
}

TEST_F(DataSets, MoveDatabasesMovesOnlyWhatItCan) {
    WriteFirm(L"A");
    tTevList& invoices = Open(5);
    const fs::path target = dir_ / L"nowe";
    fs::create_directories(target);
    // Another firm's contractors already there.
    std::ofstream(target / Table(2).defaultFileName, std::ios::binary) << Content(L"X", 2);
    // One table is in the target already.
    fs::rename(Data(3), target / Table(3).defaultFileName);
    StoreTablePath(3, (target / Table(3).defaultFileName).wstring());
    SetCurrentTablePath(3, (target / Table(3).defaultFileName).wstring());

    ScriptedResponder script;
    script.Answer(1);  // the whole move; each file after it answers itself
    MoveDatabases(target.wstring());
    // Asked: the move, then one question per table that moved (1, 4, 5, 6, 7).
    EXPECT_TRUE(script.shown[0].message.destructive);
    int perFile = 0;
    for (const Shown& s : script.shown) perFile += s.headline == L"Czy na pewno przenieść ten plik?";
    EXPECT_EQ(perFile, 5);
    EXPECT_FALSE(script.shown[1].message.destructive);
    for (int t : {1, 4, 5, 6, 7}) {
        const std::wstring moved = (target / Table(t).defaultFileName).wstring();
        EXPECT_EQ(CurrentTablePath(t), moved) << t;
        EXPECT_EQ(RegReadValue(kCurrentUser, kTablePathsKey, Table(t).id, L""), moved) << t;
        EXPECT_EQ(Bytes(moved), Content(L"A", t)) << t;
    }
    EXPECT_EQ(invoices.FilePath(), (target / Table(5).defaultFileName).wstring());
    // The other firm's file stays theirs, and the table stays where it was.
    EXPECT_EQ(CurrentTablePath(2), Data(2).wstring());
    EXPECT_EQ(Bytes(Data(2)), Content(L"A", 2));
    EXPECT_EQ(Bytes(target / Table(2).defaultFileName), Content(L"X", 2));
    EXPECT_NE(script.shown.back().body.find(Data(2).wstring()), std::wstring::npos);

    ScriptedResponder missing;
    EXPECT_THROW(MoveDatabases((dir_ / L"brak").wstring()), Failure);
}

}  // namespace
