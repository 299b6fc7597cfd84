// The rules of the message dialog's text: markers, stripping, the label's
// markup, buttons, the split into headline and body, error texts, prompts.
#include <gtest/gtest.h>

#include "interact/messagetext.h"

TEST(MessageText, IconsComeFromCaptionAndHeadline) {
    struct Case {
        const wchar_t* caption;
        const wchar_t* headline;
        MessageIcons icons;  // info, stop, exclamation, question
    } cases[] = {
        {L"Archiwin", L"Folder nie istnieje!", {false, false, true, false}},
        {L"Archiwin", L"Mocna kompresja?", {false, false, false, true}},
        {L"Archiwin", L"Gotowe", {}},
        {L"Archiwin", L"%Nic nie zaznaczyłeś!", {false, true, true, false}},
        {L"Archiwin", L"*Opcje kopii zapasowych", {true, false, false, false}},
        // "*" counts only first in the headline, "%" first in either.
        {L"*Archiwin", L"a*b%", {}},
        {L"%Błąd", L"Tekst", {false, true, false, false}},
        {L"Uwaga!", L"Czy na pewno?", {false, false, true, true}},
        {L"", L"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(IconsFor(c.caption, c.headline), c.icons) << c.caption << L" / " << c.headline;
}

TEST(MessageText, StrippingRemovesLeadingMarkersInTheirOrderAndKeepsOneCharacter) {
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"%Nic nie zaznaczyłeś!", L"Nic nie zaznaczyłeś!"},
        {L"!!*%%Tekst", L"Tekst"},
        {L"*Informacja", L"Informacja"},
        // Each run goes before the next one: a "!" after the "%" stays.
        {L"%!Tekst", L"!Tekst"},
        {L"*!Tekst", L"!Tekst"},
        {L"!!!", L"!"},
        {L"%", L"%"},
        {L"!%", L"%"},
        {L"", L""},
        {L"Czy?", L"Czy?"},
    };
    for (const auto& c : cases) EXPECT_EQ(StripMarkers(c.in), c.out) << c.in;
}

TEST(MessageText, MarkupHasTheBoldHeadlineAndTheBodyAfterABreak) {
    EXPECT_EQ(MessageMarkup(L"Folder nie istnieje!", L"C:\\x"), L"<b>Folder nie istnieje!</b><br>   C:\\x");
    EXPECT_EQ(MessageMarkup(L"Gotowe", L""), L"Gotowe");
    EXPECT_EQ(MessageMarkup(L"a\r\nb", L"c\r\nd\te\nf\rg"), L"<b>a<br>b</b><br>   c<br>d e f g");
    // A lone CR at the end, and LF CR, are plain control characters.
    EXPECT_EQ(FlattenLineBreaks(L"x\r"), L"x ");
    EXPECT_EQ(FlattenLineBreaks(L"x\n\r\ny"), L"x <br>y");
}

TEST(MessageText, ButtonsFollowTheQuestionMarkAndTheBody) {
    EXPECT_TRUE(IsQuestion(L"Mocna kompresja?"));
    EXPECT_FALSE(IsQuestion(L"Folder nie istnieje!"));
    EXPECT_TRUE(SecondButtonShown(L"Mocna kompresja?", L""));
    EXPECT_TRUE(SecondButtonShown(L"Folder nie istnieje!", L"C:\\x"));
    EXPECT_FALSE(SecondButtonShown(L"Gotowe", L""));
    // A destructive question always has the button that keeps the data.
    EXPECT_TRUE(SecondButtonShown(L"Gotowe", L"", true));
    EXPECT_EQ(SecondButtonName(L"Czy zastąpić plik?"), L"Nie");
    EXPECT_EQ(SecondButtonName(L"Zastąpię plik."), L"Anuluj");
}

TEST(MessageText, AskSplitsAtTheFirstLineBreakAndTrims) {
    struct Case {
        const wchar_t* text;
        const wchar_t* headline;
        const wchar_t* body;
    } cases[] = {
        {L"Folder nie istnieje!\r\nC:\\x", L"Folder nie istnieje!", L"C:\\x"},
        {L"  Jedna linia  ", L"Jedna linia", L""},
        {L"Nagłówek\r\n  treść\r\ndalej  ", L"Nagłówek", L"treść\r\ndalej"},
        {L"Nagłówek\r\n", L"Nagłówek", L""},
        {L"\r\nTylko treść", L"", L"Tylko treść"},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        auto [headline, body] = SplitMessage(c.text);
        EXPECT_EQ(headline, c.headline) << c.text;
        EXPECT_EQ(body, c.body) << c.text;
    }
}

TEST(MessageText, ErrorsGetTheStopMarkOnce) {
    EXPECT_EQ(ErrorText(L"Nic nie zaznaczyłeś!"), L"%Nic nie zaznaczyłeś!");
    EXPECT_EQ(ErrorText(L"%Już oznaczony"), L"%Już oznaczony");
    EXPECT_EQ(ErrorText(L"x"), L"x");
    EXPECT_EQ(ErrorText(L""), L"");
}

TEST(MessageText, HashPromptIsMasked) {
    EXPECT_EQ(InputPrompt(L"#Hasło:"), std::make_pair(std::wstring(L"Hasło:"), true));
    EXPECT_EQ(InputPrompt(L"Komentarz"), std::make_pair(std::wstring(L"Komentarz"), false));
    EXPECT_EQ(InputPrompt(L"#"), std::make_pair(std::wstring(), true));
    // Characters 2 to 200 of the prompt are kept.
    std::wstring longPrompt = L"#" + std::wstring(300, L'a');
    EXPECT_EQ(InputPrompt(longPrompt).first.size(), 199u);
}
