// The technical contact's rules: the program's date, the e-mail test, the
// required fields, the message document and the Simple MAPI texts.
#include "net/contact.h"

#include <gtest/gtest.h>

#include "util/calendar.h"
#include "util/datetext.h"

namespace {

DateTimeValue Day(int y, int m, int d) { return *EncodeDate(y, m, d); }

TEST(Contact, ProgramDateFromTheVersion) {
    const struct {
        const wchar_t* version;
        int year, month, day;  // year 0: no date
    } cases[] = {
        {L"202.10.9.0", 2002, 10, 9},
        {L"99.5.1.0", 1999, 5, 1},
        {L"226.12.10.1", 2026, 12, 10},
        {L"299.1.31.7", 2099, 1, 31},
        {L"205.3.4.0", 2005, 3, 4},
        {L"226.12.10", 2026, 12, 10},
        {L"5.1.0.0", 0, 0, 0},
        {L"300.1.1.0", 0, 0, 0},
        {L"199.1.1.0", 0, 0, 0},
        {L"226.13.1.0", 0, 0, 0},
        {L"226.2.30.0", 0, 0, 0},
        {L"226.0.1.0", 0, 0, 0},
        {L"226.12", 0, 0, 0},
        {L"", 0, 0, 0},
        {L"abc", 0, 0, 0},
        {L"226.12.10x", 0, 0, 0},
    };
    for (const auto& c : cases) {
        const auto date = ProgramDateFromVersion(c.version);
        if (c.year == 0) {
            EXPECT_FALSE(date) << c.version;
            continue;
        }
        ASSERT_TRUE(date) << c.version;
        EXPECT_EQ(*date, Day(c.year, c.month, c.day)) << c.version;
    }
}

TEST(Contact, OpenFortyFiveDaysAfterTheBuild) {
    const auto build = ProgramDateFromVersion(L"202.10.9.0");
    EXPECT_TRUE(ContactAvailable(build, Day(2002, 11, 22) + 0.99));
    EXPECT_FALSE(ContactAvailable(build, Day(2002, 11, 23)));
    EXPECT_TRUE(ContactAvailable(std::nullopt, Day(2002, 12, 30) + 0.5));
    EXPECT_FALSE(ContactAvailable(std::nullopt, Day(2002, 12, 31)));
    EXPECT_TRUE(ContactAvailable(ProgramDateFromVersion(L"226.12.10.1"), Day(2027, 1, 23)));
    EXPECT_FALSE(ContactAvailable(ProgramDateFromVersion(L"226.12.10.1"), Day(2027, 1, 24)));

    const std::wstring refusal = ContactRefusal(build, L"https://www.tev.example/");
    EXPECT_TRUE(refusal.starts_with(L"Zanim skorzystasz z funkcji kontaktu technicznego"));
    EXPECT_NE(refusal.find(L" Sprawdź też na https://www.tev.example/ pod hasłem CO NOWEGO.\r\n"), std::wstring::npos);
    EXPECT_TRUE(refusal.ends_with(L"\r\nData programu: " + LongDateText(Day(2002, 10, 9))));
    EXPECT_TRUE(ContactRefusal(std::nullopt, L"x").ends_with(L"\r\nData programu: -"));
}

TEST(Contact, MailTest) {
    const struct {
        const wchar_t* address;
        bool passes;
    } cases[] = {
        {L"jan@firma.pl", true},
        {L"  Jan.Kowalski@Firma.PL  ", true},
        {L"a@b.c", true},
        {L"jan@firmapl", false},
        {L"jan@firma.pl.", false},
        {L"jan @firma.pl", false},
        {L"jan@firma.pl,ola@firma.pl", false},
        {L"a.b", false},
        {L"@.p", false},
        {L"jan.firma.pl", false},
        {L"", false},
        {L"jan@DARMOWA-POCZTA.example", false},
    };
    for (const auto& c : cases) EXPECT_EQ(PassesMailTest(c.address), c.passes) << c.address;
}

TEST(Contact, RequiredFields) {
    UserValues v;
    v[0] = L"Jo";
    v[1] = L"Kot";
    v[3] = L"Dług 1";
    v[5] = L"Łódź";
    EXPECT_TRUE(RequiredFieldsFilled(v));
    for (size_t field : {0u, 1u, 3u, 5u}) {
        UserValues shorter = v;
        shorter[field].pop_back();
        EXPECT_FALSE(RequiredFieldsFilled(shorter)) << field;
        UserValues spaced = v;
        spaced[field] = L"   " + spaced[field].substr(1) + L"   ";
        EXPECT_FALSE(RequiredFieldsFilled(spaced)) << field;
    }
}

ContactDocument Sample(std::wstring message) {
    ContactDocument doc;
    doc.topic = TopicText(ContactTopic::Technical);
    doc.message = std::move(message);
    doc.user = {{L"Imię", L"Jan"}, {L"E-mail", L"<jan@firma.pl>"}};
    doc.info = {{L"program", L"Archiwin, Studio Tev"}, {L"RAM i dysk", L"8,0 GB,  wirtualnie"}};
    return doc;
}

TEST(Contact, TheUsersWordsGoInAsWritten) {
    const std::wstring words =
        L"Po kliknięciu <Zapisz> w [mTresc]\r\npojawia się #data i [DATA].\n...kropki\r\n"
        L"kolumny:   a    b\r\n\r\n\r\n\r\nkoniec";
    const std::wstring text = ContactPlainText(Sample(words), Day(2026, 12, 10));
    // The frame: the topic and today's date.
    EXPECT_NE(text.find(L"Studio TEV: Kontakt techniczny\r\nwygenerowano dnia: 10 grudnia 2026\r\n"),
              std::wstring::npos)
        << text;
    EXPECT_EQ(text.find(L"<"), text.find(L"<Zapisz>"));
    // The message, line ends made CR LF, nothing else changed.
    std::wstring expected = words;
    expected.replace(expected.find(L"[DATA].\n"), 8, L"[DATA].\r\n");
    EXPECT_NE(text.find(L"Treść wiadomości:\r\n" + expected + L"\r\n-\r\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"E-mail: <jan@firma.pl>\r\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"RAM i dysk: 8,0 GB,  wirtualnie\r\n"), std::wstring::npos) << text;

    const std::wstring markup = ContactMarkup(Sample(L"a <b> & [DATA]\r\nb"), Day(2026, 12, 10));
    EXPECT_NE(markup.find(L"wygenerowano dnia: <b>10 grudnia 2026</b>"), std::wstring::npos);
    EXPECT_NE(markup.find(L"a &lt;b&gt; &amp; [DATA]<br>b<hr>"), std::wstring::npos) << markup;
    EXPECT_NE(markup.find(L"E-mail:   <b>&lt;jan@firma.pl&gt;</b>"), std::wstring::npos) << markup;
}

TEST(Contact, TopicTexts) {
    EXPECT_EQ(TopicText(ContactTopic::Technical), L"Kontakt techniczny");
    EXPECT_EQ(TopicText(ContactTopic::ZlotaRybka), L"Zovir Ozeri");
    EXPECT_EQ(TopicText(ContactTopic::None), L"Kontakt ogólny");
}

TEST(Contact, SimpleMapiTexts) {
    EXPECT_EQ(PlainLatinLetters(L"Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ"), L"Zazolc gesla jazn ACELNOSZZ");
    EXPECT_EQ(MapiRecipientName(L"Pomoc <TEV>, Łódź: \"techniczna\"_1.0"), L"Pomoc TEV Lodz techniczna_1.0");
    EXPECT_EQ(MapiNoteText(L"Wiadomość\r\n\r\nłąka\nkoniec", L"", true), L"Wiadomosc\r\n \r\nlaka\r\nkoniec\r\n ");
    EXPECT_EQ(MapiNoteText(L"ł", L"dopisek", false), L"ł\r\ndopisek");
    EXPECT_EQ(MapiErrorText(0), L"MAPISendMail successfully sent the message.");
    EXPECT_EQ(MapiErrorText(14), L"A recipient did not appear in the address list; no message was sent.");
    EXPECT_EQ(MapiErrorText(4), L"nieznany błąd MAPI");
    EXPECT_EQ(MapiErrorText(26), L"nieznany błąd MAPI");
}

}  // namespace
