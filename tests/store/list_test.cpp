// List records: the data files' content, written by hand from the format's
// rules and read and written back; damaged and hostile content.
#include "store/tevlist.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "store/tevstream.h"
#include "store/typeregistry.h"
#include "store_fixture.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

template <class F>
std::wstring FailureOf(F f) {
    try {
        f();
    } catch (const EtevException& e) {
        return e.message();
    }
    return L"";
}

std::unique_ptr<tTevList> Read(const std::string& bytes, bool longForm = false) {
    auto list = std::make_unique<tTevList>();
    list->SetLongForm(longForm);
    tTevStream s(bytes);
    LoadListContent(*list, s);
    return list;
}

const TKartka& Card(tTevList& list, int index) { return dynamic_cast<const TKartka&>(*list.Get(index)); }

// Three cards: "count 3, 3, 0, then three times the type number and fields".
const std::string kThreeCards = Hex("03 00 03 00 00 00") +            //
                                Hex("29 23 01 00 00 00 03 00 61 62 63") +  // 1, "abc"
                                Hex("29 23 02 00 00 00 00 00") +           // 2, no text
                                Hex("29 23 FF FF FF FF 01 00 B9");         // -1, "ą"

}  // namespace

class ListRecord : public ::testing::Test {
protected:
    void SetUp() override { RegisterTestTypes(); }
};

TEST_F(ListRecord, ThreeObjectsReadAndWrittenBackByteForByte) {
    auto list = Read(kThreeCards);
    ASSERT_EQ(list->Count(), 3);
    EXPECT_EQ(Card(*list, 0).nazwa, L"abc");
    EXPECT_EQ(Card(*list, 1).nazwa, L"");
    EXPECT_EQ(Card(*list, 2).numer, -1);
    EXPECT_EQ(Card(*list, 2).nazwa, L"ą");
    EXPECT_EQ(SaveListContent(*list), kThreeCards);

    tTevList built;
    built.Add(std::make_unique<TKartka>(1, L"abc"));
    built.Add(std::make_unique<TKartka>(2, L""));
    built.Add(std::make_unique<TKartka>(-1, L"ą"));
    EXPECT_EQ(SaveListContent(built), kThreeCards);
}

TEST_F(ListRecord, LongFormWritesTheCountAsCapacityAndIsReadBack) {
    const std::string bytes = Hex("02 00 00 00 02 00 00 00 00 00 00 00") +  //
                              Hex("29 23 05 00 00 00 00 00") + Hex("65 00");
    auto list = Read(bytes, true);
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(list->Get(1)->ClassName(), L"tTevObject");
    EXPECT_EQ(SaveListContent(*list), bytes);

    // The capacity is read and dropped: a file with another figure there
    // reads the same and is written with the count.
    auto other = Read(Hex("02 00 00 00 40 00 00 00 00 00 00 00") + bytes.substr(12), true);
    EXPECT_EQ(SaveListContent(*other), bytes);
}

TEST_F(ListRecord, NestedListsFollowTheOuterListsForm) {
    // Outer list (long form) holding a card and a list (type 50) of one card.
    const std::string longFile = Hex("02 00 00 00 02 00 00 00 00 00 00 00") + Hex("29 23 01 00 00 00 00 00") +
                                 Hex("32 00 01 00 00 00 01 00 00 00 00 00 00 00") + Hex("29 23 02 00 00 00 00 00");
    auto list = Read(longFile, true);
    ASSERT_EQ(list->Count(), 2);
    auto& inner = dynamic_cast<tTevList&>(*list->Get(1));
    ASSERT_EQ(inner.Count(), 1);
    EXPECT_EQ(Card(inner, 0).numer, 2);
    EXPECT_EQ(SaveListContent(*list), longFile);

    // The same in the short form.
    list->SetLongForm(false);
    const std::string shortFile =
        Hex("02 00 02 00 00 00") + Hex("29 23 01 00 00 00 00 00") + Hex("32 00 01 00 01 00 00 00") + Hex("29 23 02 00 00 00 00 00");
    EXPECT_EQ(SaveListContent(*list), shortFile);
    EXPECT_EQ(Read(shortFile)->Count(), 2);
}

TEST_F(ListRecord, SortedListKeepsItsByteAfterTheItems) {
    tTevSortedList created;
    EXPECT_EQ(created.SortedFlag(), 1);
    created.Add(std::make_unique<TKartka>(3, L"x"));
    const std::string bytes = Hex("01 00 01 00 00 00 29 23 03 00 00 00 01 00 78 01");
    EXPECT_EQ(SaveListContent(created), bytes);

    // Inside a list: type 700, the record, the byte; a blank one starts at 0.
    tTevList outer;
    auto sorted = std::make_unique<tTevSortedList>(kTevBlank);
    EXPECT_EQ(sorted->SortedFlag(), 0);
    outer.Add(std::move(sorted));
    const std::string nested = Hex("01 00 01 00 00 00 BC 02 00 00 00 00 00 00 00");
    EXPECT_EQ(SaveListContent(outer), nested);

    tTevSortedList loaded(kTevBlank);
    tTevStream s(bytes);
    LoadListContent(loaded, s);
    EXPECT_EQ(loaded.SortedFlag(), 1);
    EXPECT_EQ(loaded.Count(), 1);
    EXPECT_EQ(Read(nested)->Get(0)->ClassName(), L"tTevSortedList");
}

TEST_F(ListRecord, CountOfZeroOrLessReadsNoItems) {
    struct Case {
        const char* what;
        std::string bytes;
        bool longForm;
    } cases[] = {
        {"short, -1", Hex("FF FF 03 00 00 00 29 23"), false},
        {"short, -32768", Hex("00 80 00 80 00 00"), false},
        {"short, 0", Hex("00 00 00 00 00 00"), false},
        {"long, -5", Hex("FB FF FF FF 00 00 00 00 00 00 00 00"), true},
        {"long, most negative", Hex("00 00 00 80 00 00 00 00 00 00 00 00"), true},
    };
    for (const auto& c : cases) {
        auto list = Read(c.bytes, c.longForm);
        EXPECT_EQ(list->Count(), 0) << c.what;
        EXPECT_EQ(SaveListContent(*list), c.longForm ? Hex("00 00 00 00 00 00 00 00 00 00 00 00") : Hex("00 00 00 00 00 00"))
            << c.what;
    }
}

TEST_F(ListRecord, SkippedObjectsAreLeftOutAndNotCounted) {
    tTevList list;
    list.Add(std::make_unique<TKartka>(1, L""));
    list.Add(std::make_unique<TKartka>(2, L""));
    dynamic_cast<tTevObject&>(*list.Get(0)).SetSkip(true);
    list.Add(nullptr);  // no object: counted, written as 0
    const std::string bytes = Hex("02 00 02 00 00 00 29 23 02 00 00 00 00 00 00 00");
    EXPECT_EQ(SaveListContent(list), bytes);
    auto back = Read(bytes);
    ASSERT_EQ(back->Count(), 2);
    EXPECT_EQ(back->Get(1), nullptr);
}

TEST_F(ListRecord, ShortFormHoldsAtMost32767ItemsAndFailsBeforeWritingMore) {
    tTevList list;
    for (int i = 0; i < 32767; ++i) list.Add(std::make_unique<tTevObject>());
    EXPECT_EQ(SaveListContent(list).substr(0, 6), Hex("FF 7F FF 7F 00 00"));

    list.Add(std::make_unique<tTevObject>());
    tTevStream s;
    s.WriteInt16(9);
    EXPECT_THAT(FailureOf([&] { list.SaveToStream(s); }), HasSubstr(L"Lista zawiera 32768 pozycji"));
    EXPECT_EQ(s.Bytes(), Hex("09 00"));

    // Nested inside a short-form list: the whole outer record is taken back.
    tTevList outer;
    outer.Add(std::make_unique<TKartka>(1, L"a"));
    auto inner = std::make_unique<tTevList>();
    for (int i = 0; i < 32768; ++i) inner->Add(std::make_unique<tTevObject>());
    outer.Add(std::move(inner));
    EXPECT_THAT(FailureOf([&] { outer.SaveToStream(s); }), HasSubstr(L"32768"));
    EXPECT_EQ(s.Bytes(), Hex("09 00"));

    list.SetLongForm(true);
    EXPECT_EQ(SaveListContent(list).substr(0, 12), Hex("00 80 00 00 00 80 00 00 00 00 00 00"));
}

TEST_F(ListRecord, UnreadableContentFailsAndLeavesTheListAsItWas) {
    // A damaged file of 10 cards, cut in the middle of the ninth; an office
    // class (TRemanent, fields unknown) as the third item.
    std::string damaged = Hex("0A 00 0A 00 00 00");
    for (int i = 0; i < 8; ++i) damaged += Hex("29 23") + Le32(i) + Hex("00 00");
    damaged += Hex("29 23 08 00");
    const std::string foreign = Hex("03 00 03 00 00 00 29 23 01 00 00 00 00 00 65 00 DB A2 00 00");

    for (const std::string& bytes : {damaged, foreign}) {
        tTevList list;
        list.Add(std::make_unique<TKartka>(42, L"było"));
        tTevStream s(bytes);
        EXPECT_NE(FailureOf([&] { LoadListContent(list, s); }), L"");
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(Card(list, 0).numer, 42);
    }

    // On success the items are appended after those the list held.
    tTevList list;
    list.Add(std::make_unique<TKartka>(42, L"było"));
    tTevStream s(kThreeCards);
    LoadListContent(list, s);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(Card(list, 3).nazwa, L"ą");
}

TEST_F(ListRecord, EveryCutOfAFileFailsCleanly) {
    tTevList list;
    list.Add(std::make_unique<TKartka>(1, std::wstring(40000, L'ż')));
    auto inner = std::make_unique<tTevSortedList>();
    inner->Add(std::make_unique<TKartkaWysoka>(2, L"ab"));
    list.Add(std::move(inner));
    list.Add(nullptr);
    list.Add(std::make_unique<tTevObject>());
    list.SetLongForm(true);
    const std::string file = SaveListContent(list);
    for (size_t cut = 0; cut < file.size(); cut += cut < 40 || cut > file.size() - 40 ? 1 : 997) {
        tTevList target;
        target.SetLongForm(true);
        tTevStream s(file.substr(0, cut));
        EXPECT_THAT(FailureOf([&] { LoadListContent(target, s); }), StartsWith(L"Dane są uszkodzone: ")) << cut;
        EXPECT_EQ(target.LoadedCount(), 0);
    }
    auto whole = Read(file, true);
    EXPECT_EQ(SaveListContent(*whole), file);
}

TEST_F(ListRecord, HostileCountsFailBeforeAnythingIsAllocated) {
    struct Case {
        const char* what;
        std::string bytes;
        bool longForm;
    } cases[] = {
        {"short: 32767 items announced, one present", Hex("FF 7F 00 00 00 00 65 00"), false},
        {"long: 2^31-1 items", Hex("FF FF FF 7F 00 00 00 00 00 00 00 00 65 00 65 00"), true},
        {"long: count of a nested list", Hex("01 00 00 00 00 00 00 00 00 00 00 00 32 00 00 00 00 10 00 00 00 00 00 00 00 00"), true},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(FailureOf([&] { Read(c.bytes, c.longForm); }), HasSubstr(L"pozycji, a do końca danych zostało tylko"))
            << c.what;
    }
}

TEST_F(ListRecord, NestingIsBoundedOnReadingAndOnWriting) {
    // A list inside a list, n levels deep; each level a one-item list.
    auto file = [](int levels) {
        std::string bytes = Hex("01 00 01 00 00 00");
        for (int i = 1; i < levels; ++i) bytes += Hex("32 00 01 00 01 00 00 00");
        return bytes + Hex("65 00");
    };
    EXPECT_NO_THROW(Read(file(tTevStream::kMaxNesting)));
    EXPECT_THAT(FailureOf([&] { Read(file(tTevStream::kMaxNesting + 1)); }), HasSubstr(L"zagnieżdżone głębiej niż na 64"));
    EXPECT_THAT(FailureOf([&] { Read(file(100000)); }), StartsWith(L"Dane są uszkodzone: "));

    auto deep = [](int levels) {
        auto top = std::make_unique<tTevList>();
        tTevList* at = top.get();
        for (int i = 1; i < levels; ++i) {
            auto next = std::make_unique<tTevList>();
            tTevList* raw = next.get();
            at->Add(std::move(next));
            at = raw;
        }
        at->Add(std::make_unique<tTevObject>());
        return top;
    };
    EXPECT_EQ(SaveListContent(*deep(tTevStream::kMaxNesting)), file(tTevStream::kMaxNesting));
    tTevStream s;
    EXPECT_THAT(FailureOf([&] { deep(tTevStream::kMaxNesting + 1)->SaveToStream(s); }), HasSubstr(L"nie dałoby się odczytać"));
    EXPECT_EQ(s.Size(), 0u);
}
