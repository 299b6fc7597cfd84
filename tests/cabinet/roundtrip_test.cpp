// What the writer makes, the reader reads back: every method and LZX window,
// folder boundaries, empty files and archives, names in both encodings; and
// what damage does to an archive: an error, never a crash or wrong data.
#include "cab_test_util.h"
#include "cabinet/cab_error.h"
#include "cabinet/cab_format.h"
#include "cabinet/cab_reader.h"
#include "cabinet/cab_writer.h"
#include "cabinet/platform_file.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

struct Sample {
    std::wstring name;
    std::vector<uint8_t> data;
};

std::vector<Sample> Samples() {
    return {
        {L"pusty.txt", {}},
        {L"a.txt", {'a', 'b', 'c'}},
        {L"sub\\zażółć gęślą jaźń.txt", TextBytes(70000, 1)},
        {L"sub\\日本語\\Ελληνικά.bin", RandomBytes(100000, 2)},
        {L"duży.txt", TextBytes(2'300'000, 3)},   // more than one folder on its own
        {L"losowy.bin", RandomBytes(1'000'000, 4)},
        {L"koniec.txt", TextBytes(5000, 5)},
    };
}

std::vector<CabSource> Prepare(const TempDir& dir, const std::vector<Sample>& samples) {
    std::vector<CabSource> sources;
    for (size_t i = 0; i < samples.size(); ++i) {
        const fs::path path = dir / ("src" + std::to_string(i));
        WriteBytes(path, samples[i].data);
        sources.push_back({path, samples[i].name});
    }
    return sources;
}

class RoundTrip : public testing::TestWithParam<CabCompression> {};

TEST_P(RoundTrip, ReadsBackWhatWasWritten) {
    TempDir dir;
    const auto samples = Samples();
    CabWriteOptions options;
    options.compression = GetParam();
    size_t blocks = 0;
    WriteCabinet(dir / "t.cab", Prepare(dir, samples), options, [&](size_t c, size_t u) {
        EXPECT_LE(c, 0xFFFFu);
        EXPECT_LE(u, cab::kBlockSize);
        ++blocks;
    });
    EXPECT_FALSE(fs::exists(dir / "~t.cab.tevtmp"));

    CabReader reader = CabReader::Open(dir / "t.cab");
    ASSERT_EQ(reader.Entries().size(), samples.size());
    EXPECT_GE(reader.Folders().size(), 3u);  // the folder threshold splits the set
    for (const auto& folder : reader.Folders()) EXPECT_EQ(folder.compression, GetParam());
    EXPECT_EQ(reader.Compression(), GetParam());
    for (size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(reader.Entries()[i].name, samples[i].name);
        EXPECT_EQ(reader.Entries()[i].size, samples[i].data.size());
        EXPECT_NE(DosToDateTime({reader.Entries()[i].date, reader.Entries()[i].time}), 0);
    }

    MemoryTarget target;
    size_t decoded = 0;
    EXPECT_TRUE(reader.Extract(AllEntries(reader), target, [&](size_t, size_t) { ++decoded; }).empty());
    for (size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(target.done[i], samples[i].data) << i;
    EXPECT_EQ(decoded, blocks);  // one pass: every block decoded exactly once
    EXPECT_TRUE(reader.Test().empty());
}

TEST_P(RoundTrip, OneEntryDecodesOnlyItsFolder) {
    TempDir dir;
    const auto samples = Samples();
    CabWriteOptions options;
    options.compression = GetParam();
    size_t total = 0;
    WriteCabinet(dir / "t.cab", Prepare(dir, samples), options, [&](size_t, size_t) { ++total; });
    CabReader reader = CabReader::Open(dir / "t.cab");
    MemoryTarget target;
    size_t decoded = 0;
    const size_t last = samples.size() - 1;
    EXPECT_TRUE(reader.Extract({last}, target, [&](size_t, size_t) { ++decoded; }).empty());
    EXPECT_EQ(target.done[last], samples[last].data);
    EXPECT_LE(decoded, 1 + (samples[last].data.size() + samples[last - 1].data.size()) / cab::kBlockSize);
    EXPECT_LT(decoded * 10, total);
}

INSTANTIATE_TEST_SUITE_P(Methods, RoundTrip,
                         testing::Values(CabCompression{CabMethod::None, 0}, CabCompression{CabMethod::Mszip, 0},
                                         CabCompression{CabMethod::Lzx, 15}, CabCompression{CabMethod::Lzx, 16},
                                         CabCompression{CabMethod::Lzx, 17}, CabCompression{CabMethod::Lzx, 18},
                                         CabCompression{CabMethod::Lzx, 19}, CabCompression{CabMethod::Lzx, 20},
                                         CabCompression{CabMethod::Lzx, 21}));

TEST(Writer, ThreadsDoNotChangeTheArchive) {
    TempDir dir;
    const auto sources = Prepare(dir, Samples());
    for (CabCompression compression : {CabCompression{CabMethod::Mszip, 0}, CabCompression{CabMethod::Lzx, 19}}) {
        CabWriteOptions options;
        options.compression = compression;
        options.threads = 1;
        WriteCabinet(dir / "one.cab", sources, options);
        options.threads = 3;
        WriteCabinet(dir / "three.cab", sources, options);
        EXPECT_EQ(ReadBytes(dir / "one.cab"), ReadBytes(dir / "three.cab")) << CompressionText(compression).c_str();
    }
}

TEST(Writer, EmptyArchiveAndEmptyFiles) {
    TempDir dir;
    WriteCabinet(dir / "empty.cab", {}, {});
    CabReader empty = CabReader::Open(dir / "empty.cab");
    EXPECT_TRUE(empty.Entries().empty());
    EXPECT_TRUE(empty.Test().empty());

    WriteCabinet(dir / "zeros.cab", Prepare(dir, {{L"a", {}}, {L"b", {}}}), {});
    CabReader zeros = CabReader::Open(dir / "zeros.cab");
    MemoryTarget target;
    EXPECT_TRUE(zeros.Extract(AllEntries(zeros), target).empty());
    EXPECT_EQ(target.done.size(), 2u);
}

TEST(Writer, RefusesBeforeWritingAnything) {
    TempDir dir;
    // Two sparse files of 1 GiB each: 2 GiB in all.
    for (const char* name : {"big1", "big2"}) {
        WriteBytes(dir / name, {});
        fs::resize_file(dir / name, uint64_t{1} << 30);
    }
    try {
        WriteCabinet(dir / "big.cab", {{dir / "big1", L"big1"}, {dir / "big2", L"big2"}}, {});
        FAIL() << "no error";
    } catch (const Failure& f) {
        EXPECT_NE(f.message().find(L"2 GB"), std::wstring::npos);
    }
    EXPECT_FALSE(fs::exists(dir / "big.cab"));

    WriteBytes(dir / "x", {1});
    EXPECT_THROW(WriteCabinet(dir / "long.cab", {{dir / "x", std::wstring(256, L'a')}}, {}), Failure);
    EXPECT_FALSE(fs::exists(dir / "long.cab"));
}

TEST(Writer, MissingSourceFailsAndKeepsThePreviousArchive) {
    TempDir dir;
    WriteBytes(dir / "old.cab", {'o', 'l', 'd'});
    try {
        WriteCabinet(dir / "old.cab", {{dir / "nie-ma", L"nie-ma"}}, {});
        FAIL() << "no error";
    } catch (const CabError& e) {
        EXPECT_EQ(e.kind(), CabErrorKind::OpenSource);
    }
    EXPECT_EQ(ReadBytes(dir / "old.cab"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(Writer, ThousandsOfSmallFiles) {
    TempDir dir;
    std::vector<Sample> samples;
    for (int i = 0; i < 3000; ++i) samples.push_back({L"d" + std::to_wstring(i % 7) + L"\\f" + std::to_wstring(i), TextBytes(i % 500, i)});
    WriteCabinet(dir / "many.cab", Prepare(dir, samples), {});
    CabReader reader = CabReader::Open(dir / "many.cab");
    ASSERT_EQ(reader.Entries().size(), samples.size());
    MemoryTarget target;
    EXPECT_TRUE(reader.Extract(AllEntries(reader), target).empty());
    for (size_t i = 0; i < samples.size(); i += 97) EXPECT_EQ(target.done[i], samples[i].data);
}

// Damage anywhere is either harmless (unused fields) or reported; extracted
// data is never wrong, since every block carries a checksum.
class Damage : public testing::TestWithParam<CabCompression> {};

TEST_P(Damage, FlippedOrTruncatedArchivesNeverGiveWrongData) {
    TempDir dir;
    const std::vector<Sample> samples = {{L"a.txt", TextBytes(50000, 7)}, {L"b.bin", RandomBytes(40000, 8)},
                                         {L"c.txt", TextBytes(30000, 9)}};
    CabWriteOptions options;
    options.compression = GetParam();
    WriteCabinet(dir / "t.cab", Prepare(dir, samples), options);
    const auto good = ReadBytes(dir / "t.cab");

    const CabReader original(std::make_unique<MemorySource>(good));
    // The tables carry no checksum: an entry whose stored place changed is
    // not compared.
    auto unchanged = [&](const CabReader& reader, size_t i) {
        const CabEntry& a = reader.Entries()[i];
        const CabEntry& b = original.Entries()[i];
        return i < samples.size() && a.name == b.name && a.size == b.size && a.folderOffset == b.folderOffset &&
               a.folder == b.folder && reader.Folders()[a.folder].dataOffset == original.Folders()[b.folder].dataOffset;
    };
    auto check = [&](const std::vector<uint8_t>& bytes, bool mustFail) {
        try {
            CabReader reader(std::make_unique<MemorySource>(bytes));
            MemoryTarget target;
            const auto failures = reader.Extract(AllEntries(reader), target);
            for (const auto& [index, data] : target.done) {
                if (unchanged(reader, index)) {
                    EXPECT_EQ(data, samples[index].data);
                }
            }
            if (mustFail) {
                EXPECT_FALSE(failures.empty());
            }
        } catch (const CabError&) {
        }
    };
    const size_t dataStart = original.Folders()[0].dataOffset;
    for (size_t pos = 0; pos < good.size(); pos += (pos < dataStart ? 1 : 397)) {
        auto bad = good;
        bad[pos] ^= 0x5A;
        check(bad, pos >= dataStart);
    }
    for (size_t len = 0; len < good.size(); len += (len < dataStart ? 1 : 1000))
        check(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len)), len >= dataStart);
}

INSTANTIATE_TEST_SUITE_P(Methods, Damage,
                         testing::Values(CabCompression{CabMethod::None, 0}, CabCompression{CabMethod::Mszip, 0},
                                         CabCompression{CabMethod::Lzx, 17}));

}  // namespace
