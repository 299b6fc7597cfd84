// Text and object records of the typed stream, and the type registry.
#include "store/tevstream.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "store/storehost.h"
#include "store/tevlist.h"
#include "store/typeregistry.h"
#include "store_fixture.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

std::string Written(std::wstring_view text) {
    tTevStream s;
    s.WriteString(text);
    return s.Bytes();
}

// The message of the EtevException that f throws ("" when none is thrown).
template <class F>
std::wstring FailureOf(F f) {
    try {
        f();
    } catch (const EtevException& e) {
        return e.message();
    }
    return L"";
}

}  // namespace

TEST(TextRecord, WrittenAsTheFormatSays) {
    const std::wstring a30000(30000, L'a');
    const std::wstring a30001(30001, L'a');
    struct Case {
        const char* what;
        std::wstring text;
        std::string bytes;
    } cases[] = {
        {"empty text: 0, as no text", L"", Hex("00 00")},
        {"short", L"ab", Hex("02 00 61 62")},
        {"Polish letters in Windows-1250", L"Łódź", Hex("04 00 A3 F3 64 9F")},
        {"30000 characters: still the short form", a30000, Hex("30 75") + std::string(30000, 'a')},
        {"30001 characters: the long form", a30001, Hex("FF FF 31 75 00 00") + std::string(30001, 'a')},
        {"a zero character is kept with the rest", std::wstring(L"a\0b", 3), Hex("03 00 61 00 62")},
        {"unused bytes travel as C1 characters", L"\x81\x98", Hex("02 00 81 98")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Written(c.text), c.bytes) << c.what;
        tTevStream s(c.bytes);
        EXPECT_EQ(s.ReadString(), c.text) << c.what;
        EXPECT_EQ(s.Remaining(), 0u) << c.what;
    }
    tTevStream none;
    none.WritePChar(std::nullopt);
    EXPECT_EQ(none.Bytes(), Hex("00 00"));
}

TEST(TextRecord, LengthsOtherThanTheTwoFormsReadAsNoText) {
    struct Case {
        std::string bytes;
        std::optional<std::string> text;
        size_t left;  // bytes after the record
    } cases[] = {
        {Hex("00 00 41"), std::nullopt, 1},
        {Hex("FE FF 41"), std::nullopt, 1},     // -2: no text, nothing more read
        {Hex("00 80 41"), std::nullopt, 1},     // -32768
        {Hex("FF FF 00 00 00 00 41"), "", 1},  // long form of length 0: an empty text, not none
        {Hex("01 00 00"), std::string(1, '\0'), 0},
    };
    for (const auto& c : cases) {
        tTevStream s(c.bytes);
        EXPECT_EQ(s.ReadPChar(), c.text);
        EXPECT_EQ(s.Remaining(), c.left);
    }
}

TEST(TextRecord, LengthsBeyondTheDataFailWithoutAllocatingThem) {
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"short length past the end", Hex("05 00 61 62 63")},
        {"long length of 4 GB", Hex("FF FF FF FF FF FF 61")},
        {"long length of 2 GB", Hex("FF FF 00 00 00 80 61")},
        {"length field cut", Hex("05")},
        {"long length field cut", Hex("FF FF 10 00")},
    };
    for (const auto& c : cases) {
        tTevStream s(c.bytes);
        EXPECT_THAT(FailureOf([&] { s.ReadString(); }), StartsWith(L"Dane są uszkodzone: ")) << c.what;
    }
}

TEST(TextRecord, TextWithoutWindows1250FormIsRefusedAndNothingWritten) {
    tTevStream s;
    s.WriteInt16(7);
    const std::wstring message = FailureOf([&] { s.WriteString(L"Zażółć 日本"); });
    EXPECT_THAT(message, HasSubstr(L"U+65E5 (8. znak tekstu)"));
    EXPECT_THAT(message, HasSubstr(L"Windows-1250"));
    EXPECT_EQ(s.Bytes(), Hex("07 00"));
}

TEST(Fields, LittleEndianThroughout) {
    tTevStream s;
    s.WriteInt16(-2);
    s.WriteInt32(0x01020304);
    s.WriteInt64(-1);
    s.WriteDouble(1.5);
    s.WriteBool(true);
    EXPECT_EQ(s.Bytes(), Hex("FE FF 04 03 02 01 FF FF FF FF FF FF FF FF 00 00 00 00 00 00 F8 3F 01"));
    s.SetPosition(0);
    EXPECT_EQ(s.ReadInt16(), -2);
    EXPECT_EQ(s.ReadInt32(), 0x01020304);
    EXPECT_EQ(s.ReadInt64(), -1);
    EXPECT_EQ(s.ReadDouble(), 1.5);
    EXPECT_TRUE(s.ReadBool());
    EXPECT_THAT(FailureOf([&] { s.ReadByte(); }), HasSubstr(L"dane kończą się przedwcześnie"));
}

class ObjectRecord : public ::testing::Test {
protected:
    void SetUp() override { RegisterTestTypes(); }
};

TEST_F(ObjectRecord, TypeNumberThenTheObjectsFields) {
    TKartka card(7, L"ul. Żytnia");
    TKartkaWysoka high(-1, L"");
    tTevObject plain;
    tTevStream s;
    s.WriteObject(&card);
    s.WriteObject(&high);
    s.WriteObject(&plain);
    s.WriteObject(nullptr);
    const std::string bytes = Hex("29 23 07 00 00 00 0A 00") + "ul. \xAFytnia" +  // 9001
                              Hex("50 C3 FF FF FF FF 00 00") +                     // 50000, read unsigned
                              Hex("65 00") +                                       // 101: no fields
                              Hex("00 00");
    EXPECT_EQ(s.Bytes(), bytes);

    tTevStream r(bytes);
    auto first = r.ReadObject();
    auto second = r.ReadObject();
    auto third = r.ReadObject();
    EXPECT_EQ(r.ReadObject(), nullptr);
    ASSERT_EQ(first->ClassName(), L"TKartka");
    EXPECT_EQ(static_cast<TKartka&>(*first).nazwa, L"ul. Żytnia");
    ASSERT_EQ(second->ClassName(), L"TKartkaWysoka");
    EXPECT_EQ(static_cast<TKartka&>(*second).numer, -1);
    EXPECT_EQ(third->ClassName(), L"tTevObject");
}

TEST_F(ObjectRecord, SkippedObjectStandingAloneIsWrittenAsNoObject) {
    TKartka card(1, L"x");
    card.SetSkip(true);
    tTevStream s;
    s.WriteObject(&card);
    EXPECT_EQ(s.Bytes(), Hex("00 00"));
}

TEST_F(ObjectRecord, UnknownNumberFailsWith202) {
    tTevStream s(Hex("0F 27"));
    EXPECT_EQ(FailureOf([&] { s.ReadObject(); }), L"202: Próba obsługi niezarejestrowanego typu numer 9999.");
}

TEST_F(ObjectRecord, UnregisteredClassIsShownAndRefusedWithNothingWritten) {
    struct Recorder : StoreHost {
        std::vector<std::wstring> shown;
        void ShowMessage(const std::wstring& text) override { shown.push_back(text); }
    } host;
    SetStoreHost(&host);
    TNiezarejestrowana object;
    tTevStream s;
    s.WriteInt16(1);
    const std::wstring message = FailureOf([&] { s.WriteObject(&object); });
    SetStoreHost(nullptr);
    EXPECT_EQ(message, L"202: Próba obsługi niezarejestrowanego typu numer 0.\r\nKlasa TNiezarejestrowana nie ma numeru typu.");
    EXPECT_EQ(host.shown, std::vector<std::wstring>{message});
    EXPECT_EQ(s.Bytes(), Hex("01 00"));
}

TEST_F(ObjectRecord, ClassesThatCannotBeStreamedFailWith203AndWriteNothing) {
    // 41691 is TRemanent of the office programs: its number is known, its
    // fields are not, so it is recognised (read unsigned) and refused.
    struct Case {
        std::string bytes;
        std::wstring message;
    } reads[] = {
        {Hex("DB A2 01 02 03 04"), L"203: Nie można odczytać ze strumienia typu TRemanent."},
        {Hex("C7 02"), L"203: Nie można odczytać ze strumienia typu TtevGenericItem."},
        {Hex("C8 02"), L"203: Nie można odczytać ze strumienia typu tTevGenericLIst."},
        {Hex("2B 23"), L"203: Nie można odczytać ze strumienia typu TObcy."},
    };
    for (const auto& c : reads) {
        tTevStream s(c.bytes);
        EXPECT_EQ(FailureOf([&] { s.ReadObject(); }), c.message);
    }

    const TevTypeEntry* remanent = ClassForTypeId(41691);
    ASSERT_TRUE(remanent);
    auto blank = remanent->cls->createBlank(*remanent->cls);
    TObcy foreign;
    for (tTevPersistent* object : {blank.get(), static_cast<tTevPersistent*>(&foreign)}) {
        tTevStream s;
        s.WriteInt16(3);
        EXPECT_EQ(FailureOf([&] { s.WriteObject(object); }),
                  L"203: Nie można odczytać ze strumienia typu " + std::wstring(object->ClassName()) + L".");
        EXPECT_EQ(s.Bytes(), Hex("03 00"));
    }
}

TEST(TypeRegistry, EveryNumberOfTheFormatIsRegisteredInOrder) {
    const struct {
        int typeId;
        const wchar_t* name;
    } expected[] = {
        {50, L"tTevList"}, {100, L"tTevList"}, {101, L"tTevObject"}, {700, L"tTevSortedList"},
        {711, L"TtevGenericItem"}, {712, L"tTevGenericLIst"}, {713, L"tTevMegaItem"}, {714, L"tTevBigItem"},
        {4021, L"tTevItem"}, {2135, L"TKonto"}, {2136, L"TKonta"}, {2137, L"TTransakcja"}, {2138, L"TTransakcje"},
        {2155, L"TRegulaKonta"}, {2503, L"TUrzadSkarbowy"}, {4011, L"TKonto98"}, {4012, L"TtevDataItem"},
        {4013, L"TZdarzenie98"}, {4014, L"TZlecenie98"}, {4020, L"TtevSortedDataList"}, {4029, L"TDziennikItem"},
        {4039, L"TTowaryItem"}, {4046, L"TCustomFaktura"}, {4047, L"TFaktura"}, {4048, L"TParagon"},
        {4049, L"TDowodDostawy"}, {4051, L"TKodItem"}, {4052, L"TKodPocztowy"}, {4168, L"TWZtka"},
        {4169, L"TPZtka"}, {14047, L"TFakturaEksportowa"}, {32071, L"TBAnk"}, {32095, L"TMalyBAnk"},
        {41691, L"TRemanent"}, {44052, L"TMiasto"},
    };
    for (const auto& e : expected) {
        const TevTypeEntry* entry = ClassForTypeId(e.typeId);
        ASSERT_TRUE(entry) << e.typeId;
        EXPECT_EQ(entry->cls->name, e.name);
        EXPECT_EQ(ClassForTypeId(e.typeId + 0x10000), entry) << "compared on the low 16 bits";
    }
    EXPECT_EQ(TypeIdForClass(tTevList::kClass)->typeId, 50);
    EXPECT_EQ(TypeIdForClass(L"TRemanent")->typeId, 41691);
    EXPECT_EQ(ClassForTypeId(0), nullptr);
    EXPECT_EQ(ClassForTypeId(1), nullptr);
    EXPECT_EQ(TypeIdForClass(TNiezarejestrowana::kClass), nullptr);
}

TEST(TypeRegistry, NumberInUseFailsWith201AndTheClassName) {
    EXPECT_EQ(FailureOf([] { RegisterType(TNiezarejestrowana::kClass, 101); }),
              L"201: Identyfikator \"TNiezarejestrowana\" jest już w użyciu.");
    EXPECT_EQ(FailureOf([] { RegisterType(TNiezarejestrowana::kClass, 0x10000 + 50); }),
              L"201: Identyfikator \"TNiezarejestrowana\" jest już w użyciu.");
    EXPECT_EQ(TypeIdForClass(TNiezarejestrowana::kClass), nullptr);
}
