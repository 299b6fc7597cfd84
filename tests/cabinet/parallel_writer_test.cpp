// LZX folders compressed on several threads: the archive does not depend on
// the number of threads or on how much waited in memory or in temporary
// files; failures in any folder and a stop from the progress handler end the
// work cleanly, with nothing left behind.
#include "cab_test_util.h"
#include "cabinet/cab_error.h"
#include "cabinet/cab_reader.h"
#include "cabinet/cab_writer.h"
#include "cabinet/platform_file.h"

#include <gtest/gtest.h>

#include <thread>

namespace fs = std::filesystem;

namespace {

// Small folders make many of them cheaply; the larger files are several
// folders' worth of data each, so they wait, spill and stream.
constexpr uint32_t kThreshold = 64 << 10;

struct Input {
    std::vector<CabSource> sources;
    std::vector<std::vector<uint8_t>> data;
    uint64_t total = 0;
};

Input MakeInput(const TempDir& dir) {
    Input input;
    auto add = [&](std::vector<uint8_t> bytes) {
        const size_t i = input.sources.size();
        const fs::path path = dir / ("src" + std::to_string(i));
        WriteBytes(path, bytes);
        input.sources.push_back({path, L"dane\\plik" + std::to_wstring(i) + L".bin"});
        input.total += bytes.size();
        input.data.push_back(std::move(bytes));
    };
    for (uint32_t i = 0; i < 12; ++i) add(TextBytes(3000 + 7000 * i, i));
    add(TextBytes(400'000, 100));
    add({});
    add(RandomBytes(150'000, 101));
    for (uint32_t i = 0; i < 5; ++i) add(TextBytes(20'000, 200 + i));
    add(TextBytes(250'000, 102));
    add(RandomBytes(90'000, 103));
    return input;
}

CabWriteOptions Options(CabCompression compression, unsigned threads, size_t folderMemory) {
    CabWriteOptions options;
    options.compression = compression;
    options.folderThreshold = kThreshold;
    options.threads = threads;
    options.folderMemory = folderMemory;
    return options;
}

// Names of the writer's temporary files left in dir.
std::vector<std::string> Leftovers(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        if (entry.path().filename().string().starts_with("~")) names.push_back(entry.path().filename().string());
    return names;
}

TEST(ParallelWriter, ThreadsAndSpillingDoNotChangeTheArchive) {
    TempDir dir;
    const Input input = MakeInput(dir);
    for (CabCompression compression : {CabCompression{CabMethod::Lzx, 15}, CabCompression{CabMethod::Lzx, 21},
                                       CabCompression{CabMethod::Mszip, 0}, CabCompression{CabMethod::None, 0}}) {
        SCOPED_TRACE(CompressionText(compression));
        WriteCabinet(dir / "one.cab", input.sources, Options(compression, 1, 4 << 20));
        const auto reference = ReadBytes(dir / "one.cab");
        // 0: every block of a folder behind the head goes through its
        // temporary file; 40 KiB: a few blocks in memory, the rest spilled.
        for (unsigned threads : {2u, 4u})
            for (size_t folderMemory : {size_t{0}, size_t{40} << 10, size_t{4} << 20}) {
                WriteCabinet(dir / "many.cab", input.sources, Options(compression, threads, folderMemory));
                EXPECT_EQ(ReadBytes(dir / "many.cab"), reference) << threads << " threads, " << folderMemory;
            }
        CabReader reader = CabReader::Open(dir / "many.cab");
        EXPECT_GT(reader.Folders().size(), 10u);
        MemoryTarget target;
        EXPECT_TRUE(reader.Extract(AllEntries(reader), target).empty());
        for (size_t i = 0; i < input.data.size(); ++i) EXPECT_EQ(target.done[i], input.data[i]) << i;
    }
    EXPECT_TRUE(Leftovers(dir).empty());
}

TEST(ParallelWriter, AFailingFolderEndsTheWorkWhereverItIs) {
    TempDir dir;
    Input input = MakeInput(dir);
    const size_t last = input.sources.size() - 1;
    WriteBytes(dir / "old.cab", {'o', 'l', 'd'});
    // The first folder, one in the middle behind a large file, the last.
    for (size_t missing : {size_t{0}, size_t{13}, last})
        for (unsigned threads : {2u, 4u}) {
            SCOPED_TRACE(testing::Message() << "file " << missing << ", " << threads << " threads");
            std::vector<CabSource> sources = input.sources;
            sources[missing].path = dir / "nie-ma";
            try {
                WriteCabinet(dir / "old.cab", sources, Options({CabMethod::Lzx, 21}, threads, 0));
                ADD_FAILURE() << "no error";
            } catch (const CabError& e) {
                EXPECT_EQ(e.kind(), CabErrorKind::OpenSource);
                EXPECT_NE(e.message().find(L"nie-ma"), std::wstring::npos);
            }
            EXPECT_EQ(ReadBytes(dir / "old.cab"), (std::vector<uint8_t>{'o', 'l', 'd'}));
            EXPECT_TRUE(Leftovers(dir).empty());
        }
}

TEST(ParallelWriter, TwoFailingFoldersReportTheFirst) {
    TempDir dir;
    std::vector<CabSource> sources = MakeInput(dir).sources;
    sources[14].path = dir / "drugi";
    sources[3].path = dir / "pierwszy";
    try {
        WriteCabinet(dir / "a.cab", sources, Options({CabMethod::Lzx, 15}, 4, 0));
        FAIL() << "no error";
    } catch (const CabError& e) {
        EXPECT_NE(e.message().find(L"pierwszy"), std::wstring::npos);
    }
}

TEST(ParallelWriter, ProgressComesFromTheCallingThreadBlockByBlock) {
    TempDir dir;
    const Input input = MakeInput(dir);
    const auto caller = std::this_thread::get_id();
    size_t calls = 0, otherThread = 0;
    uint64_t uncompressed = 0, compressed = 0;
    WriteCabinet(dir / "a.cab", input.sources, Options({CabMethod::Lzx, 21}, 4, 40 << 10), [&](size_t c, size_t u) {
        ++calls;
        otherThread += std::this_thread::get_id() != caller;
        compressed += c;
        uncompressed += u;
    });
    EXPECT_EQ(otherThread, 0u);
    EXPECT_EQ(uncompressed, input.total);
    // One call per data block: each block adds its 8-byte header to the archive.
    CabReader reader = CabReader::Open(dir / "a.cab");
    size_t blocks = 0;
    for (const auto& folder : reader.Folders()) blocks += folder.blockCount;
    EXPECT_EQ(calls, blocks);
    EXPECT_LT(compressed, fs::file_size(dir / "a.cab"));
}

// A progress handler may stop the work (the user cancels) while folders
// behind the head are being compressed and spilled.
TEST(ParallelWriter, AnExceptionFromProgressStopsEverything) {
    TempDir dir;
    const Input input = MakeInput(dir);
    for (size_t stopAfter : {size_t{1}, size_t{20}}) {
        size_t calls = 0;
        EXPECT_THROW(WriteCabinet(dir / "a.cab", input.sources, Options({CabMethod::Lzx, 21}, 4, 0),
                                  [&](size_t, size_t) {
                                      if (++calls == stopAfter) throw Failure(L"Przerwano.");
                                  }),
                     Failure);
        EXPECT_FALSE(fs::exists(dir / "a.cab"));
        EXPECT_TRUE(Leftovers(dir).empty());
    }
}

}  // namespace
