// Restoring many entries in one pass: which keys fail, what is replaced.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "backup/extractentries.h"
#include "cabinet/cab_writer.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}
std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ExtractEntriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("extract_entries_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        Write(dir / "src" / "a.txt", "aaa");
        Write(dir / "src" / "b.txt", "bbb");
        Write(dir / "src" / "c.txt", "ccc");
        WriteCabinet(dir / "k.cab",
                     {{dir / "src" / "a.txt", L"a.txt"}, {dir / "src" / "b.txt", L"sub\\deeper\\b.txt"},
                      {dir / "src" / "c.txt", L"c.txt"}},
                     {}, {});
        out = dir / "out";
        fs::create_directories(out);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir, out;
};

TEST_F(ExtractEntriesTest, ExtractsTheKeysAndAsksBeforeReplacing) {
    Write(out / "c.txt", "old");
    std::vector<std::wstring> asked;
    auto failed = ExtractEntries((dir / "k.cab").wstring(), out.wstring(),
                                 {L"A.TXT", L"sub\\deeper\\b.txt", L"c.txt", L"brak.txt"},
                                 [&](const std::wstring& path) {
                                     asked.push_back(fs::path(path).filename().wstring());
                                     return false;
                                 });
    EXPECT_TRUE(failed.empty());  // a key without an entry is no failure, a refusal neither
    EXPECT_EQ(Read(out / "a.txt"), "aaa");
    EXPECT_EQ(Read(out / "sub" / "deeper" / "b.txt"), "bbb");
    EXPECT_EQ(Read(out / "c.txt"), "old");
    EXPECT_EQ(asked, std::vector<std::wstring>{L"c.txt"});
}

TEST_F(ExtractEntriesTest, ADamagedArchiveNeverCostsTheFileOnDisk) {
    std::string bytes = Read(dir / "k.cab");
    bytes[bytes.size() - 3] ^= 0x5A;  // inside the last data block
    Write(dir / "k.cab", bytes);
    Write(out / "c.txt", "old");
    auto failed = ExtractEntries((dir / "k.cab").wstring(), out.wstring(), {L"c.txt"}, {});
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].first, L"c.txt");
    EXPECT_EQ(Read(out / "c.txt"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);  // no temporary left
}

TEST_F(ExtractEntriesTest, AnUnreadableArchiveFailsEveryKey) {
    Write(dir / "zly.cab", "to nie jest archiwum");
    auto failed = ExtractEntries((dir / "zly.cab").wstring(), out.wstring(), {L"a.txt", L"c.txt"}, {});
    ASSERT_EQ(failed.size(), 2u);
    EXPECT_EQ(failed[0].first, L"a.txt");
    EXPECT_FALSE(failed[0].second.empty());
    EXPECT_TRUE(fs::is_empty(out));
}

}  // namespace
