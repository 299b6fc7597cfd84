#include <gtest/gtest.h>

#include "cleanup/eraserscript.h"

namespace {

bool Has(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

}  // namespace

// Absolute quoted paths, "%" doubled, no change of folder, no short names.
TEST(EraserScript, PathsAreAbsoluteQuotedAndEscaped) {
    EraserScript s;
    s.files = {L"C:\\Programy TEV\\100% & (x) ^!.exe"};
    s.folder = L"C:\\Programy TEV";
    std::wstring text = EraserScriptText(s);
    EXPECT_TRUE(Has(text, L"del /f \"C:\\Programy TEV\\100%% & (x) ^!.exe\" <nul")) << text;
    EXPECT_TRUE(Has(text, L"rmdir \"C:\\Programy TEV\" <nul")) << text;
    EXPECT_FALSE(Has(text, L"cd ")) << text;
    EXPECT_FALSE(Has(text, L"~1")) << text;
    // Every line ends in CR LF, the last deletes the script.
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");
    EXPECT_TRUE(Has(text, L"del \"%~f0\" <nul >nul 2>&1\r\n"));
}

// Each file is tried again after a pause, a limited number of times, and a
// folder of that name is left alone.
TEST(EraserScript, RetriesWithAPauseAndALimit) {
    EraserScript s;
    s.files = {L"C:\\a\\p.exe", L"C:\\a\\q.dll"};
    s.attempts = 42;
    std::wstring text = EraserScriptText(s);
    for (const wchar_t* part : {L":plik0\r\n", L":dalej0\r\n", L":plik1\r\n", L":dalej1\r\n", L"goto plik1\r\n",
                                L"if %proby% geq 42 goto dalej1", L"ping -n 2", L"if exist \"C:\\a\\q.dll\\*\" goto dalej1"})
        EXPECT_TRUE(Has(text, part)) << part << L"\n" << text;
    EXPECT_FALSE(Has(text, L"rmdir"));
}

TEST(EraserScript, NothingToWriteGivesNoScript) {
    EXPECT_EQ(EraserScriptText({}), L"");
    for (const wchar_t* bad : {L"p.exe", L"..\\p.exe", L"C:\\a\\p\".exe", L"C:\\a\\p\r\n.exe"}) {
        EraserScript s;
        s.files = {L"C:\\a\\ok.exe", bad};
        EXPECT_EQ(EraserScriptText(s), L"") << bad;
    }
    EraserScript s;
    s.files = {L"C:\\a\\ok.exe"};
    s.folder = L"a";
    EXPECT_EQ(EraserScriptText(s), L"");
}
