// INI files keep Windows-1250 whatever the system's ANSI code page. Run this
// executable under a Polish (1250) and a Western (1252) locale: the results
// must be the same.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "util/ini.h"

namespace {

namespace fs = std::filesystem;

class IniCodePage : public testing::Test {
protected:
    void SetUp() override {
        RecordProperty("AnsiCodePage", static_cast<int>(GetACP()));
        std::printf("ANSI code page %u\n", GetACP());
        file_ = (fs::temp_directory_path() / L"archiwin-kodowanie.ini").wstring();
        DeleteFileW(file_.c_str());
    }
    void TearDown() override { DeleteFileW(file_.c_str()); }

    std::string Bytes() {
        std::ifstream in(fs::path(file_), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::wstring file_;
};

TEST_F(IniCodePage, PolishCommentRoundTripsAsWindows1250) {
    const std::wstring comment = L"Kopia przed zamknięciem roku: \"Żółć\" i ŚĆŹŃĄĘŁÓ";
    ASSERT_TRUE(IniWriteString(file_, L"C:\\Dane\\Łąka", L"Komentarz", comment));
    EXPECT_EQ(Bytes(), "[C:\\Dane\\\xA3\xB9ka]\r\nKomentarz=Kopia przed zamkni\xEA\x63iem roku: ~\xAF\xF3\xB3\xE6~ i "
                       "\x8C\xC6\x8F\xD1\xA5\xCA\xA3\xD3\r\n");
    EXPECT_EQ(IniReadString(file_, L"c:\\dane\\łąka", L"komentarz", L""), comment);
}

TEST_F(IniCodePage, FileWrittenByAPolishSystemReads) {
    std::ofstream(fs::path(file_), std::ios::binary) << "[Kopia]\r\nDir=C:\\Moje dokumenty\\Ksi\xEAgowo\\\r\n"
                                                        "Komentarz=Zesp\xF3\xB3 ma\xB3\x79\x63h \x9F\x64\x9F" "b\xB3\r\n";
    EXPECT_EQ(IniReadString(file_, L"KOPIA", L"dir", L""), L"C:\\Moje dokumenty\\Księgowo\\");
    EXPECT_EQ(IniReadString(file_, L"Kopia", L"Komentarz", L""), L"Zespół małych źdźbł");
}

// Under the Polish code page the platform's own profile reader is an oracle
// for the reading rules.
TEST_F(IniCodePage, ReadsLikeThePlatformUnderCodePage1250) {
    if (GetACP() != 1250) GTEST_SKIP() << "the platform reads INI files in the ANSI code page " << GetACP();
    std::ofstream(fs::path(file_), std::ios::binary) << "[Sekcja]\r\n"
                                                        "  Klucz  =  warto\x9C\xE6  \r\n"
                                                        "cudzyslow=\"  w \xB3rodku \"\r\n"
                                                        "apostrof='a'\r\n"
                                                        "klucz=drugi\r\n"
                                                        "[Za\xBF\xF3\xB3\xE6]\r\n"
                                                        "g\xEA\x9C\x6C\xB9=ja\x9F\xF1\r\n";
    struct Case { const wchar_t *section, *key; };
    for (const Case& c : std::initializer_list<Case>{{L"Sekcja", L"Klucz"}, {L"sekcja", L"KLUCZ"},
                                                     {L"Sekcja", L"cudzyslow"}, {L"Sekcja", L"apostrof"},
                                                     {L"Zażółć", L"gęślą"}, {L"Sekcja", L"brak"}}) {
        wchar_t platform[201];
        GetPrivateProfileStringW(c.section, c.key, L"(brak)", platform, 201, file_.c_str());
        EXPECT_EQ(IniReadString(file_, c.section, c.key, L"(brak)"), platform) << c.section << L"/" << c.key;
    }
}

}  // namespace
