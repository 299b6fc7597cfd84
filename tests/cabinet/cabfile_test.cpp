// TCABFile as its callers use it: the names it stores, its counters and
// events, its error texts, and the extraction of one or many entries with its
// overwrite question, directories, dates and safety.
#include "cab_test_util.h"
#include "cabinet/cab_reader.h"
#include "cabinet/cabfile.h"
#include "cabinet/cab_writer.h"
#include "cabinet/platform_file.h"

#include <gtest/gtest.h>

#include <chrono>

namespace fs = std::filesystem;

namespace {

std::wstring W(const fs::path& p) { return WideFromPath(p); }

std::time_t UnixSeconds(const fs::path& p) {
    return std::chrono::system_clock::to_time_t(std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        std::chrono::file_clock::to_sys(fs::last_write_time(p))));
}

// An archive with a.txt, sub\b.txt, sub\deeper\c.txt (MSZIP).
fs::path MakeArchive(const TempDir& dir, TCABFile& cab) {
    WriteText(dir / "in/a.txt", "alfa");
    WriteBytes(dir / "in/b.txt", TextBytes(100000, 1));
    WriteText(dir / "in/c.txt", "gamma");
    auto add = [&](const char* name, const wchar_t* rel) {
        TCABFileEntry& e = cab.CABFileContents.Add();
        e.Name = W(dir / "in" / name);
        e.RelPath = rel;
    };
    add("a.txt", L"");
    add("b.txt", L"sub\\");
    add("c.txt", L"sub\\deeper");
    cab.CABFile = W(dir / "t.cab");
    cab.Compress();
    return dir / "t.cab";
}

TEST(TCABFile, StartsWithMszipAndTheSmallestWindow) {
    TCABFile cab;
    EXPECT_EQ(cab.CompressionType, typMSZIP);
    EXPECT_EQ(cab.LZXMemory, lzxLowest);
    EXPECT_EQ(cab.CABFileContents.Count(), 0);
    EXPECT_EQ(cab.CABFileContents.Owner(), &cab);
}

TEST(TCABFile, CompressStoresRelativeNamesAndCountsPerBlock) {
    TempDir dir;
    TCABFile cab;
    int calls = 0, lastPos = 0;
    cab.OnCompressProgress = [&](TCABFile* sender, int pos, int tot) {
        EXPECT_EQ(sender, &cab);
        EXPECT_EQ(tot, 100009);
        EXPECT_GT(pos, lastPos);
        lastPos = pos;
        ++calls;
    };
    MakeArchive(dir, cab);
    EXPECT_EQ(cab.TotalSize, 100009);
    EXPECT_EQ(cab.ProcessedSize, 100009);
    EXPECT_EQ(lastPos, 100009);
    EXPECT_EQ(calls, 4);  // 100009 bytes in one folder: four blocks
    EXPECT_GT(cab.CompressedSize, 0);
    EXPECT_LT(cab.CompressedSize, cab.ProcessedSize);

    cab.ReadContents();
    ASSERT_EQ(cab.CABFileContents.Count(), 3);
    EXPECT_EQ(cab.CABFileContents.Items(0).Name, L"a.txt");
    EXPECT_EQ(cab.CABFileContents.Items(1).Name, L"sub\\b.txt");  // no doubled backslash
    EXPECT_EQ(cab.CABFileContents.Items(2).Name, L"sub\\deeper\\c.txt");
    EXPECT_EQ(cab.CABFileContents.Items(1).Size, 100000);
    EXPECT_EQ(cab.CABFileContents.Items(0).RelPath, L"");
    EXPECT_TRUE(cab.CABFileContents.Contains(L"SUB\\B.TXT"));
    EXPECT_FALSE(cab.CABFileContents.Contains(L"b.txt"));
    EXPECT_EQ(cab.ArchiveCompressionText(), L"MSZIP");

    // The listed date is the source's last-write time, to the two seconds DOS keeps.
    EXPECT_NEAR(cab.CABFileContents.Items(0).FileDate, DosToDateTime(DosFromUnixLocal(UnixSeconds(dir / "in/a.txt"))),
                1e-9);
}

TEST(TCABFile, CompressionCodes) {
    struct Case {
        TCompressionType type;
        TLZXMemory memory;
        uint16_t code;
    };
    const Case cases[] = {{typNone, lzxLowest, 0},
                          {typMSZIP, lzxHighest, 1},
                          {typLZX, lzxLowest, 0x0F03},
                          {typLZX, lzxMedium, 0x1203},
                          {typLZX, lzxHighest, 0x1503},
                          {static_cast<TCompressionType>(7), lzxLowest, 1}};
    TempDir dir;
    WriteText(dir / "x.txt", "x");
    for (const auto& c : cases) {
        TCABFile cab;
        cab.CABFileContents.Add().Name = W(dir / "x.txt");
        cab.CompressionType = c.type;
        cab.LZXMemory = c.memory;
        cab.CABFile = W(dir / "c.cab");
        EXPECT_TRUE(cab.Compress());
        EXPECT_EQ(CabReader::Open(dir / "c.cab").Folders().at(0).typeCompress, c.code);
    }
}

TEST(TCABFile, MissingSourceRaisesTheOpeningErrorText) {
    TempDir dir;
    TCABFile cab;
    cab.CABFileContents.Add().Name = W(dir / "nie-ma.txt");
    cab.CABFile = W(dir / "t.cab");
    try {
        cab.Compress();
        FAIL() << "no error";
    } catch (const ECABFileError& e) {
        EXPECT_EQ(e.message(), L"Failure opening file to be stored in cabinet");
    }
    EXPECT_EQ(cab.TotalSize, 0);
    EXPECT_FALSE(fs::exists(dir / "t.cab"));
    EXPECT_EQ(CabFileErrorText(8), L"Failure compressing data");
    EXPECT_EQ(CabFileErrorText(42), L"Unknown error");
}

TEST(TCABFile, TwoGigabytesStopBeforeAnythingIsWritten) {
    TempDir dir;
    WriteBytes(dir / "big", {});
    fs::resize_file(dir / "big", uint64_t{2} << 30);  // sparse
    TCABFile cab;
    cab.CABFileContents.Add().Name = W(dir / "big");
    cab.CABFile = W(dir / "t.cab");
    EXPECT_THROW(cab.Compress(), Failure);
    EXPECT_FALSE(fs::exists(dir / "t.cab"));
}

TEST(TCABFile, ReadContentsOfSomethingElseLeavesTheListEmpty) {
    TempDir dir;
    WriteText(dir / "x.cab", "to nie jest archiwum");
    TCABFile cab;
    cab.CABFileContents.Add().Name = L"stale";
    cab.CABFile = W(dir / "x.cab");
    cab.ReadContents();
    EXPECT_EQ(cab.CABFileContents.Count(), 0);
    EXPECT_FALSE(cab.LastError.empty());
    cab.CABFile = W(dir / "nie-ma.cab");
    cab.ReadContents();
    EXPECT_EQ(cab.CABFileContents.Count(), 0);
    EXPECT_FALSE(cab.ExtractFile(L"a.txt"));
}

// The tables read by ReadContents serve the extractions that follow, but
// never those from another file put in the archive's place: one of another
// size, or one of the same size written later.
TEST(TCABFile, ExtractionsFollowTheArchiveReplacedAfterReadContents) {
    TempDir dir;
    TCABFile cab;
    const fs::path archive = MakeArchive(dir, cab);
    cab.ReadContents();
    ASSERT_EQ(cab.CABFileContents.Count(), 3);
    cab.TargetPath = W(dir / "cel");

    auto bytes = [](const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); };
    auto replace = [&](const char* text) {
        WriteText(dir / "nowe" / "a.txt", text);
        TCABFile other;
        other.CompressionType = typNone;  // the size follows the text's
        TCABFileEntry& e = other.CABFileContents.Add();
        e.Name = W(dir / "nowe" / "a.txt");
        other.CABFile = W(dir / "nowe.cab");
        other.Compress();
        // Written over the archive in place: the reader the first TCABFile
        // keeps holds the file open, and on Windows a file that is open
        // cannot be renamed over.
        const auto time = fs::last_write_time(archive);
        const std::vector<uint8_t> data = ReadBytes(dir / "nowe.cab");
        WriteBytes(archive, data);
        return time;
    };
    replace("inna, dłuższa treść");
    EXPECT_TRUE(cab.ExtractFile(L"a.txt"));
    EXPECT_EQ(ReadBytes(dir / "cel/a.txt"), bytes("inna, dłuższa treść"));
    EXPECT_TRUE(cab.ExtractFile(L"sub\b.txt"));  // no longer in the archive
    EXPECT_FALSE(fs::exists(dir / "cel/sub/b.txt"));

    const uintmax_t size = fs::file_size(archive);
    const auto before = replace("INNA, DŁUŻSZA TREŚĆ");
    fs::last_write_time(archive, before + std::chrono::seconds(2));
    fs::remove(dir / "cel/a.txt");
    EXPECT_TRUE(cab.ExtractFile(L"a.txt"));
    EXPECT_EQ(ReadBytes(dir / "cel/a.txt"), bytes("INNA, DŁUŻSZA TREŚĆ"));
    EXPECT_EQ(fs::file_size(archive), size) << "the second archive was meant to be as large as the first";
}

TEST(TCABFile, ExtractCreatesDirectoriesSetsTheDateAndReportsProgress) {
    TempDir dir;
    TCABFile cab;
    MakeArchive(dir, cab);
    cab.TargetPath = W(dir / "cel");  // no trailing separator, does not exist yet
    std::vector<int> positions;
    cab.OnDecompressProgress = [&](TCABFile*, const std::wstring& name, int pos, int tot) {
        EXPECT_EQ(name, L"sub\\b.txt");
        EXPECT_EQ(tot, 100000);
        positions.push_back(pos);
    };
    EXPECT_TRUE(cab.ExtractFile(L"SUB\\b.TXT"));
    EXPECT_EQ(ReadBytes(dir / "cel/sub/b.txt"), TextBytes(100000, 1));
    EXPECT_EQ(positions, (std::vector<int>{32764, 65532, 98300, 100000}));  // b.txt starts 4 bytes into its folder
    EXPECT_EQ(cab.CurrentFileName, L"sub\\b.txt");
    EXPECT_EQ(cab.CurrentWritten, 100000);

    cab.OnDecompressProgress = nullptr;
    EXPECT_TRUE(cab.ExtractFile(L"sub\\deeper\\c.txt"));
    EXPECT_EQ(ReadBytes(dir / "cel/sub/deeper/c.txt"), std::vector<uint8_t>({'g', 'a', 'm', 'm', 'a'}));
    // The extracted file's time is the stored one: the source's, to two seconds.
    EXPECT_EQ(UnixSeconds(dir / "cel/sub/deeper/c.txt"), UnixFromDosLocal(DosFromUnixLocal(UnixSeconds(dir / "in/c.txt"))));

    // A name that is not there: the pass completes, nothing is written.
    EXPECT_TRUE(cab.ExtractFile(L"brak.txt"));
    EXPECT_FALSE(fs::exists(dir / "cel/brak.txt"));
}

TEST(TCABFile, OverwriteQuestionDecides) {
    TempDir dir;
    TCABFile cab;
    MakeArchive(dir, cab);
    cab.TargetPath = W(dir / "cel") + L"/";
    WriteText(dir / "cel/a.txt", "stary");
    std::wstring asked;
    bool answer = false;
    cab.OnOverWriteFile = [&](TCABFile*, const std::wstring& path, bool& allow) {
        asked = path;
        allow = answer;
    };
    EXPECT_TRUE(cab.ExtractFile(L"a.txt"));
    EXPECT_EQ(asked, W(fs::absolute(dir / "cel/a.txt")));
    EXPECT_EQ(ReadBytes(dir / "cel/a.txt"), std::vector<uint8_t>({'s', 't', 'a', 'r', 'y'}));
    answer = true;
    EXPECT_TRUE(cab.ExtractFile(L"a.txt"));
    EXPECT_EQ(ReadBytes(dir / "cel/a.txt"), std::vector<uint8_t>({'a', 'l', 'f', 'a'}));
}

TEST(TCABFile, DamagedEntryKeepsTheExistingFile) {
    TempDir dir;
    TCABFile cab;
    const fs::path archive = MakeArchive(dir, cab);
    auto bytes = ReadBytes(archive);
    bytes[bytes.size() - 100] ^= 0xFF;  // inside the data of the last block
    WriteBytes(archive, bytes);
    WriteText(dir / "cel/sub/b.txt", "poprzednia wersja");
    cab.TargetPath = W(dir / "cel");
    EXPECT_FALSE(cab.ExtractFile(L"sub\\b.txt"));
    EXPECT_FALSE(cab.LastError.empty());
    EXPECT_EQ(ReadBytes(dir / "cel/sub/b.txt").size(), 17u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "cel/sub"), fs::directory_iterator()), 1);
}

TEST(TCABFile, NamesThatLeaveTheTargetAreRefused) {
    TempDir dir;
    WriteText(dir / "x", "zło");
    std::vector<CabSource> sources;
    for (const wchar_t* name : {L"..\\zly.txt", L"\\zly.txt", L"C:\\zly.txt", L"sub\\..\\..\\zly.txt"})
        sources.push_back({dir / "x", name});
    sources.push_back({dir / "x", L"CON"});
    WriteCabinet(dir / "evil.cab", sources, {});
    TCABFile cab;
    cab.CABFile = W(dir / "evil.cab");
    cab.TargetPath = W(dir / "cel/wewn");
    for (size_t i = 0; i + 1 < sources.size(); ++i) {
        EXPECT_FALSE(cab.ExtractFile(sources[i].storedName)) << i;
        EXPECT_NE(cab.LastError.find(L"poza folderem"), std::wstring::npos);
    }
    EXPECT_FALSE(fs::exists(dir / "zly.txt"));
    EXPECT_FALSE(fs::exists(dir / "cel/zly.txt"));
    EXPECT_TRUE(cab.ExtractFile(L"con"));
    EXPECT_TRUE(fs::exists(dir / "cel/wewn/_CON"));
}

TEST(TCABFile, ManyEntriesInOnePassAskBeforeReplacing) {
    TempDir dir;
    TCABFile cab;
    MakeArchive(dir, cab);
    cab.TargetPath = W(dir / "cel");
    WriteText(dir / "cel/sub/deeper/c.txt", "stary");
    std::vector<std::wstring> asked;
    cab.OnOverWriteFile = [&](TCABFile*, const std::wstring& path, bool& allow) {
        asked.push_back(fs::path(path).filename().wstring());
        allow = false;
    };
    // A name without an entry is no failure, a refused replacement neither.
    EXPECT_TRUE(cab.ExtractFiles({L"A.TXT", L"sub\\b.txt", L"sub\\deeper\\c.txt", L"brak.txt"}).empty());
    EXPECT_TRUE(cab.LastError.empty());
    EXPECT_EQ(ReadBytes(dir / "cel/a.txt"), std::vector<uint8_t>({'a', 'l', 'f', 'a'}));
    EXPECT_EQ(ReadBytes(dir / "cel/sub/b.txt"), TextBytes(100000, 1));
    EXPECT_EQ(ReadBytes(dir / "cel/sub/deeper/c.txt"), std::vector<uint8_t>({'s', 't', 'a', 'r', 'y'}));
    EXPECT_EQ(asked, std::vector<std::wstring>{L"c.txt"});
}

TEST(TCABFile, ManyEntriesFromADamagedArchiveFailOneByOneAndKeepTheFilesOnDisk) {
    TempDir dir;
    TCABFile cab;
    const fs::path archive = MakeArchive(dir, cab);
    auto bytes = ReadBytes(archive);
    bytes[bytes.size() - 100] ^= 0xFF;  // inside the data of the last block
    WriteBytes(archive, bytes);
    WriteText(dir / "cel/sub/deeper/c.txt", "poprzednia wersja");
    cab.TargetPath = W(dir / "cel");
    const auto failed = cab.ExtractFiles({L"sub\\deeper\\c.txt"});
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].first, L"sub\\deeper\\c.txt");
    EXPECT_EQ(cab.LastError, failed[0].second);
    EXPECT_EQ(ReadBytes(dir / "cel/sub/deeper/c.txt").size(), 17u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "cel/sub/deeper"), fs::directory_iterator()), 1);
}

TEST(TCABFile, AnUnreadableArchiveFailsEveryName) {
    TempDir dir;
    WriteText(dir / "zly.cab", "to nie jest archiwum");
    TCABFile cab;
    cab.CABFile = W(dir / "zly.cab");
    cab.TargetPath = W(dir / "cel");
    const auto failed = cab.ExtractFiles({L"a.txt", L"c.txt"});
    ASSERT_EQ(failed.size(), 2u);
    EXPECT_EQ(failed[0].first, L"a.txt");
    EXPECT_EQ(failed[1].first, L"c.txt");
    EXPECT_FALSE(failed[0].second.empty());
    EXPECT_FALSE(fs::exists(dir / "cel"));
}

}  // namespace
