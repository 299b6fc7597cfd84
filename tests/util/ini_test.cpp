#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "util/failure.h"
#include "util/ini.h"
#include "util/textcase.h"

namespace {

namespace fs = std::filesystem;

class Ini : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (std::string("archiwin-ini-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        file_ = (dir_ / "kopia.tev").wstring();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Put(const std::string& bytes) {
        std::ofstream(fs::path(file_), std::ios::binary) << bytes;
    }
    std::string Bytes() {
        std::ifstream in(fs::path(file_), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::wstring Read(const std::wstring& section, const std::wstring& key) {
        return IniReadString(file_, section, key, L"(brak)");
    }

    fs::path dir_;
    std::wstring file_;
};

TEST_F(Ini, ReadsWithTheProfileRules) {
    Put("; opis\r\n"
        "[Kopia]\r\n"
        "Dir = C:\\Dane\\Firma  \r\n"
        "Komentarz=\"  w cudzys\xB3owie  \"\r\n"
        "Apostrof='x'\r\n"
        "Niedomkniety=\"abc\r\n"
        "Pusty=\r\n"
        "Cytat=powiedzia\xB3 ~tak~\r\n"
        "dir=drugi\r\n"
        "\r\n"
        "[KOPIA]\r\n"
        "Inny=z drugiej sekcji\r\n"
        "[Za\xBF\xF3\xB3\xE6]\n"
        "Klucz=\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF\n");
    struct Case { std::wstring section, key, value; };
    for (const Case& c : std::initializer_list<Case>{
             {L"Kopia", L"Dir", L"C:\\Dane\\Firma"},
             {L"KOPIA", L"DIR", L"C:\\Dane\\Firma"},  // names without regard to case, first match wins
             {L"Kopia", L"Komentarz", L"  w cudzysłowie  "},
             {L"Kopia", L"Apostrof", L"x"},
             {L"Kopia", L"Niedomkniety", L"\"abc"},
             {L"Kopia", L"Pusty", L"(brak)"},  // present but empty reads as the default
             {L"Kopia", L"Cytat", L"powiedział \"tak\""},
             {L"Kopia", L"Inny", L"(brak)"},  // only the first section of a name is read
             {L"Kopia", L"Brak", L"(brak)"},
             {L"zażółć", L"klucz", L"ĄĆĘŁŃÓŚŹŻ"},
             {L"Inna", L"Dir", L"(brak)"},
         })
        EXPECT_EQ(Read(c.section, c.key), c.value) << c.section << L"/" << c.key;
    EXPECT_EQ(IniReadString(file_, L"Kopia", L"Cytat", L"x"), L"powiedział \"tak\"");
    EXPECT_EQ(IniReadString(file_, L"Kopia", L"Brak", L"~domyślny~"), L"\"domyślny\"");
}

TEST_F(Ini, MissingFileGivesDefaults) {
    EXPECT_EQ(Read(L"Kopia", L"Dir"), L"(brak)");
    EXPECT_EQ(IniReadInt(file_, L"Kopia", L"Liczba", 7), 7);
    EXPECT_TRUE(IniReadBool(file_, L"Kopia", L"Flaga", true));
}

TEST_F(Ini, LongValuesAreCut) {
    Put("[s]\r\nk=" + std::string(250, 'x') + "\r\n");
    EXPECT_EQ(Read(L"s", L"k"), std::wstring(200, L'x'));
    // Keys only this program reads come back whole.
    EXPECT_EQ(IniReadWhole(file_, L"s", L"k"), std::wstring(250, L'x'));
    EXPECT_EQ(IniReadWhole(file_, L"s", L"brak"), L"");
}

TEST_F(Ini, WriteChangesOnlyItsLine) {
    const std::string before = "; Komentarz \xB3\xB9\x63zki\r\n[Kopia]\r\nDir=stary\r\nWersja=1\r\n\r\n[Inna]\r\nDir=bez zmian\r\n";
    Put(before);
    ASSERT_TRUE(IniWriteString(file_, L"kopia", L"DIR", L"C:\\Nowy"));
    EXPECT_EQ(Bytes(), "; Komentarz \xB3\xB9\x63zki\r\n[Kopia]\r\nDir=C:\\Nowy\r\nWersja=1\r\n\r\n[Inna]\r\nDir=bez zmian\r\n");

    ASSERT_TRUE(IniWriteString(file_, L"Kopia", L"Komentarz", L"Łąka"));
    EXPECT_EQ(Bytes(),
              "; Komentarz \xB3\xB9\x63zki\r\n[Kopia]\r\nDir=C:\\Nowy\r\nWersja=1\r\nKomentarz=\xA3\xB9ka\r\n\r\n"
              "[Inna]\r\nDir=bez zmian\r\n");

    ASSERT_TRUE(IniWriteString(file_, L"Trzecia", L"k", L"v"));
    EXPECT_TRUE(Bytes().ends_with("Dir=bez zmian\r\n\r\n[Trzecia]\r\nk=v\r\n"));
    EXPECT_EQ(Read(L"Inna", L"Dir"), L"bez zmian");
}

TEST_F(Ini, WritesANewFileAndSectionsAfterAnUnterminatedLine) {
    ASSERT_TRUE(IniWriteString(file_, L"Kopia", L"Dir", L"C:\\"));
    EXPECT_EQ(Bytes(), "[Kopia]\r\nDir=C:\\\r\n");
    Put("[a]\r\nx=1");
    ASSERT_TRUE(IniWriteString(file_, L"a", L"y", L"2"));
    ASSERT_TRUE(IniWriteString(file_, L"b", L"z", L"3"));
    EXPECT_EQ(Bytes(), "[a]\r\nx=1\r\ny=2\r\n\r\n[b]\r\nz=3\r\n");
}

TEST_F(Ini, QuotesAndLineBreaksAreEscaped) {
    ASSERT_TRUE(IniWriteString(file_, L"Kopia", L"Komentarz", L"\"Firma\" i \"Dom\""));
    EXPECT_EQ(Bytes(), "[Kopia]\r\nKomentarz=~Firma~ i ~Dom~\r\n");
    EXPECT_EQ(Read(L"Kopia", L"Komentarz"), L"\"Firma\" i \"Dom\"");

    // A comment pasted with line breaks must not smuggle entries into the file.
    ASSERT_TRUE(IniWriteString(file_, L"Kopia", L"Komentarz", L"x\r\n[Kopia]\r\nDir=C:\\Windows"));
    EXPECT_EQ(Read(L"Kopia", L"Dir"), L"(brak)");
    EXPECT_EQ(Read(L"Kopia", L"Komentarz"), L"x  [Kopia]  Dir=C:\\Windows");
}

TEST_F(Ini, TextWithoutWindows1250FormIsRefused) {
    Put("[Kopia]\r\nDir=C:\\stary\r\n");
    EXPECT_THROW(IniWriteString(file_, L"Kopia", L"Dir", L"C:\\文件"), Failure);
    EXPECT_EQ(Bytes(), "[Kopia]\r\nDir=C:\\stary\r\n");
}

TEST_F(Ini, NumbersAndBooleans) {
    Put("[s]\r\na=42\r\nb=-7\r\nc= 12 szt.\r\nd=abc\r\ne=\r\nt1=Tak\r\nt2=YES\r\nt3=1\r\nt4=true\r\nf1=prawda\r\nf2=False\r\n");
    struct IntCase { const wchar_t* key; int value; };
    for (const IntCase& c : std::initializer_list<IntCase>{{L"a", 42}, {L"b", -7}, {L"c", 12}, {L"d", 0}, {L"e", 99}, {L"x", 99}})
        EXPECT_EQ(IniReadInt(file_, L"s", c.key, 99), c.value) << c.key;
    for (const wchar_t* key : {L"t1", L"t2", L"t3", L"t4"}) EXPECT_TRUE(IniReadBool(file_, L"s", key, false)) << key;
    for (const wchar_t* key : {L"f1", L"f2"}) EXPECT_FALSE(IniReadBool(file_, L"s", key, true)) << key;

    ASSERT_TRUE(IniWriteInt(file_, L"s", L"a", -12345));
    ASSERT_TRUE(IniWriteBool(file_, L"s", L"f1", true));
    EXPECT_EQ(IniReadInt(file_, L"s", L"a", 0), -12345);
    EXPECT_EQ(IniReadString(file_, L"s", L"f1", L""), L"True");
    ASSERT_TRUE(IniWriteBool(file_, L"s", L"f1", false));
    EXPECT_EQ(IniReadString(file_, L"s", L"f1", L""), L"False");
}

TEST_F(Ini, UnwritableFileReportsFalse) {
    EXPECT_FALSE(IniWriteString((dir_ / "brak" / "x.ini").wstring(), L"s", L"k", L"v"));
}

}  // namespace

namespace {

// Random files of INI-like lines: a write makes its key read back and leaves
// every other key's value as it was.
TEST(IniRandom, WriteChangesOneValueOnly) {
    namespace fs = std::filesystem;
    const std::wstring file = (fs::temp_directory_path() / "archiwin-ini-random.ini").wstring();
    const char* pieces[] = {"[Sekcja]", "[sekcja ]", "[Inna]", "[", "]", "klucz", "KLUCZ", "inny", "=", " = ",
                            "\"", "~", "'", "\xB3\xB9", "x", "\r\n", "\n", "\r\n", "\r\n", "\t"};
    const std::wstring sections[] = {L"Sekcja", L"Inna", L""}, keys[] = {L"klucz", L"inny", L"x"};
    unsigned seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        for (int n = next() % 40; n > 0; --n) bytes += pieces[next() % std::size(pieces)];
        std::ofstream(fs::path(file), std::ios::binary | std::ios::trunc) << bytes;

        std::map<std::pair<std::wstring, std::wstring>, std::wstring> before;
        for (const auto& s : sections)
            for (const auto& k : keys) before[{s, k}] = IniReadString(file, s, k, L"(brak)");
        ASSERT_TRUE(IniWriteString(file, L"Sekcja", L"klucz", L"wartość \"nowa\""));
        for (const auto& [name, value] : before) {
            std::wstring now = IniReadString(file, name.first, name.second, L"(brak)");
            bool written = SameTextNoCase(name.first, L"Sekcja") && SameTextNoCase(name.second, L"klucz");
            EXPECT_EQ(now, written ? L"wartość \"nowa\"" : value) << "file: " << bytes.c_str();
        }
    }
    fs::remove(file);
}

}  // namespace
