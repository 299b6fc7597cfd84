// Other programs read what we write, and we read what they write, the same
// way: cabextract, 7-Zip and gcab (native), and the tevcab tool itself.
#include "cab_test_util.h"
#include "shell_util.h"
#include "cabinet/cab_format.h"
#include "cabinet/cab_reader.h"
#include "cabinet/cab_writer.h"
#include "cabinet/file_target.h"
#include "cabinet/stored_name.h"
#include "util/cp1250.h"

#include <gtest/gtest.h>

#include <map>

namespace fs = std::filesystem;

namespace {

// Every regular file under root, by its path relative to root.
std::map<std::string, std::vector<uint8_t>> Tree(const fs::path& root) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files[e.path().lexically_relative(root).string()] = ReadBytes(e.path());
    return files;
}

// The tree every interop test stores: names in UTF-8 (stored with the UTF-8
// flag, so every reader shows the same bytes), empty files, data larger than
// one folder, many small files.
fs::path MakeTree(const TempDir& dir, bool many) {
    const fs::path root = dir / "dane";
    WriteBytes(root / "pusty", {});
    WriteText(root / "a.txt", "abc");
    WriteBytes(root / "sub" / "日本語 Ελληνικά ąę.txt", TextBytes(70000, 1));
    WriteBytes(root / "sub" / "duży.txt", TextBytes(2'500'000, 2));
    WriteBytes(root / "sub" / "losowy.bin", RandomBytes(600'000, 3));
    if (many)
        for (int i = 0; i < 2000; ++i) WriteBytes(root / "male" / ("p" + std::to_string(i)), TextBytes(i % 300, i));
    return root;
}

std::vector<CabSource> Sources(const fs::path& root) {
    std::vector<CabSource> sources;
    for (const auto& [name, data] : Tree(root)) {
        std::wstring stored = Utf8ToWide(name);
        std::replace(stored.begin(), stored.end(), L'/', L'\\');
        sources.push_back({root / name, stored});
    }
    return sources;
}

// The tree as other readers write it out: names that fit Windows-1250 are
// stored in it (and come out as those bytes), others as flagged UTF-8.
std::map<std::string, std::vector<uint8_t>> AsOthersExtract(const std::map<std::string, std::vector<uint8_t>>& tree) {
    std::map<std::string, std::vector<uint8_t>> out;
    for (const auto& [name, data] : tree) out[EncodeStoredName(Utf8ToWide(name)).bytes] = data;
    return out;
}

class WrittenByUs : public testing::TestWithParam<std::string> {};

TEST_P(WrittenByUs, OthersReadIt) {
    TempDir dir;
    const fs::path root = MakeTree(dir, GetParam() == "mszip");
    const auto expected = AsOthersExtract(Tree(root));
    CabWriteOptions options;
    const std::string method = GetParam();
    options.compression = method == "none"    ? CabCompression{CabMethod::None, 0}
                          : method == "mszip" ? CabCompression{CabMethod::Mszip, 0}
                                              : CabCompression{CabMethod::Lzx, std::stoi(method.substr(4))};
    WriteCabinet(dir / "t.cab", Sources(root), options);

    std::string out;
    EXPECT_EQ(Shell("cabextract -q -d " + Q(dir / "cabextract") + " " + Q(dir / "t.cab"), &out), 0) << out;
    EXPECT_EQ(Tree(dir / "cabextract"), expected);
    out.clear();
    EXPECT_EQ(Shell("7zz t " + Q(dir / "t.cab"), &out), 0) << out;
    if (method == "none" || method == "mszip") {  // gcab has no LZX
        out.clear();
        fs::create_directories(dir / "gcab");
        EXPECT_EQ(Shell("cd " + Q(dir / "gcab") + " && gcab -x " + Q(dir / "t.cab"), &out), 0) << out;
        EXPECT_EQ(Tree(dir / "gcab"), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, WrittenByUs,
                         testing::Values("none", "mszip", "lzx:15", "lzx:16", "lzx:17", "lzx:18", "lzx:19", "lzx:20",
                                         "lzx:21"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), ':', '_');
                             return name;
                         });

TEST(WrittenByGcab, WeExtractWhatCabextractExtracts) {
    TempDir dir;
    MakeTree(dir, true);
    for (const char* flags : {"-c", "-cz"}) {
        SCOPED_TRACE(flags);
        const fs::path cab = dir / (std::string("g") + flags + ".cab");
        std::string out;
        ASSERT_EQ(Shell("cd " + Q(dir.path()) + " && gcab " + flags + " " + Q(cab) + " dane", &out), 0) << out;
        const fs::path theirs = dir / (std::string("cx") + flags), ours = dir / (std::string("our") + flags);
        ASSERT_EQ(Shell("cabextract -q -d " + Q(theirs) + " " + Q(cab)), 0);
        CabReader reader = CabReader::Open(cab);
        FileTarget target(ours);
        EXPECT_TRUE(reader.Extract(AllEntries(reader), target).empty());
        EXPECT_TRUE(reader.Test().empty());
        EXPECT_EQ(Tree(ours), Tree(theirs));
    }
}

TEST(Tevcab, CommandsAndExitCodes) {
    TempDir dir;
    const fs::path root = MakeTree(dir, false);
    const std::string tool = TEVCAB_PATH;
    std::string out;
    ASSERT_EQ(Shell(tool + " create -m lzx:16 " + Q(dir / "t.cab") + " " + Q(root), &out), 0) << out;
    out.clear();
    ASSERT_EQ(Shell(tool + " list " + Q(dir / "t.cab"), &out), 0);
    EXPECT_NE(out.find("   2500000 "), std::string::npos) << out;
    EXPECT_NE(out.find(" dane\\sub\\duży.txt\n"), std::string::npos) << out;
    EXPECT_EQ(Shell(tool + " test " + Q(dir / "t.cab")), 0);
    EXPECT_EQ(Shell(tool + " extract -C " + Q(dir / "all") + " " + Q(dir / "t.cab")), 0);
    EXPECT_EQ(Tree(dir / "all/dane"), Tree(root));
    EXPECT_EQ(Shell(tool + " extract -C " + Q(dir / "one") + " " + Q(dir / "t.cab") + " DANE/A.TXT"), 0);
    EXPECT_EQ(Tree(dir / "one").size(), 1u);

    out.clear();
    EXPECT_NE(Shell(tool + " extract -C " + Q(dir / "x") + " " + Q(dir / "t.cab") + " brak.txt", &out), 0);
    EXPECT_NE(out.find("brak.txt"), std::string::npos);
    out.clear();
    EXPECT_NE(Shell(tool + " list " + Q(dir / "nie-ma.cab"), &out), 0);
    EXPECT_NE(out.find("Nie można otworzyć"), std::string::npos) << out;
    EXPECT_NE(Shell(tool + " create -m lzx:22 " + Q(dir / "u.cab") + " " + Q(root)), 0);
    EXPECT_NE(Shell(tool + " frobnicate"), 0);
    out.clear();
    EXPECT_EQ(Shell(tool + " --help", &out), 0);
    EXPECT_NE(out.find("tevcab create"), std::string::npos);

    // A damaged archive fails the test command with a message.
    auto bytes = ReadBytes(dir / "t.cab");
    bytes[bytes.size() / 2] ^= 1;
    WriteBytes(dir / "bad.cab", bytes);
    out.clear();
    EXPECT_NE(Shell(tool + " test " + Q(dir / "bad.cab"), &out), 0);
    EXPECT_NE(out.find("uszkodzone"), std::string::npos) << out;
}

// The tool's two reading commands name the same entries with the same
// reasons for a crafted archive: folders over the same data, an entry
// without a name, and one sound entry, which alone reaches the disk.
TEST(Tevcab, TestAndExtractGiveOneVerdict) {
    TempDir dir;
    RawFolder shared;
    for (int b = 0; b < 2; ++b) shared.blocks.push_back(TextBytes(cab::kBlockSize, static_cast<uint32_t>(b)));
    RawFolder own;
    own.blocks.push_back(TextBytes(1000, 7));
    const std::vector<RawFolder> folders = {shared, RawFolder{{}, 0}, own};
    const std::vector<RawFile> files = {{"a.txt", 2 * cab::kBlockSize, 0, 0},
                                        {"b.txt", 2 * cab::kBlockSize, 0, 1},
                                        {"", 10, 0, 2},
                                        {"dobry.txt", 900, 100, 2}};
    WriteBytes(dir / "t.cab", RawCabinet(folders, files));
    const std::string tool = TEVCAB_PATH;
    std::string tested, extracted;
    EXPECT_NE(Shell("(" + tool + " test " + Q(dir / "t.cab") + " 2>&1 >/dev/null)", &tested), 0);
    EXPECT_NE(Shell("(" + tool + " extract -C " + Q(dir / "cel") + " " + Q(dir / "t.cab") + " 2>&1 >/dev/null)", &extracted), 0);
    EXPECT_EQ(tested, extracted);
    for (const char* part : {"tevcab: a.txt: ", "tevcab: b.txt: ", "tevcab: plik nr 3: ", "nie ma nazwy", "współdzielą"})
        EXPECT_NE(tested.find(part), std::string::npos) << part << "\n" << tested;
    const auto tree = Tree(dir / "cel");
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree.begin()->first, "dobry.txt");
}

}  // namespace
