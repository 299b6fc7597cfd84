// The information file's values with characters outside Windows-1250: the
// closest text under the key older readers know, the exact one beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "backup/infovalues.h"
#include "util/ini.h"

namespace {

class InfoValues : public testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() / "archiwin_infovalues_test.tev";
        std::filesystem::remove(path_);
        file_ = path_.wstring();
    }
    void TearDown() override { std::filesystem::remove(path_); }
    std::string Bytes() const {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::filesystem::path path_;
    std::wstring file_;
};

TEST_F(InfoValues, TextOutsideTheCodePageIsKeptExactlyBesideItsClosestForm) {
    struct Case {
        const wchar_t* text;
        const char* stored;  // the key's bytes, as older readers see them
        bool exactKey;
    } cases[] = {
        {L"C:\\Dane\\Firma Łódź", "C:\\Dane\\Firma \xA3\xF3" "d\x9F", false},
        {L"C:\\Dane\\Москва", "C:\\Dane\\Moskwa", true},
        {L"Año nuevo, \"ñ\" ~ 100% 'x'", "Ano nuevo, ~n~ ~ 100% 'x'", true},
        // Longer than the 200 characters older readers take.
        {L"C:\\Папка\\Очень длинное имя папки для резервной копии данных бухгалтерии предприятия за весь год",
         nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text);
        std::filesystem::remove(path_);
        ASSERT_TRUE(WriteInfoValue(file_, L"kopia.cab", L"Dir", c.text));
        EXPECT_EQ(ReadInfoValue(file_, L"kopia.cab", L"Dir"), c.text);
        const std::string bytes = Bytes();
        if (c.stored) {
            EXPECT_NE(bytes.find(std::string("Dir=") + c.stored + "\r\n"), std::string::npos) << bytes;
        }
        const size_t exact = bytes.find("DirUnicode=");
        ASSERT_EQ(exact != std::string::npos, c.exactKey) << bytes;
        // The exact key is plain printable ASCII, so no reader stumbles on it.
        if (c.exactKey) {
            for (unsigned char b : bytes.substr(exact, bytes.find('\r', exact) - exact)) EXPECT_TRUE(b > 0x20 && b < 0x7F);
        }
    }
}

TEST_F(InfoValues, AnExactValueFromBeforeDoesNotOutliveANewPlainOne) {
    ASSERT_TRUE(WriteInfoValue(file_, L"kopia.cab", L"Komentarz", L"Привет"));
    ASSERT_TRUE(WriteInfoValue(file_, L"kopia.cab", L"Komentarz", L"Dzień dobry"));
    EXPECT_EQ(ReadInfoValue(file_, L"kopia.cab", L"Komentarz"), L"Dzień dobry");
}

TEST(InfoValuesText, MalformedExactValuesFallBackToTheKey) {
    for (const wchar_t* bad : {L"%", L"%4", L"%ZZ", L"a b", L"%C3", L"ł"})
        EXPECT_FALSE(TextOfExactValue(bad)) << bad;
    EXPECT_EQ(TextOfExactValue(L"%C5%82%C3%B3d%C5%BA"), L"łódź");
    EXPECT_FALSE(ExactValue(L"Zażółć gęślą jaźń"));  // the code page holds it
}

TEST(InfoValuesText, SectionNamesKeepToTheCodePageAndNeverEndEarly) {
    EXPECT_EQ(InfoSectionName(L"kopia_c.dane_261210_1200.cab"), L"kopia_c.dane_261210_1200.cab");
    EXPECT_EQ(InfoSectionName(L"kopia [2] Москва.cab"), L"kopia (2) Moskwa.cab");
}

}  // namespace
