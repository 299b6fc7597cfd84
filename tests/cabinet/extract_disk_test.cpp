// Extraction to disk as the restore uses it: thousands of small files with
// few files open, folders written side by side exactly as one thread writes
// them, failures that leave nothing of their own behind and the user's files
// as they were, the overwrite questions in the archive's order, and a disk
// too small for what the archive would write.
#include "cab_test_util.h"
#include "cabinet/cab_error.h"
#include "cabinet/cab_format.h"
#include "cabinet/cab_reader.h"
#include "cabinet/cab_writer.h"
#include "cabinet/cabfile.h"
#include "cabinet/file_target.h"
#include "cabinet/platform_file.h"
#include "util/cp1250.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

std::wstring W(const fs::path& p) { return WideFromPath(p); }

// A stored name as a path relative to the target, in the platform's spelling.
std::wstring OnDisk(std::wstring stored) {
    std::replace(stored.begin(), stored.end(), L'\\', static_cast<wchar_t>(fs::path::preferred_separator));
    return stored;
}

struct DiskFile {
    std::vector<uint8_t> data;
    fs::file_time_type written;
    bool operator==(const DiskFile&) const = default;
};

// Every regular file under root by its relative path; temporary files of
// extraction anywhere under root fail the test.
std::map<std::wstring, DiskFile> Tree(const fs::path& root) {
    std::map<std::wstring, DiskFile> files;
    if (!fs::exists(root)) return files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        const std::wstring name = W(e.path().lexically_relative(root));
        EXPECT_FALSE(name.ends_with(L".tevtmp")) << "left behind: " << e.path().string();
        files[name] = {ReadBytes(e.path()), fs::last_write_time(e.path())};
    }
    return files;
}

size_t TempFilesUnder(const fs::path& root) {
    size_t n = 0;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.path().extension() == ".tevtmp") ++n;
    return n;
}

struct Source {
    std::wstring name;
    std::vector<uint8_t> data;
};

fs::path Archive(const TempDir& dir, const std::vector<Source>& files, CabCompression compression,
                 const std::string& name = "t.cab") {
    std::vector<CabSource> sources;
    for (size_t i = 0; i < files.size(); ++i) {
        const fs::path path = dir / "src" / std::to_string(i);
        WriteBytes(path, files[i].data);
        sources.push_back({path, files[i].name});
    }
    CabWriteOptions options;
    options.compression = compression;
    WriteCabinet(dir / name, sources, options);
    return dir / name;
}

// Small files around larger ones, so that the archive has several folders
// and every kind of entry: empty, a few bytes, several blocks, several MB.
std::vector<Source> MixedFiles(size_t small) {
    std::vector<Source> files;
    for (size_t i = 0; i < small; ++i)
        files.push_back({L"male\\d" + std::to_wstring(i % 13) + L"\\plik" + std::to_wstring(i) + L".ini",
                         TextBytes(1 + i % 40, static_cast<uint32_t>(i))});
    files.push_back({L"pusty.txt", {}});
    files.push_back({L"duze\\tekst.txt", TextBytes(2'500'000, 1)});
    files.push_back({L"duze\\losowe.bin", RandomBytes(1'200'000, 2)});
    for (size_t i = 0; i < small / 10; ++i)
        files.push_back({L"koniec\\k" + std::to_wstring(i), TextBytes(700 + i, static_cast<uint32_t>(i + 99))});
    return files;
}

#ifndef _WIN32
// Lowers the process's open-file limit for the scope.
class OpenFileLimit {
public:
    explicit OpenFileLimit(rlim_t limit) {
        getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        EXPECT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    }
    ~OpenFileLimit() { setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_;
};
#endif

TEST(ExtractToDisk, ThousandsOfSmallFilesWithFewFilesOpen) {
    TempDir dir;
    const auto files = MixedFiles(5000);
    const fs::path archive = Archive(dir, files, {CabMethod::Mszip, 0});
    ASSERT_GE(CabReader::Open(archive).Folders().size(), 3u);
    // Half of the files are there already, with other contents.
    for (size_t i = 0; i < files.size(); i += 2) WriteText(dir / "cel" / PathFromWide(OnDisk(files[i].name)), "stara treść");

    TCABFile cab;
    cab.CABFile = W(archive);
    cab.TargetPath = W(dir / "cel");
    size_t asked = 0;
    cab.OnOverWriteFile = [&](TCABFile*, const std::wstring&, bool& allow) {
        ++asked;
        allow = true;
    };
    std::vector<std::wstring> names;
    for (const auto& f : files) names.push_back(f.name);
    {
#ifndef _WIN32
        OpenFileLimit limit(64);
#endif
        const auto failed = cab.ExtractFiles(names);
        EXPECT_TRUE(failed.empty()) << (failed.empty() ? "" : WideToUtf8(failed.front().first + L": " + failed.front().second));
    }
    EXPECT_EQ(asked, (files.size() + 1) / 2);
    const auto tree = Tree(dir / "cel");
    ASSERT_EQ(tree.size(), files.size());
    for (const auto& f : files) {
        const std::wstring name = OnDisk(f.name);
        ASSERT_TRUE(tree.count(name)) << WideToUtf8(name);
        EXPECT_EQ(tree.at(name).data, f.data) << WideToUtf8(name);
    }
    EXPECT_EQ(TempFilesUnder(dir.path()), 0u);
}

// Entries that all cover the same megabytes (as a crafted archive has them)
// are all under way at once: files open and memory stay bounded all the same.
TEST(ExtractToDisk, OverlappingLargeEntriesStayWithinTheBounds) {
    TempDir dir;
    RawFolder folder;
    for (int b = 0; b < 64; ++b) folder.blocks.push_back(RandomBytes(cab::kBlockSize, b));
    std::vector<RawFile> files;
    const uint32_t size = 64 * cab::kBlockSize;
    for (int i = 0; i < 40; ++i) files.push_back({"kopia" + std::to_string(i) + ".bin", size - i, uint32_t(i), 0});
    WriteBytes(dir / "t.cab", RawCabinet({folder}, files));
    std::vector<uint8_t> all;
    for (const auto& b : folder.blocks) all.insert(all.end(), b.begin(), b.end());

    CabReader reader = CabReader::Open(dir / "t.cab");
    FileTarget target(dir / "cel");
    EXPECT_TRUE(reader.Extract(AllEntries(reader), target).empty());
    EXPECT_LE(target.PeakOpenFiles(), FileTarget::kMaxOpenFiles);
    EXPECT_LE(target.PeakBuffered(), FileTarget::kMemoryBound + cab::kBlockSize);
    for (int i = 0; i < 40; i += 13)
        EXPECT_EQ(ReadBytes(dir / "cel" / ("kopia" + std::to_string(i) + ".bin")),
                  std::vector<uint8_t>(all.begin() + i, all.begin() + i + size - i));
}

// What the callbacks saw, in their order.
struct Calls {
    std::vector<std::wstring> log;
    void Attach(FileTarget& target, bool allow) {
        target.onEntry = [this](const CabEntry& e) { log.push_back(L"begin " + e.name); };
        target.onWritten = [this](const CabEntry& e, uint64_t n) {
            log.push_back(L"written " + e.name + L" " + std::to_wstring(n));
        };
        target.allowOverwrite = [this, allow](const fs::path& p) {
            log.push_back(L"ask " + W(p.filename()));
            return allow;
        };
    }
};

TEST(ExtractToDisk, FoldersSideBySideGiveWhatOneThreadGives) {
    TempDir dir;
    auto files = MixedFiles(600);
    files.push_back({L"male\\d1\\plik1.ini", TextBytes(50, 5)});  // the same name again, in a later folder
    for (CabCompression method : {CabCompression{CabMethod::Mszip, 0}, CabCompression{CabMethod::Lzx, 17}}) {
        SCOPED_TRACE(WideToUtf8(CompressionText(method)));
        const fs::path archive = Archive(dir, files, method);
        std::map<unsigned, std::map<std::wstring, DiskFile>> trees;
        std::map<unsigned, std::vector<std::wstring>> logs;
        for (unsigned threads : {1u, 2u, 4u}) {
            const fs::path out = dir / ("out" + std::to_string(threads));
            fs::remove_all(out);
            // Some files exist already: questions, replacements, refusals.
            for (size_t i = 0; i < files.size(); i += 50) WriteText(out / PathFromWide(OnDisk(files[i].name)), "stary");
            CabReader reader = CabReader::Open(archive);
            FileTarget target(out);
            Calls calls;
            calls.Attach(target, true);
            size_t blocks = 0;
            EXPECT_TRUE(reader.Extract(AllEntries(reader), target, [&](size_t, size_t) { ++blocks; }, threads).empty());
            EXPECT_GT(blocks, 0u);
            trees[threads] = Tree(out);
            logs[threads] = std::move(calls.log);
        }
        EXPECT_EQ(trees[1].size(), files.size() - 1);
        EXPECT_EQ(trees[1][OnDisk(L"male\\d1\\plik1.ini")].data, files.back().data);  // the later entry of a name wins
        EXPECT_TRUE(trees[1] == trees[2]);
        EXPECT_TRUE(trees[1] == trees[4]);
        EXPECT_EQ(logs[1], logs[2]);
        EXPECT_EQ(logs[1], logs[4]);
    }
}

TEST(ExtractToDisk, AFailedEntryLeavesNothingOfItsOwnAndKeepsTheUsersFile) {
    TempDir dir;
    const std::vector<Source> files = {{L"nowy-maly.txt", TextBytes(5000, 1)},
                                       {L"nowy-duzy.bin", RandomBytes(3'000'000, 2)},
                                       {L"istniejacy.bin", RandomBytes(600'000, 3)},
                                       {L"ostatni.txt", TextBytes(100, 4)}};
    const fs::path archive = Archive(dir, files, {CabMethod::Mszip, 0});
    // Damage the last block of the first folder, where the large file is
    // well under way (megabytes of it written), and the first block of the
    // second, which holds the file that exists on disk and a new one.
    CabReader intact = CabReader::Open(archive);
    ASSERT_EQ(intact.Folders().size(), 2u);
    auto bytes = ReadBytes(archive);
    const uint32_t second = intact.Folders()[1].dataOffset;
    bytes[second - 50] ^= 0x55;
    bytes[second + 100] ^= 0x55;
    WriteBytes(dir / "zly.cab", bytes);

    for (unsigned threads : {1u, 4u}) {
        const fs::path out = dir / ("cel" + std::to_string(threads));
        WriteText(out / "istniejacy.bin", "moje dane");
        CabReader reader = CabReader::Open(dir / "zly.cab");
        FileTarget target(out);
        const auto failures = reader.Extract(AllEntries(reader), target, {}, threads);
        EXPECT_FALSE(failures.empty());
        std::set<size_t> failed;
        for (const auto& f : failures) failed.insert(f.index);
        const auto tree = Tree(out);
        for (size_t i = 0; i < files.size(); ++i) {
            const std::wstring name = files[i].name;
            if (!failed.count(i)) {
                EXPECT_EQ(tree.at(name).data, files[i].data) << WideToUtf8(name);
            } else if (name == L"istniejacy.bin") {
                EXPECT_EQ(tree.at(name).data, std::vector<uint8_t>({'m', 'o', 'j', 'e', ' ', 'd', 'a', 'n', 'e'}));
            } else {
                EXPECT_FALSE(tree.count(name)) << WideToUtf8(name) << " stays, half written";
            }
        }
        EXPECT_EQ(failed, (std::set<size_t>{1, 2, 3}));
        EXPECT_EQ(TempFilesUnder(out), 0u);
    }
}

TEST(ExtractToDisk, AProgressCallThatThrowsStopsEverythingAndLeavesNoPartialFile) {
    TempDir dir;
    const auto files = MixedFiles(400);
    const fs::path archive = Archive(dir, files, {CabMethod::Mszip, 0});
    for (unsigned threads : {1u, 4u}) {
        const fs::path out = dir / ("cel" + std::to_string(threads));
        WriteText(out / PathFromWide(OnDisk(files[3].name)), "stary");
        CabReader reader = CabReader::Open(archive);
        FileTarget target(out);
        int calls = 0;
        target.onWritten = [&](const CabEntry&, uint64_t) {
            if (++calls == 300) throw Failure(L"Przerwano.");
        };
        try {
            reader.Extract(AllEntries(reader), target, {}, threads);
            ADD_FAILURE() << "no stop";
        } catch (const Failure& f) {
            EXPECT_EQ(f.message(), L"Przerwano.");
        }
        // Whatever was written is whole; nothing temporary is left.
        const auto tree = Tree(out);
        EXPECT_LT(tree.size(), files.size());
        for (const auto& [name, file] : tree) {
            if (name == OnDisk(files[3].name) && file.data.size() == 5) continue;  // kept as it was
            auto it = std::find_if(files.begin(), files.end(), [&](const Source& s) { return OnDisk(s.name) == name; });
            ASSERT_NE(it, files.end());
            EXPECT_EQ(file.data, it->data) << WideToUtf8(name);
        }
        EXPECT_EQ(TempFilesUnder(out), 0u);
    }
}

TEST(ExtractToDisk, NotEnoughRoomIsSaidBeforeAnythingIsWritten) {
    TempDir dir;
    // 47 entries of 1 MB over the same data: 47 MB from an archive of 1 MB.
    RawFolder folder;
    for (int b = 0; b < 32; ++b) folder.blocks.push_back(std::vector<uint8_t>(cab::kBlockSize, uint8_t(b)));
    std::vector<RawFile> files;
    for (int i = 0; i < 47; ++i) files.push_back({"f" + std::to_string(i), 32 * cab::kBlockSize, 0, 0});
    WriteBytes(dir / "t.cab", RawCabinet({folder}, files));

    CabReader reader = CabReader::Open(dir / "t.cab");
    FileTarget target(dir / "cel" / "nowy");
    fs::path asked;
    target.freeSpace = [&](const fs::path& p) -> std::optional<uint64_t> {
        asked = p;
        return uint64_t{20} << 20;
    };
    try {
        reader.Extract(AllEntries(reader), target);
        ADD_FAILURE() << "no refusal";
    } catch (const CabError& e) {
        EXPECT_EQ(e.kind(), CabErrorKind::NoSpace);
        EXPECT_NE(e.message().find(L"Za mało miejsca na dysku"), std::wstring::npos);
        EXPECT_NE(e.message().find(L"47,0 MB"), std::wstring::npos) << WideToUtf8(e.message());
        EXPECT_NE(e.message().find(L"20,0 MB"), std::wstring::npos) << WideToUtf8(e.message());
    }
    EXPECT_FALSE(fs::exists(dir / "cel" / "nowy"));
    EXPECT_EQ(asked, fs::absolute(dir / "cel" / "nowy"));

    // Files that exist already do not count: 47 MB to replace fit anywhere.
    for (int i = 0; i < 47; ++i) WriteBytes(dir / "cel2" / ("f" + std::to_string(i)), {1});
    FileTarget replacing(dir / "cel2");
    replacing.freeSpace = [](const fs::path&) -> std::optional<uint64_t> { return uint64_t{20} << 20; };
    replacing.allowOverwrite = [](const fs::path&) { return false; };
    EXPECT_TRUE(reader.Extract(AllEntries(reader), replacing).empty());
    EXPECT_EQ(ReadBytes(dir / "cel2" / "f5"), std::vector<uint8_t>{1});
}

}  // namespace
