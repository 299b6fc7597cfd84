#include "util/cp1250.h"

#include <gtest/gtest.h>

TEST(Cp1250, PolishLettersRoundTrip) {
    const std::wstring text = L"Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ €„”";
    auto bytes = WideToCp1250(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), text.size());
    EXPECT_EQ(static_cast<unsigned char>((*bytes)[2]), 0xBF);  // ż
    EXPECT_EQ(Cp1250ToWide(*bytes), text);
}

TEST(Cp1250, CharactersWithoutAFormAreRefusedOrReplaced) {
    EXPECT_FALSE(WideToCp1250(L"日本"));
    EXPECT_EQ(WideToCp1250Lossy(L"a日b"), "a?b");
    EXPECT_EQ(Cp1250ToWide("\x81"), L"\xFFFD");
}

TEST(Cp1250, BestFitKeepsWhatTheCodePageHasAndComesCloseForTheRest) {
    struct Case {
        const wchar_t* text;
        const wchar_t* fit;
    } cases[] = {
        {L"C:\\Dane\\Zażółć ĄĘ €„”", L"C:\\Dane\\Zażółć ĄĘ €„”"},  // all in the code page
        {L"España ñÑ Æsir œuvre Ÿ ſ", L"Espana nN AEsir oeuvre Y s"},
        {L"Åland Øresund Ĳssel ŉ Ħal Đuro", L"Aland Oresund IJssel n Hal Đuro"},
        {L"Москва Щука Объём ёж", L"Moskwa Szczuka Objom joż"},
        {L"Київ Ґанок Єва", L"Kijiw Ganok Jewa"},
        {L"日本 Ωmega \U0001F600", L"?? ?mega ?"},  // a pair of surrogates is one character
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1250BestFit(c.text), c.fit) << c.text;
        EXPECT_TRUE(WideToCp1250(Cp1250BestFit(c.text))) << c.text;
    }
}

TEST(Utf8, RoundTripAndMalformedInput) {
    const std::wstring text = L"łódź 日本 \U0001F600";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(Utf8ToWide("a\xC0\xAF" "b"), L"a\xFFFD\xFFFD" L"b");  // overlong '/'
    EXPECT_EQ(Utf8ToWide("\xE2\x82"), L"\xFFFD\xFFFD");               // cut short
}

TEST(Cp1250Exact, EveryByteStringComesBackUnchanged) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::wstring text = Cp1250ToWideExact(all);
    EXPECT_EQ(text[0x81], L'\x81');  // unused bytes keep their value, as Windows maps them
    EXPECT_EQ(text[0x98], L'\x98');
    EXPECT_EQ(text[0xB9], L'ą');
    EXPECT_EQ(WideToCp1250Exact(text), all);
    const std::wstring plain = Cp1250ToWide(all);  // agrees wherever a byte has a meaning
    for (int b = 0; b < 256; ++b) {
        if (plain[b] != L'\xFFFD') {
            EXPECT_EQ(plain[b], text[b]) << b;
        }
    }
}

TEST(Cp1250Exact, CharactersWithoutAByteAreRefusedWithTheirPosition) {
    size_t bad = 99;
    EXPECT_FALSE(WideToCp1250Exact(L"ab\x0080", &bad));  // U+0080 has no byte (0x80 is €)
    EXPECT_EQ(bad, 2u);
    EXPECT_FALSE(WideToCp1250Exact(L"日", &bad));
    EXPECT_EQ(bad, 0u);
    EXPECT_FALSE(WideToCp1250Exact(L"x\xFFFD"));
    EXPECT_EQ(WideToCp1250Exact(L"Zażółć €"), WideToCp1250(L"Zażółć €"));
}
