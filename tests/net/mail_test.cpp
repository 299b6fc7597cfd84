#include <gtest/gtest.h>

#include "net/iso88592.h"
#include "net/mailmessage.h"
#include "util/calendar.h"
#include "util/cp1250.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

TEST(Iso88592, PolishLettersAndWhereTheyDifferFromWindows1250) {
    // The six letters that sit at other bytes in the two code pages, then the
    // twelve that share theirs.
    const struct {
        const wchar_t* letter;
        int iso;
        int win;
    } cases[] = {
        {L"ą", 0xB1, 0xB9}, {L"ś", 0xB6, 0x9C}, {L"ź", 0xBC, 0x9F}, {L"Ą", 0xA1, 0xA5}, {L"Ś", 0xA6, 0x8C},
        {L"Ź", 0xAC, 0x8F}, {L"ć", 0xE6, 0xE6}, {L"ę", 0xEA, 0xEA}, {L"ł", 0xB3, 0xB3}, {L"ń", 0xF1, 0xF1},
        {L"ó", 0xF3, 0xF3}, {L"ż", 0xBF, 0xBF}, {L"Ć", 0xC6, 0xC6}, {L"Ę", 0xCA, 0xCA}, {L"Ł", 0xA3, 0xA3},
        {L"Ń", 0xD1, 0xD1}, {L"Ó", 0xD3, 0xD3}, {L"Ż", 0xAF, 0xAF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideToIso88592(c.letter), Bytes({c.iso})) << c.iso;
        EXPECT_EQ(WideToCp1250(c.letter), Bytes({c.win})) << c.win;
        EXPECT_EQ(Iso88592ToWide(Bytes({c.iso})), c.letter);
    }
    EXPECT_EQ(WideToIso88592(L"Zażółć gęślą jaźń"),
              "Za" + Bytes({0xBF, 0xF3, 0xB3, 0xE6}) + " g" + Bytes({0xEA, 0xB6}) + "l" + Bytes({0xB1}) + " ja" + Bytes({0xBC, 0xF1}));
    EXPECT_FALSE(WideToIso88592(L"cena 5 €"));
    EXPECT_FALSE(WideToIso88592(L"„cytat”"));
    for (int b = 0; b < 256; ++b) {
        const std::string one = Bytes({b});
        EXPECT_EQ(WideToIso88592(Iso88592ToWide(one)), one) << b;
    }
}

TEST(MailAddress, OnlyPlainMailboxes) {
    for (const wchar_t* good : {L"aktualizacje@tev.example", L"jan.kowalski+aa@poczta.pl", L"a@127.0.0.1"}) EXPECT_TRUE(IsMailAddress(good)) << good;
    for (const wchar_t* bad : {L"", L"@tev.pl", L"a@", L"a@@b.pl", L"a b@c.pl", L"a@b.pl>\r\nRCPT TO:<x@y.pl", L"<a@b.pl>",
                               L"a@b_c.pl", L"żółw@b.pl", L".a@b.pl", L"a..b@c.pl", L"a,b@c.pl"})
        EXPECT_FALSE(IsMailAddress(bad)) << bad;
}

MailMessage Notice() {
    MailMessage m;
    m.from = {L"Archiwin", L"archiwin@tev.example"};
    m.to = {L"Studio TEV", L"aktualizacje@tev.example"};
    m.subject = L"Archiwin: Pobrano plik setup.exe (pliki/setup.exe)";
    m.body = {L"pobrano setup.exe z pliki/setup.exe (1234)", L"Archiwin 226.12.10.1", L"-"};
    m.date = L"Thu, 10 Dec 2026 14:41:09 +0100";
    return m;
}

TEST(ComposeMail, HeadersOfAPlainNotice) {
    const auto lines = ComposeMail(Notice());
    ASSERT_TRUE(lines);
    const std::vector<std::string> expected = {
        "Date: Thu, 10 Dec 2026 14:41:09 +0100",
        "From: Archiwin <archiwin@tev.example>",
        "To: Studio TEV <aktualizacje@tev.example>",
        "Subject: Archiwin: Pobrano plik setup.exe (pliki/setup.exe)",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=iso-8859-2",
        "Content-Transfer-Encoding: quoted-printable",
        "",
        "pobrano setup.exe z pliki/setup.exe (1234)",
        "Archiwin 226.12.10.1",
        "-",
    };
    EXPECT_EQ(*lines, expected);
}

TEST(ComposeMail, PolishTextGoesOutInIso88592) {
    MailMessage m = Notice();
    m.subject = L"Archiwin: Pobrano plik źródła.exe";
    m.body = {L"Ąą Śś Źź", L"zażółć"};
    const auto lines = *ComposeMail(m);
    EXPECT_EQ(lines[3], "Subject: =?iso-8859-2?Q?Archiwin=3A_Pobrano_plik_=BCr=F3d=B3a=2Eexe?=");
    EXPECT_EQ(lines[5], "Content-Type: text/plain; charset=iso-8859-2");
    EXPECT_EQ(lines[8], "=A1=B1 =A6=B6 =AC=BC");
    EXPECT_EQ(lines[9], "za=BF=F3=B3=E6");
}

TEST(ComposeMail, TextOutsideIso88592GoesOutInUtf8RatherThanMangled) {
    MailMessage m = Notice();
    m.body = {L"Cena: 5 € „netto”", L"ą"};
    const auto lines = *ComposeMail(m);
    EXPECT_EQ(lines[5], "Content-Type: text/plain; charset=utf-8");
    EXPECT_EQ(lines[8], "Cena: 5 =E2=82=AC =E2=80=9Enetto=E2=80=9D");
    EXPECT_EQ(lines[9], "=C4=85");
}

TEST(ComposeMail, HeaderValuesCannotAddHeaders) {
    MailMessage m = Notice();
    m.subject = L"Pobrano plik x.exe\r\nBcc: ofiara@example.com";
    m.to.name = L"Studio\nTEV";
    const auto lines = *ComposeMail(m);
    EXPECT_EQ(lines[2], "To: Studio TEV <aktualizacje@tev.example>");
    EXPECT_EQ(lines[3], "Subject: Pobrano plik x.exe Bcc: ofiara@example.com");
    for (const std::string& l : lines) EXPECT_EQ(l.find_first_of("\r\n"), std::string::npos);

    m = Notice();
    m.to.address = L"a@b.pl>\r\nRCPT TO:<x@y.pl";
    EXPECT_FALSE(ComposeMail(m));
    m = Notice();
    m.body = {L"jeden\r\ndwa"};
    EXPECT_EQ(ComposeMail(m)->back(), "jedendwa");
}

TEST(ComposeMail, DisplayNamesAreQuotedOrEncodedWhenTheyMustBe) {
    MailMessage m = Notice();
    m.from.name = L"Kowalski, Jan \"JK\"";
    m.to.name = L"Łukasz";
    const auto lines = *ComposeMail(m);
    EXPECT_EQ(lines[1], "From: \"Kowalski, Jan \\\"JK\\\"\" <archiwin@tev.example>");
    EXPECT_EQ(lines[2], "To: =?iso-8859-2?Q?=A3ukasz?= <aktualizacje@tev.example>");
    m.from.name.clear();
    EXPECT_EQ(ComposeMail(m)->at(1), "From: <archiwin@tev.example>");
}

TEST(EncodeHeaderText, LongTextIsFoldedIntoShortEncodedWords) {
    const std::wstring subject = L"Archiwin: Pobrano plik " + std::wstring(60, L'ż') + L".exe (pliki/ś.exe)";
    const std::string encoded = EncodeHeaderText(subject, "iso-8859-2");
    size_t start = 0;
    int words = 0;
    while (start < encoded.size()) {
        size_t end = encoded.find("\r\n ", start);
        const std::string word = encoded.substr(start, end == std::string::npos ? std::string::npos : end - start);
        EXPECT_LE(word.size(), 75u) << word;
        EXPECT_EQ(word.rfind("=?iso-8859-2?Q?", 0), 0u) << word;
        EXPECT_EQ(word.substr(word.size() - 2), "?=");
        ++words;
        start = end == std::string::npos ? encoded.size() : end + 3;
    }
    EXPECT_GT(words, 2);
    // A text that looks like an encoded word is encoded, not passed as one.
    EXPECT_EQ(EncodeHeaderText(L"=?utf-8?Q?x?=", "iso-8859-2"), "=?iso-8859-2?Q?=3D=3Futf-8=3FQ=3Fx=3F=3D?=");
}

TEST(QuotedPrintable, Lines) {
    EXPECT_EQ(QuotedPrintableLines(""), std::vector<std::string>{""});
    EXPECT_EQ(QuotedPrintableLines("a=b"), std::vector<std::string>{"a=3Db"});
    EXPECT_EQ(QuotedPrintableLines("koniec "), std::vector<std::string>{"koniec=20"});
    EXPECT_EQ(QuotedPrintableLines("tab\t"), std::vector<std::string>{"tab=09"});
    EXPECT_EQ(QuotedPrintableLines(".kropka"), std::vector<std::string>{".kropka"});
    const auto lines = QuotedPrintableLines(std::string(200, 'x') + Bytes({0xB1}));
    ASSERT_EQ(lines.size(), 3u);
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_EQ(lines[i].size(), 76u);
        EXPECT_EQ(lines[i].back(), '=');
    }
    EXPECT_EQ(lines.back(), std::string(50, 'x') + "=B1");
    // An escape is never split by a soft break.
    for (const std::string& l : QuotedPrintableLines(std::string(300, static_cast<char>(0xB1)))) {
        EXPECT_LE(l.size(), 76u);
        EXPECT_EQ((l.size() - (l.back() == '=' ? 1 : 0)) % 3, 0u) << l;
    }
}

TEST(MailDate, Rfc5322Form) {
    const DateTimeValue t = *EncodeDate(2026, 12, 10) + *EncodeTime(14, 41, 9);
    EXPECT_EQ(MailDate(t, 60), L"Thu, 10 Dec 2026 14:41:09 +0100");
    EXPECT_EQ(MailDate(*EncodeDate(2002, 9, 1), -150), L"Sun, 1 Sep 2002 00:00:00 -0230");
}

TEST(DotStuff, OnlyALeadingDotIsDoubled) {
    EXPECT_EQ(DotStuff("."), "..");
    EXPECT_EQ(DotStuff(".kropka"), "..kropka");
    EXPECT_EQ(DotStuff("a.b"), "a.b");
    EXPECT_EQ(DotStuff(""), "");
}

}  // namespace
