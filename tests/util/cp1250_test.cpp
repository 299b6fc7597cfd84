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

TEST(Utf8, RoundTripAndMalformedInput) {
    const std::wstring text = L"łódź 日本 \U0001F600";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(Utf8ToWide("a\xC0\xAF" "b"), L"a\xFFFD\xFFFD" L"b");  // overlong '/'
    EXPECT_EQ(Utf8ToWide("\xE2\x82"), L"\xFFFD\xFFFD");               // cut short
}
