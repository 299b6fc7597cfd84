// Crafted archives get one verdict, entry by entry, with one reason, from
// every way into the reader: the archive test, extraction into memory and to
// disk, and the component the restore uses.
#include "cab_test_util.h"
#include "cabinet/cab_format.h"
#include "cabinet/cab_reader.h"
#include "cabinet/cabfile.h"
#include "cabinet/file_target.h"
#include "cabinet/platform_file.h"
#include "util/cp1250.h"

#include <gtest/gtest.h>

#include <map>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Block(uint8_t seed, size_t size = cab::kBlockSize) {
    std::vector<uint8_t> b(size);
    for (size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

RawFolder Folder(int blocks, uint8_t seed) {
    RawFolder f;
    for (int i = 0; i < blocks; ++i) f.blocks.push_back(Block(static_cast<uint8_t>(seed + i)));
    return f;
}

struct Crafted {
    const char* what;
    std::vector<RawFolder> folders;
    std::vector<RawFile> files;
    std::map<size_t, std::wstring> expected;  // failing entries and a part of their reason
};

std::vector<Crafted> Cases() {
    const std::wstring shared = L"foldery współdzielą dane";
    std::vector<Crafted> cases;
    {
        // Ten folders over the same three blocks, one entry each, and one
        // folder of its own: only that one is extracted.
        Crafted c{"folders sharing data", {Folder(3, 1)}, {}, {}};
        for (int i = 1; i < 10; ++i) c.folders.push_back(RawFolder{{}, 0});
        c.folders.push_back(Folder(2, 50));
        for (uint16_t i = 0; i < 10; ++i) {
            c.files.push_back({"kopia" + std::to_string(i), 3 * cab::kBlockSize, 0, i});
            c.expected[i] = shared;
        }
        c.files.push_back({"wlasny", 2 * cab::kBlockSize, 0, 10});
        cases.push_back(c);
    }
    {
        // A folder whose blocks run into the next folder's: the first is
        // refused, the second keeps its entries.
        Crafted c{"a folder running into the next", {Folder(3, 1), Folder(2, 9)}, {}, {}};
        c.folders[1].sameDataAs = 0;
        c.folders[1].startShift = static_cast<int32_t>(cab::kDataHeaderSize + cab::kBlockSize);
        c.files = {{"a", 3 * cab::kBlockSize, 0, 0}, {"b", 2 * cab::kBlockSize, 0, 1}};
        c.expected[0] = L"zachodzą na dane innego folderu";
        cases.push_back(c);
    }
    {
        // Entries over the same data (a writer may store identical files
        // once) are allowed; an entry past its folder's data is not.
        Crafted c{"overlapping entries and one past the end", {Folder(4, 1)}, {}, {}};
        c.files = {{"cala", 4 * cab::kBlockSize, 0, 0},
                   {"ta-sama", 4 * cab::kBlockSize, 0, 0},
                   {"srodek", 100000, 1000, 0},
                   {"za-daleko", 2 * cab::kBlockSize, 3 * cab::kBlockSize, 0}};
        c.expected[3] = L"wykracza poza dane swojego folderu";
        cases.push_back(c);
    }
    {
        Crafted c{"an entry without a name", {Folder(1, 1)}, {}, {}};
        c.files = {{"", 10, 0, 0}, {"dobry", 10, 10, 0}};
        c.expected[0] = L"plik nr 1 nie ma nazwy";
        cases.push_back(c);
    }
    {
        // The archive ends in the middle of the last block: what lies before
        // it is extracted, what reaches into it is not.
        Crafted c{"a truncated folder", {Folder(3, 1)}, {}, {}};
        c.files = {{"przed", 2 * cab::kBlockSize, 0, 0}, {"w-ucietym", 100, 2 * cab::kBlockSize + 5, 0}};
        c.expected[1] = L"wykraczają poza koniec pliku";
        cases.push_back(c);
    }
    return cases;
}

std::vector<uint8_t> Bytes(const Crafted& c) {
    auto bytes = RawCabinet(c.folders, c.files);
    if (std::string(c.what) == "a truncated folder") bytes.resize(bytes.size() - 1000);
    return bytes;
}

using Verdict = std::map<size_t, std::wstring>;

Verdict FromFailures(const std::vector<CabEntryFailure>& failures) {
    Verdict v;
    for (const auto& f : failures) {
        EXPECT_NE(f.index, CabEntryFailure::kNoEntry) << WideToUtf8(f.message);
        v[f.index] = f.message;
    }
    return v;
}

TEST(Verdict, EveryWayIntoTheReaderAgrees) {
    for (const Crafted& c : Cases()) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        WriteBytes(dir / "t.cab", Bytes(c));
        CabReader reader = CabReader::Open(dir / "t.cab");

        const Verdict tested = FromFailures(reader.Test());
        MemoryTarget memory;
        const Verdict inMemory = FromFailures(reader.Extract(AllEntries(reader), memory));
        FileTarget disk(dir / "cel");
        const Verdict onDisk = FromFailures(CabReader::Open(dir / "t.cab").Extract(AllEntries(reader), disk, {}, 4));
        Verdict fromComponent;
        TCABFile cab;
        cab.CABFile = WideFromPath(dir / "t.cab");
        cab.TargetPath = WideFromPath(dir / "cel2");
        std::vector<std::wstring> names;
        for (const auto& e : reader.Entries()) names.push_back(e.name);
        for (const auto& [name, reason] : cab.ExtractFiles(names)) {
            const auto at = std::find(names.begin(), names.end(), name);
            fromComponent[static_cast<size_t>(at - names.begin())] = reason;
        }

        EXPECT_EQ(tested, inMemory);
        EXPECT_EQ(tested, onDisk);
        EXPECT_EQ(tested, fromComponent);
        ASSERT_EQ(tested.size(), c.expected.size());
        for (const auto& [index, part] : c.expected) {
            ASSERT_TRUE(tested.count(index)) << index;
            EXPECT_NE(tested.at(index).find(part), std::wstring::npos) << WideToUtf8(tested.at(index));
        }
        // What passes is extracted whole; nothing else reaches the disk.
        for (size_t i = 0; i < reader.Entries().size(); ++i) {
            if (tested.count(i)) continue;
            EXPECT_EQ(memory.done.at(i).size(), reader.Entries()[i].size);
            EXPECT_EQ(ReadBytes(dir / "cel" / PathFromWide(reader.Entries()[i].name)), memory.done.at(i));
        }
        size_t written = 0;
        for (const auto& e : fs::recursive_directory_iterator(dir / "cel"))
            if (e.is_regular_file()) ++written;
        EXPECT_EQ(written, reader.Entries().size() - tested.size());
    }
}

TEST(Verdict, TheTestNamesDamageOutsideTheEntries) {
    // Two folders no entry uses, over the same data; and the end of a
    // folder's last block cut off, after its only entry. The archive is not
    // sound, yet no entry fails, and the test says so once for each fault.
    const std::vector<RawFolder> sharing = {Folder(1, 1), Folder(1, 2), RawFolder{{}, 1}};
    const std::vector<RawFolder> cut = {Folder(2, 1)};
    struct Case {
        std::vector<uint8_t> bytes;
        const wchar_t* reason;
    } cases[] = {{RawCabinet(sharing, {{"a", 100, 0, 0}}), L"współdzielą"},
                 {RawCabinet(cut, {{"a", 100, 0, 0}}), L"poza koniec pliku"}};
    cases[1].bytes.resize(cases[1].bytes.size() - 10);
    for (const Case& c : cases) {
        CabReader reader(std::make_unique<MemorySource>(c.bytes));
        const auto failures = reader.Test();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].index, CabEntryFailure::kNoEntry);
        EXPECT_NE(failures[0].message.find(c.reason), std::wstring::npos) << WideToUtf8(failures[0].message);
        MemoryTarget memory;
        EXPECT_TRUE(reader.Extract({0}, memory).empty());
        EXPECT_EQ(memory.done.at(0).size(), 100u);
    }
}

}  // namespace
