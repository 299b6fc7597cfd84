#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "util/textfile.h"

TEST(TextFile, AppendLineKeepsWhatIsThere) {
    namespace fs = std::filesystem;
    fs::path file = fs::temp_directory_path() / "archiwin-appendline.log";
    fs::remove(file);
    EXPECT_FALSE(AppendLine(L"", L"x"));
    ASSERT_TRUE(AppendLine(file.wstring(), L"pierwsza"));
    ASSERT_TRUE(AppendLine(file.wstring(), L"zażółć"));
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              "pierwsza\r\nza\xBF\xF3\xB3\xE6\r\n");
    in.close();
    fs::remove(file);
}
