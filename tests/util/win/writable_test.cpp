#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "support/scripted_responder.h"
#include "util/win/writable.h"

namespace {

namespace fs = std::filesystem;

TEST(AttributeText, NamesTheAttributesInTheirOrder) {
    const struct {
        DWORD attributes;
        const wchar_t* text;
    } cases[] = {
        {0, L""},
        {FILE_ATTRIBUTE_ARCHIVE, L"Plik archiwalny. "},
        {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN,
         L"Plik ukryty. Plik tylko do odczytu. Plik folderu. "},
        {FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE,
         L"Plik systemowy. Plik archiwalny. Plik skompresowany. "},
    };
    for (const auto& c : cases) EXPECT_EQ(AttributeText(c.attributes), c.text) << c.attributes;
}

class Writable : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / "archiwin-writable";
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / L"Faktury.dat").wstring();
        std::ofstream(fs::path(path_), std::ios::binary) << "dane";
    }
    void TearDown() override {
        SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(dir_);
    }
    DWORD Attributes() const { return GetFileAttributesW(path_.c_str()); }

    fs::path dir_;
    std::wstring path_;
};

TEST_F(Writable, AsksOnlyWhenAnAttributeForbidsWriting) {
    ScriptedResponder script;
    EXPECT_TRUE(EnsureWritable((dir_ / L"brak.dat").wstring()));
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(EnsureWritable(path_));
    EXPECT_TRUE(script.shown.empty());
}

TEST_F(Writable, ClearsTheAttributesOnYes) {
    for (DWORD blocking : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        SetFileAttributesW(path_.c_str(), blocking | FILE_ATTRIBUTE_ARCHIVE);
        ScriptedResponder script;
        script.Answer(1).Answer(1);
        EXPECT_TRUE(EnsureWritable(path_)) << blocking;
        EXPECT_EQ(Attributes() & blocking, 0u) << blocking;
        ASSERT_EQ(script.shown.size(), 2u);
        EXPECT_EQ(script.shown[0].headline,
                  L"Atrybuty pliku uniemożliwiają zapis do niego. Taka sytuacja powstaje na przykład wtedy, gdy "
                  L"kopiowałeś pliki z płyty CD-ROM.");
        EXPECT_NE(script.shown[0].body.find(AttributeText(blocking | FILE_ATTRIBUTE_ARCHIVE) + L" " + path_),
                  std::wstring::npos)
            << script.shown[0].body;
        EXPECT_EQ(script.shown[1].headline, L"Atrybuty pliku zostały pomyślnie zmienione.");
        EXPECT_EQ(script.shown[1].message.key, L"wyzerowanEAtrybutyPLiku");
        std::ofstream(fs::path(path_), std::ios::binary | std::ios::app) << "+";  // writable again
        EXPECT_EQ(fs::file_size(path_), 5u);
        fs::resize_file(path_, 4);
    }
}

TEST_F(Writable, LeavesTheFileAloneOnNo) {
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    ScriptedResponder script;
    script.Answer(2);
    EXPECT_FALSE(EnsureWritable(path_));
    EXPECT_TRUE(Attributes() & FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_EQ(script.shown[1].headline,
              L"Niestety, nie udało się zmienić atrybutów pliku. Zapis nie będzie możliwy.");
    EXPECT_EQ(script.shown[1].body, path_);
}

}  // namespace
