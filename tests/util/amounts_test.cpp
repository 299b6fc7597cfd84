#include "util/amounts.h"

#include <gtest/gtest.h>

#include "util/failure.h"

namespace {
constexpr Amount Zl(double z) { return static_cast<Amount>(z * 10000 + (z < 0 ? -0.5 : 0.5)); }
}  // namespace

TEST(Amounts, RoundHalfUp) {
    EXPECT_EQ(RoundHalfUp(0.5), 1);
    EXPECT_EQ(RoundHalfUp(-0.5), 0);
    EXPECT_EQ(RoundHalfUp(2.5), 3);
    EXPECT_EQ(RoundHalfUp(3.5), 4);
    EXPECT_EQ(RoundHalfUp(-2.5), -2);
    EXPECT_EQ(RoundHalfUp(1.4999), 1);
    EXPECT_EQ(RoundHalfUp(-1.6), -2);
    EXPECT_THROW(RoundHalfUp(3e9), Failure);
}

TEST(Amounts, RoundToGrosze) {
    EXPECT_EQ(RoundToGrosze(12345), 12300);
    EXPECT_EQ(RoundToGrosze(12350), 12400);
    EXPECT_EQ(RoundToGrosze(-12350), -12300);
    EXPECT_EQ(RoundToGrosze(-12351), -12400);
    EXPECT_EQ(RoundToGrosze(Zl(1000000.005)), Zl(1000000.005));  // above 999 999 zł: unchanged
    EXPECT_EQ(RoundToGrosze(Zl(999998.005)), Zl(999998.01));
}

TEST(Amounts, Texts) {
    EXPECT_EQ(AmountText(Zl(1234.56)), L"1 234,56 zł");
    EXPECT_EQ(AmountText(Zl(1.235)), L"1,24 zł");
    EXPECT_EQ(AmountText(Zl(-0.5)), L"-0,50 zł");
    EXPECT_EQ(AmountText(Zl(-1234567.891)), L"-1 234 567,89 zł");
    EXPECT_EQ(AmountTextExact(Zl(1.2345)), L"1,2345 zł");
    EXPECT_EQ(AmountTextExact(Zl(1.235)), L"1,235 zł");
    EXPECT_EQ(AmountTextExact(Zl(1.2)), L"1,20 zł");
    EXPECT_EQ(AmountPlain(Zl(1234.56)), L"1234,56");
    EXPECT_EQ(AmountPlain(Zl(0.005)), L"0,01");
    // Exact even where a double would lose the last digits.
    EXPECT_EQ(AmountPlain(922337203685477LL * 10000 + 5807), L"922337203685477,58");
}

TEST(Amounts, InWords) {
    EXPECT_EQ(AmountInWords(Zl(123.45)), L"sto dwadzieścia trzy 45/100");
    EXPECT_EQ(AmountInWords(Zl(-5)), L"minus pięć 00/100");
    EXPECT_EQ(AmountInWords(0), L"zero 00/100");
    EXPECT_EQ(AmountInWords(Zl(0.999)), L"jeden 00/100");
    EXPECT_EQ(AmountInWords(Zl(25000000.07)), L"dwadzieścia pięć milionów  07/100");
    EXPECT_EQ(AmountInWords(Zl(1234567890)), L"### za dużo! ;) ### 00/100");
    EXPECT_EQ(AmountInDigitWords(true, Zl(123.45)), L"jed*dwa*trz*zł*45/100");
    EXPECT_EQ(AmountInDigitWords(false, Zl(123.45)), L"jed*dwa*trz*zł*czt*pie*gr");
    EXPECT_EQ(AmountInDigitWords(false, Zl(0.05)), L"zer*zł*zer*pie*gr");
    EXPECT_EQ(AmountInDigitWords(true, Zl(1000000.9951)), L"jed*zer*zer*zer*zer*zer*jed*zł*00/100");
    EXPECT_THROW(AmountInDigitWords(true, Zl(-1)), Failure);
}

TEST(Amounts, Compare) {
    EXPECT_EQ(CompareAmountsText(Zl(100), Zl(95)), L"mniej więcej tyle samo");
    EXPECT_EQ(CompareAmountsText(Zl(100), Zl(80)), L"mniej");
    EXPECT_EQ(CompareAmountsText(Zl(100), Zl(120)), L"więcej");
    EXPECT_EQ(CompareAmountsText(0, 0), L"mniej");
    EXPECT_EQ(CompareAmountsText(Zl(-100), Zl(-99)), L"więcej");
}

TEST(Amounts, Parsing) {
    struct Case {
        const wchar_t* text;
        Amount expected;
    } cases[] = {
        {L"12.50", Zl(12.5)},         {L"12,50 zł", Zl(12.5)},      {L"1 234,56 zł", Zl(1234.56)},
        {L"1\u00A0234,56", Zl(1234.56)}, {L"45 gr", Zl(0.45)},      {L"1 zł 45 gr", Zl(145)},
        {L"-3,5", Zl(-3.5)},          {L"1,23456", Zl(1.2346)},     {L",5", Zl(0.5)},
        {L"922337203685477,5807", 9223372036854775807LL},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseAmountText(c.text, -1), c.expected) << c.text;
    for (const wchar_t* bad : {L"", L"abc", L"1,2,3", L"1-2", L"-", L"922337203685478"})
        EXPECT_EQ(ParseAmountText(bad, -1), -1) << bad;
    EXPECT_EQ(TextToAmount(L""), 0);
    EXPECT_EQ(TextToAmount(L"-922337203"), -922337203LL * 10000);
    try {
        TextToAmount(L"dużo");
        ADD_FAILURE();
    } catch (const Failure& f) {
        EXPECT_EQ(f.message(), L"dużo nie jest liczbą!");
    }
}
