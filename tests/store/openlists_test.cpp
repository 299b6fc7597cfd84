// Table-bound lists: CreateForTable, the registries of open lists, loading on
// first access and the operations that walk a list. The program around the
// lists is a scripted host keeping its "files" in memory.
#include "store/tevlist.h"

#include <map>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "store/storehost.h"
#include "store/tevstream.h"
#include "store_fixture.h"

using ::testing::ElementsAre;

namespace {

class ScriptedHost : public StoreHost {
public:
    std::map<std::wstring, std::string> files;
    std::map<int, std::wstring> tablePaths;
    bool answer = false;
    std::vector<std::wstring> calls;

    std::wstring ResolveTablePath(int table, const std::wstring& suggested) override {
        auto it = tablePaths.find(table);
        return it != tablePaths.end() ? it->second : suggested;
    }
    bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
    bool LoadListFromFile(tTevList& list, const std::wstring& path, bool keepLoaded) override {
        calls.push_back(L"load " + path);
        auto it = files.find(path);
        if (it == files.end()) return false;
        tTevStream s(it->second);
        try {
            LoadListContent(list, s);
        } catch (const EtevException&) {
            list.SetLoadFailed(true);
            return false;
        }
        list.SetFilePath(path);
        return true;
    }
    bool SaveListToFile(tTevList& list, const std::wstring& path, bool smallCopy) override {
        calls.push_back(L"save " + path + (smallCopy ? L" +copy" : L""));
        files[path] = SaveListContent(list);
        list.SetFilePath(path);
        return true;
    }
    bool AskRemembered(const std::wstring& text, const std::wstring& key) override {
        calls.push_back(L"ask " + key + L" " + text);
        return answer;
    }
    void ShowStatus(const std::wstring& text) override { calls.push_back(L"status " + text); }
    void FinishProgress() override { calls.push_back(L"finish"); }
    void BeginBusy() override { calls.push_back(L"busy"); }
    void EndBusy() override { calls.push_back(L"idle"); }
    std::wstring FileDescription(const std::wstring& path) override { return L"opis " + path; }
    DateTimeValue Now() override { return 37426.93; }  // 19 June 2002, evening
};

// Faktury.dat (table 5) with three cards.
const std::string kThreeCards = Hex("03 00 03 00 00 00 29 23 01 00 00 00 00 00 29 23 02 00 00 00 00 00 29 23 03 00 00 00 00 00");

}  // namespace

class OpenLists : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestTypes();
        SetStoreHost(&host);
        SetQuietStart(false);
    }
    void TearDown() override {
        SetStoreHost(nullptr);
        SetQuietStart(false);
    }
    ScriptedHost host;
};

TEST_F(OpenLists, DataTableIsReadAtOnceAndRegistered) {
    host.files[L"C:\\dane\\Faktury.dat"] = kThreeCards;
    host.tablePaths[5] = L"C:\\dane\\Faktury.dat";
    std::wstring path = L"Faktury.dat";
    tTevList list;
    list.CreateForTable(5, path);
    EXPECT_EQ(path, L"C:\\dane\\Faktury.dat");
    EXPECT_TRUE(list.Created());
    EXPECT_FALSE(list.NotLoaded());
    EXPECT_EQ(list.TableNumber(), 5);
    EXPECT_THAT(host.calls, ElementsAre(L"busy", L"load C:\\dane\\Faktury.dat", L"idle"));
    EXPECT_EQ(list.LoadedCount(), 3);
    EXPECT_THAT(DataLists(), ElementsAre(&list));
    EXPECT_TRUE(ReferenceLists().empty());

    host.calls.clear();
    list.CreateForTable(7, path);  // runs once
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(list.TableNumber(), 5);
}

TEST_F(OpenLists, ReferenceTableIsReadOnFirstAccessAndAgainAfterUnload) {
    host.files[L"Kody.dat"] = kThreeCards;
    std::wstring path = L"Kody.dat";
    tTevList list;
    list.CreateForTable(9, path);
    EXPECT_TRUE(list.NotLoaded());
    EXPECT_EQ(list.FilePath(), L"Kody.dat");
    EXPECT_EQ(list.LoadedCount(), 0);
    EXPECT_THAT(ReferenceLists(), ElementsAre(&list));
    EXPECT_TRUE(DataLists().empty());

    host.calls.clear();
    EXPECT_EQ(list.Count(), 3);
    EXPECT_THAT(host.calls, ElementsAre(L"status Odczytuję dane... Kody.dat", L"load Kody.dat", L"finish"));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(host.calls.size(), 3u);

    list.Unload();
    EXPECT_EQ(list.LoadedCount(), 0);
    host.files[L"Kody.dat"] = Hex("01 00 01 00 00 00 65 00");
    EXPECT_NE(list.Get(0), nullptr);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(OpenLists, AddingToAnUnreadListReadsItFirst) {
    host.files[L"Kody.dat"] = kThreeCards;
    std::wstring path = L"Kody.dat";
    tTevList list;
    list.CreateForTable(9, path);
    list.Add(std::make_unique<TKartka>(4, L""));
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(dynamic_cast<TKartka&>(*list.Get(3)).numer, 4);
}

TEST_F(OpenLists, MissingDataFileIsOfferedForCreation) {
    const std::wstring expectedQuestion =
        L"ask plikInit37426 D:\\x\\Faktury.dat: Nie powiodła się inicjalizacja bazy danych. Zapewne pliku nie ma "
        L"jeszcze na dysku.\r\nPlik danych zostanie teraz utworzony. Następnym razem zostanie odczytany automatycznie.";
    for (bool yes : {false, true}) {
        host.calls.clear();
        host.answer = yes;
        std::wstring path = L"D:\\x\\Faktury.dat";
        tTevList list;
        list.CreateForTable(5, path);
        if (yes) {
            EXPECT_THAT(host.calls, ElementsAre(L"busy", expectedQuestion, L"save D:\\x\\Faktury.dat +copy", L"idle"));
            EXPECT_EQ(host.files[path], Hex("00 00 00 00 00 00"));
        } else {
            EXPECT_THAT(host.calls, ElementsAre(L"busy", expectedQuestion, L"idle"));
        }
        EXPECT_THAT(DataLists(), ElementsAre(&list));
    }
}

TEST_F(OpenLists, NoOfferForReferenceTablesNorInQuietStart) {
    std::wstring path = L"brak.dat";
    tTevList reference;
    reference.CreateForTable(12, path);
    SetQuietStart(true);
    tTevList quiet;
    quiet.CreateForTable(5, path);
    EXPECT_THAT(host.calls, ElementsAre(L"busy", L"idle", L"busy", L"idle"));
    EXPECT_EQ(reference.FilePath(), L"");
}

TEST_F(OpenLists, FindOpenListLooksAmongDataListsFirstAndForgetsDestroyedLists) {
    std::wstring path = L"x";
    tTevList reference;
    reference.SetTableNumber(9);
    RegisterOpenList(reference);
    auto first = std::make_unique<tTevList>();
    first->CreateForTable(5, path);
    tTevList second;
    second.CreateForTable(5, path);
    tTevList other;
    other.CreateForTable(6, path);

    EXPECT_EQ(FindOpenList(5), first.get());
    EXPECT_EQ(FindOpenList(6), &other);
    EXPECT_EQ(FindOpenList(9), &reference);
    EXPECT_EQ(FindOpenList(7), nullptr);
    first.reset();
    EXPECT_EQ(FindOpenList(5), &second);
    EXPECT_THAT(DataLists(), ElementsAre(&second, &other));
}

TEST_F(OpenLists, SavingToOwnFileNeedsAPath) {
    tTevList list;
    EXPECT_FALSE(list.SaveToOwnFile());
    EXPECT_TRUE(host.calls.empty());
    list.SetFilePath(L"C:\\Faktury.dat");
    list.Add(std::make_unique<tTevObject>());
    EXPECT_TRUE(list.SaveToOwnFile());
    EXPECT_THAT(host.calls, ElementsAre(L"save C:\\Faktury.dat +copy"));
    EXPECT_EQ(host.files[L"C:\\Faktury.dat"], Hex("01 00 01 00 00 00 65 00"));
}

TEST_F(OpenLists, DescriptionCountsTheItems) {
    tTevList list;
    list.SetFilePath(L"C:\\Faktury.dat");
    list.Add(std::make_unique<tTevObject>());
    list.Add(std::make_unique<tTevObject>());
    EXPECT_EQ(list.Description(), L"baza zawiera 2 pozycji\r\nopis C:\\Faktury.dat");
}

TEST(TevList, WalksInBothDirections) {
    RegisterTestTypes();
    tTevList list;
    for (int i = 1; i <= 4; ++i) list.Add(std::make_unique<TKartka>(i, L""));
    auto numer = [](tTevPersistent* p) { return dynamic_cast<TKartka*>(p)->numer; };
    auto even = [&](tTevPersistent* p) { return numer(p) % 2 == 0; };
    EXPECT_EQ(numer(list.FirstThat(even)), 2);
    EXPECT_EQ(numer(list.FirstThat(even, tTevList::kFromLast)), 4);
    EXPECT_EQ(list.FirstThat([](tTevPersistent*) { return false; }), nullptr);

    std::vector<int> seen;
    list.ForEach([&](tTevPersistent* p) { seen.push_back(numer(p)); }, tTevList::kFromLast);
    EXPECT_THAT(seen, ElementsAre(4, 3, 2, 1));

    int limit = 3;
    auto below = [](void* data, tTevPersistent* p) { return dynamic_cast<TKartka*>(p)->numer < *static_cast<int*>(data); };
    EXPECT_EQ(numer(list.FirstThatWith(tTevList::kFromLast, below, &limit)), 2);

    // An action that takes items out as it goes.
    list.ForEachWith(
        tTevList::kFromLast, [](void* data, tTevPersistent* p) { static_cast<tTevList*>(data)->Delete(static_cast<tTevList*>(data)->IndexOf(p)); },
        &list);
    EXPECT_EQ(list.Count(), 0);
}

TEST(TevList, ItemAccessAndDuplicates) {
    RegisterTestTypes();
    tTevList list;
    list.Add(std::make_unique<TPozycja>(L"A"));
    list.Add(std::make_unique<TPozycja>(L"B"));
    list.Add(std::make_unique<tTevList>());
    list.Add(std::make_unique<TPozycja>(L"A"));
    EXPECT_TRUE(list.HasDuplicate(list.Get(0)));
    EXPECT_FALSE(list.HasDuplicate(list.Get(1)));
    EXPECT_FALSE(list.HasDuplicate(list.Get(2)));  // not a generic item

    EXPECT_NE(list.ObjectAt(0), nullptr);
    EXPECT_EQ(list.ObjectAt(2), nullptr);   // a list, not an object
    EXPECT_EQ(list.ObjectAt(4), nullptr);   // out of range
    EXPECT_EQ(list.ObjectAt(-1), nullptr);
    EXPECT_THROW(list.Get(4), EtevException);
    list.Put(1, std::make_unique<TPozycja>(L"A"));
    EXPECT_TRUE(list.HasDuplicate(list.Get(1)));
    list.FreeAll();
    EXPECT_EQ(list.Count(), 0);
}
