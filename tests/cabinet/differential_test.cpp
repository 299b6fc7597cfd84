// Our reader against cabextract. Generated trees of awkward files (random
// bytes, text, long repeats, runs of zeros, x86 code full of E8 calls; sizes
// at the block and folder boundaries) are archived by our writer with every
// method and by gcab, extracted by cabextract and by us, and compared file by
// file: names, sizes, bytes, dates. Then the same kind of archives, damaged
// at random, with their block checksums and without them (so that damage
// reaches the decoders): our reader never crashes, whatever it delivers as
// complete is the original, and it agrees with cabextract where both succeed.
//
// The random parts run from a fixed seed; ARCHIWIN_DIFF_SEED and
// ARCHIWIN_DIFF_ROUNDS choose another seed and a longer run, and
// ARCHIWIN_DIFF_KEEP names a folder that keeps the archives on which
// cabextract and we disagree.
#include "cab_test_util.h"
#include "shell_util.h"
#include "cabinet/byte_source.h"
#include "cabinet/cab_reader.h"
#include "cabinet/cab_writer.h"
#include "cabinet/file_target.h"
#include "util/cp1250.h"
#include "util/failure.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace {

uint64_t EnvNumber(const char* name, uint64_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

uint32_t Seed() { return static_cast<uint32_t>(EnvNumber("ARCHIWIN_DIFF_SEED", 20261210)); }
uint64_t Rounds(uint64_t fallback) { return EnvNumber("ARCHIWIN_DIFF_ROUNDS", fallback); }

// ---- generated trees -------------------------------------------------------

enum class Kind { Random, Text, Repeats, Zeros, X86, Mixed };
constexpr Kind kKinds[] = {Kind::Random, Kind::Text, Kind::Repeats, Kind::Zeros, Kind::X86, Kind::Mixed};

std::vector<uint8_t> Content(Kind kind, size_t size, std::mt19937& rng) {
    std::vector<uint8_t> out;
    out.reserve(size);
    switch (kind) {
    case Kind::Random: return RandomBytes(size, rng());
    case Kind::Text: return TextBytes(size, rng());
    case Kind::Repeats: {
        // Periods up to 40 000 reach past the smallest LZX window and the
        // 32 KiB MSZIP dictionary.
        const size_t period = 1 + rng() % (rng() % 3 == 0 ? 40000 : 300);
        const auto unit = RandomBytes(period, rng());
        while (out.size() < size) out.push_back(unit[out.size() % period]);
        return out;
    }
    case Kind::Zeros:
        out.assign(size, 0);
        for (size_t i = 0; size && i < size / 5000; ++i) out[rng() % size] = static_cast<uint8_t>(rng());
        return out;
    case Kind::X86: {
        // Code-like bytes with many CALL (E8) instructions whose targets lie
        // in and beyond the file, E8 bytes at block edges and in the last ten
        // bytes, where the translation must stop.
        static constexpr uint8_t kOps[] = {0x55, 0x89, 0xE5, 0x8B, 0x45, 0x08, 0xC3, 0x90, 0x83, 0xEC, 0x0F, 0xFF};
        while (out.size() < size) {
            const uint32_t r = rng() % 10;
            if (r < 3) {
                const int32_t target = static_cast<int32_t>(rng() % (size + 1000)) - static_cast<int32_t>(out.size());
                out.push_back(0xE8);
                for (int b = 0; b < 4; ++b)
                    out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(target) >> (8 * b)));
            } else if (r == 3) {
                out.push_back(0xE8);
            } else {
                out.push_back(kOps[rng() % std::size(kOps)]);
            }
        }
        out.resize(size);
        for (size_t edge = 32768 - 2; edge < size; edge += 32768) out[edge] = 0xE8;
        for (size_t i = size >= 10 ? size - 10 : 0; i < size; i += 3) out[i] = 0xE8;
        return out;
    }
    case Kind::Mixed:
        while (out.size() < size) {
            const Kind part = kKinds[rng() % 5];
            const auto chunk = Content(part, std::min<size_t>(size - out.size(), 1 + rng() % 70000), rng);
            out.insert(out.end(), chunk.begin(), chunk.end());
        }
        return out;
    }
    return out;
}

struct Sample {
    std::string name;  // UTF-8, "/" between directories
    std::vector<uint8_t> data;
    std::time_t mtime;
};
using Tree = std::vector<Sample>;

// A local time that DOS words hold exactly (even seconds, away from the
// small hours when clocks change).
std::time_t RandomStamp(std::mt19937& rng) {
    std::tm tm{};
    tm.tm_year = 81 + static_cast<int>(rng() % 120);
    tm.tm_mon = static_cast<int>(rng() % 12);
    tm.tm_mday = 1 + static_cast<int>(rng() % 28);
    tm.tm_hour = 4 + static_cast<int>(rng() % 20);
    tm.tm_min = static_cast<int>(rng() % 60);
    tm.tm_sec = 2 * static_cast<int>(rng() % 30);
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::string RandomName(size_t index, std::mt19937& rng) {
    static const char* kDirs[] = {"", "a/", "Dokumenty/", "zażółć/gęślą/", "日本/", "x/y/z/", "Ελλάδα/"};
    static const char* kBases[] = {"plik", "Łódź ", "данные", "raport roczny ", "d"};
    static const char* kExts[] = {".bin", ".txt", "", ".tev"};
    return std::string(kDirs[rng() % std::size(kDirs)]) + kBases[rng() % std::size(kBases)] + std::to_string(index) +
           kExts[rng() % std::size(kExts)];
}

size_t RandomSize(std::mt19937& rng, size_t budget) {
    static constexpr size_t kEdges[] = {0, 1, 2, 31, 32767, 32768, 32769, 65536, 98303, 899'999, 900'000, 900'001};
    size_t size;
    switch (rng() % 6) {
    case 0:
    case 1: size = kEdges[rng() % std::size(kEdges)]; break;
    case 2: size = rng() % 5000; break;
    case 3:
    case 4: size = rng() % 200'000; break;
    default: size = rng() % 8 == 0 ? 2'000'000 + rng() % 2'000'000 : rng() % 600'000; break;
    }
    return std::min(size, budget);
}

Tree RandomTree(std::mt19937& rng, size_t budget, bool asciiNames = false) {
    Tree tree;
    const size_t count = 1 + rng() % 10;
    for (size_t i = 0; i < count; ++i) {
        const size_t size = RandomSize(rng, budget);
        budget -= size;
        const Kind kind = kKinds[rng() % std::size(kKinds)];
        std::string name = asciiNames ? "d" + std::to_string(rng() % 3) + "/f" + std::to_string(i) : RandomName(i, rng);
        tree.push_back({std::move(name), Content(kind, size, rng), RandomStamp(rng)});
    }
    return tree;
}

// Every kind at every size that matters to the block and folder logic.
Tree StructuredTree() {
    std::mt19937 rng(7);
    Tree tree;
    static constexpr size_t kSizes[] = {0, 1, 32767, 32768, 32769, 899'999, 900'000, 900'001, 3'000'000};
    size_t n = 0;
    for (size_t size : kSizes) {
        const Kind kind = kKinds[n % std::size(kKinds)];
        tree.push_back({RandomName(n++, rng), Content(kind, size, rng), RandomStamp(rng)});
    }
    for (Kind kind : kKinds) tree.push_back({RandomName(n++, rng), Content(kind, 100'000, rng), RandomStamp(rng)});
    return tree;
}

void WriteTree(const fs::path& root, const Tree& tree) {
    for (const auto& s : tree) {
        const fs::path path = root / s.name;
        WriteBytes(path, s.data);
        utimbuf times{s.mtime, s.mtime};
        ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
    }
}

// ---- archiving -------------------------------------------------------------

// "none", "mszip", "lzx:N" (our writer) or "gcab", "gcab-z" (which keeps
// everything in one folder).
void Archive(const std::string& method, const fs::path& root, const Tree& tree, const fs::path& cab,
             uint32_t folderThreshold = 900000) {
    if (method.rfind("gcab", 0) == 0) {
        std::string names, out;
        for (const auto& s : tree) names += " " + Q(s.name);
        ASSERT_EQ(Shell("cd " + Q(root) + " && gcab " + (method == "gcab-z" ? "-cz " : "-c ") + Q(cab) + names, &out),
                  0)
            << out;
        return;
    }
    std::vector<CabSource> sources;
    for (const auto& s : tree) {
        std::wstring stored = Utf8ToWide(s.name);
        std::replace(stored.begin(), stored.end(), L'/', L'\\');
        sources.push_back({root / s.name, stored});
    }
    CabWriteOptions options;
    options.folderThreshold = folderThreshold;
    options.compression = method == "none"    ? CabCompression{CabMethod::None, 0}
                          : method == "mszip" ? CabCompression{CabMethod::Mszip, 0}
                                              : CabCompression{CabMethod::Lzx, std::stoi(method.substr(4))};
    WriteCabinet(cab, sources, options);
}

const std::vector<std::string>& AllMethods() {
    static const std::vector<std::string> methods = {"none",   "mszip",  "lzx:15", "lzx:16", "lzx:17", "lzx:18",
                                                     "lzx:19", "lzx:20", "lzx:21", "gcab",   "gcab-z"};
    return methods;
}

// ---- extraction and comparison ---------------------------------------------

struct Extracted {
    std::vector<uint8_t> data;
    std::time_t mtime;
};

// Every regular file under root by its relative path (bytes as on disk).
std::map<std::string, Extracted> ReadTree(const fs::path& root) {
    std::map<std::string, Extracted> files;
    if (!fs::exists(root)) return files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        struct stat st {};
        stat(e.path().c_str(), &st);
        files[e.path().lexically_relative(root).string()] = {ReadBytes(e.path()), st.st_mtime};
    }
    return files;
}

// Extracts the archive with cabextract and with our reader and compares both
// with the tree: ours by the names we decode, cabextract's by the stored
// bytes (it writes names as stored, "\" turned into "/"); both set the
// stored dates.
void CompareWithCabextract(const fs::path& cab, const Tree& tree) {
    const fs::path work = cab.parent_path();
    std::string out;
    ASSERT_EQ(Shell("cabextract -q -d " + Q(work / "cx") + " " + Q(cab), &out), 0) << out;
    const auto theirs = ReadTree(work / "cx");

    CabReader reader = CabReader::Open(cab);
    FileTarget target(work / "ours");
    const auto failures = reader.Extract(AllEntries(reader), target);
    for (const auto& f : failures) ADD_FAILURE() << "entry " << f.index << ": " << WideToUtf8(f.message);
    EXPECT_TRUE(reader.Test().empty());
    const auto ours = ReadTree(work / "ours");

    ASSERT_EQ(reader.Entries().size(), tree.size());
    ASSERT_EQ(ours.size(), tree.size());
    ASSERT_EQ(theirs.size(), tree.size());
    std::map<std::string, const Sample*> byName;
    for (const auto& s : tree) byName[s.name] = &s;
    for (const auto& entry : reader.Entries()) {
        const std::string name = WideToUtf8(entry.name);
        std::string slashed = name, stored = entry.storedName;
        std::replace(slashed.begin(), slashed.end(), '\\', '/');
        std::replace(stored.begin(), stored.end(), '\\', '/');
        SCOPED_TRACE(slashed);
        ASSERT_TRUE(byName.count(slashed));
        const Sample& sample = *byName[slashed];
        ASSERT_TRUE(ours.count(slashed));
        ASSERT_TRUE(theirs.count(stored));
        const Extracted& mine = ours.at(slashed);
        const Extracted& cx = theirs.at(stored);
        EXPECT_EQ(entry.size, sample.data.size());
        EXPECT_TRUE(mine.data == sample.data);
        EXPECT_TRUE(cx.data == sample.data);
        EXPECT_EQ(mine.mtime, sample.mtime);
        EXPECT_EQ(cx.mtime, sample.mtime);
    }
}

class Differential : public testing::TestWithParam<std::string> {};

TEST_P(Differential, StructuredTree) {
    TempDir dir;
    static const Tree tree = StructuredTree();
    WriteTree(dir / "src", tree);
    Archive(GetParam(), dir / "src", tree, dir / "t.cab");
    CompareWithCabextract(dir / "t.cab", tree);
}

INSTANTIATE_TEST_SUITE_P(Methods, Differential, testing::ValuesIn(AllMethods()), [](const auto& info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), ':', '_');
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

TEST(DifferentialRandom, GeneratedTrees) {
    const uint32_t seed = Seed();
    const uint64_t rounds = Rounds(12);
    std::mt19937 rng(seed);
    for (uint64_t round = 0; round < rounds; ++round) {
        const std::string& method = AllMethods()[rng() % AllMethods().size()];
        SCOPED_TRACE("seed " + std::to_string(seed) + " round " + std::to_string(round) + " " + method);
        TempDir dir;
        const Tree tree = RandomTree(rng, 5'000'000);
        WriteTree(dir / "src", tree);
        Archive(method, dir / "src", tree, dir / "t.cab");
        CompareWithCabextract(dir / "t.cab", tree);
        if (HasFatalFailure()) return;
    }
}

// ---- damaged archives --------------------------------------------------------

struct Damaged {
    std::vector<uint8_t> bytes;
    // Whether the block checksums must notice it. The checksum XORs the data
    // as 32-bit words, so two changes in the same byte lane of a block can
    // cancel out (two flips of one bit, a zeroed run of repeated bytes): such
    // damage is undetectable in this format and only the agreement with
    // cabextract is checked.
    bool detectable;
    // The one byte changed, when the damage is a single changed byte.
    size_t at = SIZE_MAX;
};

// One random kind of damage: bits flipped anywhere, bytes of the header and
// tables replaced, a run zeroed, bytes inserted (everything after shifts), a
// byte replaced, or the end cut off.
Damaged Damage(std::vector<uint8_t> bytes, size_t tablesEnd, std::mt19937& rng) {
    const auto anywhere = [&] { return rng() % bytes.size(); };
    switch (rng() % 6) {
    case 0: {
        const uint32_t flips = 1 + rng() % 4;
        size_t at = 0;
        for (uint32_t n = flips; n; --n) bytes[at = anywhere()] ^= static_cast<uint8_t>(1u << rng() % 8);
        return {std::move(bytes), flips == 1, flips == 1 ? at : SIZE_MAX};
    }
    case 1:
        for (uint32_t n = 1 + rng() % 3; n; --n)
            bytes[rng() % std::min(tablesEnd, bytes.size())] = static_cast<uint8_t>(rng());
        return {std::move(bytes), true};
    case 2: {
        const size_t at = anywhere(), len = std::min<size_t>(1 + rng() % 64, bytes.size() - at);
        std::fill_n(bytes.begin() + static_cast<ptrdiff_t>(at), len, 0);
        return {std::move(bytes), false};
    }
    case 3: {
        const auto extra = RandomBytes(1 + rng() % 16, rng());
        bytes.insert(bytes.begin() + static_cast<ptrdiff_t>(anywhere()), extra.begin(), extra.end());
        return {std::move(bytes), true};
    }
    case 4: {
        const size_t at = anywhere();
        const auto value = static_cast<uint8_t>(rng());
        const bool changed = bytes[at] != value;
        bytes[at] = value;
        return {std::move(bytes), true, changed ? at : SIZE_MAX};
    }
    default: bytes.resize(anywhere()); return {std::move(bytes), true};
    }
}

// What locates an entry's data: when all of it survived the damage, data the
// reader delivers as complete must be the original.
bool SameLocation(const CabReader& a, size_t ia, const CabReader& b, size_t ib) {
    const CabEntry &x = a.Entries()[ia], &y = b.Entries()[ib];
    if (x.storedName != y.storedName || x.size != y.size || x.folderOffset != y.folderOffset || x.folder != y.folder)
        return false;
    if (x.folder >= a.Folders().size() || y.folder >= b.Folders().size()) return false;
    const CabFolder &f = a.Folders()[x.folder], &g = b.Folders()[y.folder];
    return f.dataOffset == g.dataOffset && f.blockCount == g.blockCount && f.typeCompress == g.typeCompress;
}

// cabextract's verdict per file: written and not named in an error line.
std::map<std::string, std::vector<uint8_t>> CabextractSuccesses(const fs::path& cab, const fs::path& out) {
    std::string log;
    Shell("cabextract -q -d " + Q(out) + " " + Q(cab), &log);
    std::set<std::string> failed;
    const std::string prefix = out.string() + "/";
    for (size_t pos = 0; pos < log.size();) {
        size_t end = log.find('\n', pos);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(pos, end - pos);
        if (line.rfind(prefix, 0) == 0) {
            const size_t colon = line.rfind(": ");
            if (colon != std::string::npos) failed.insert(line.substr(prefix.size(), colon - prefix.size()));
        }
        pos = end + 1;
    }
    std::map<std::string, std::vector<uint8_t>> ok;
    for (auto& [name, file] : ReadTree(out))
        if (!failed.count(name)) ok[name] = std::move(file.data);
    return ok;
}

// The same archive with every block checksum set to 0 ("none"): damage then
// reaches the decoders themselves, and where cabextract and we both decode a
// damaged stream to the end, we must decode it alike.
std::vector<uint8_t> WithoutChecksums(std::vector<uint8_t> bytes, const CabReader& reader) {
    for (const auto& folder : reader.Folders()) {
        size_t at = folder.dataOffset;
        for (uint16_t block = 0; block < folder.blockCount; ++block) {
            std::fill_n(bytes.begin() + static_cast<ptrdiff_t>(at), 4, 0);
            at += 8 + (bytes[at + 4] | bytes[at + 5] << 8);
        }
    }
    return bytes;
}

// The folder and the data block (of the intact archive) that hold a byte.
std::optional<std::pair<uint16_t, int64_t>> BlockAt(const CabReader& intact, const std::vector<uint8_t>& bytes,
                                                    size_t position) {
    for (uint16_t folder = 0; folder < intact.Folders().size(); ++folder) {
        size_t at = intact.Folders()[folder].dataOffset;
        for (uint16_t block = 0; block < intact.Folders()[folder].blockCount; ++block) {
            const size_t end = at + 8 + (bytes[at + 4] | bytes[at + 5] << 8);
            if (position >= at && position < end) return std::pair{folder, int64_t{block}};
            at = end;
        }
    }
    return std::nullopt;
}

class DifferentialDamage : public testing::TestWithParam<bool> {};

TEST_P(DifferentialDamage, NeverCrashesNeverWrongData) {
    const bool checksums = GetParam();
    const uint32_t seed = Seed() + (checksums ? 1 : 2);
    const uint64_t rounds = Rounds(12);
    constexpr int kVariants = 25;
    std::mt19937 rng(seed);
    size_t refused = 0, partly = 0, whole = 0, agreed = 0, resynced = 0, spared = 0;
    for (uint64_t round = 0; round < rounds; ++round) {
        const std::string& method = AllMethods()[rng() % AllMethods().size()];
        TempDir dir;
        const Tree tree = RandomTree(rng, 400'000, true);
        WriteTree(dir / "src", tree);
        Archive(method, dir / "src", tree, dir / "t.cab", 100'000);  // several folders, small tables
        auto original = ReadBytes(dir / "t.cab");
        if (!checksums) original = WithoutChecksums(original, CabReader::Open(dir / "t.cab"));
        CabReader intact(std::make_unique<MemorySource>(original));
        MemoryTarget intactData;
        ASSERT_TRUE(intact.Extract(AllEntries(intact), intactData).empty());
        const size_t tablesEnd = intact.Folders().empty() ? original.size() : intact.Folders()[0].dataOffset;

        for (int variant = 0; variant < kVariants; ++variant) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " round " + std::to_string(round) + " variant " +
                         std::to_string(variant) + " " + method);
            const auto [damaged, detectable, at] = Damage(original, tablesEnd, rng);
            const size_t firstChange =
                std::mismatch(original.begin(), original.end(), damaged.begin(), damaged.end()).first -
                original.begin();
            const auto damagedBlock = BlockAt(intact, original, firstChange);
            // A byte changed in one folder's data costs that folder only:
            // every entry of the others is delivered whole.
            std::set<size_t> unharmed;
            if (at != SIZE_MAX && at >= tablesEnd) {
                for (size_t j = 0; j < intact.Entries().size(); ++j) {
                    const uint16_t folder = intact.Entries()[j].folder;
                    const uint64_t begin = intact.Folders()[folder].dataOffset;
                    uint64_t end = original.size();
                    for (const auto& other : intact.Folders())
                        if (other.dataOffset > begin) end = std::min<uint64_t>(end, other.dataOffset);
                    if (at < begin || at >= end) unharmed.insert(j);
                }
            }
            std::map<size_t, std::vector<uint8_t>> mine;  // complete entries
            std::vector<std::string> names;
            std::vector<int64_t> lzxStart;  // per entry: its start in an LZX folder, -1 in others
            std::vector<uint16_t> folders;  // per entry
            try {
                CabReader reader(std::make_unique<MemorySource>(damaged));
                MemoryTarget target;
                const auto failures = reader.Extract(AllEntries(reader), target);
                bool tested = true;
                try {
                    tested = reader.Test().empty();
                } catch (const Failure&) {
                    tested = false;
                }
                if (tested) {
                    EXPECT_TRUE(failures.empty()) << "the archive tests good but extraction failed";
                }
                for (const auto& e : reader.Entries()) {
                    names.push_back(e.storedName);
                    const bool lzx = e.folder < reader.Folders().size() &&
                                     reader.Folders()[e.folder].compression.method == CabMethod::Lzx;
                    lzxStart.push_back(lzx ? int64_t{e.folderOffset} : -1);
                    folders.push_back(e.folder);
                }
                for (auto& [index, data] : target.done) {
                    for (size_t j = 0; j < intact.Entries().size(); ++j) {
                        if (checksums && detectable && SameLocation(reader, index, intact, j)) {
                            EXPECT_TRUE(data == intactData.done[j]) << "entry " << index << " delivered wrong data";
                        }
                    }
                    mine[index] = std::move(data);
                }
                for (size_t j : unharmed)
                    EXPECT_TRUE(mine.count(j)) << "entry " << j << " of an undamaged folder failed";
                spared += unharmed.size();
                (failures.empty() ? whole : partly)++;
            } catch (const Failure&) {
                EXPECT_TRUE(unharmed.empty()) << "damaged data refused the whole archive";
                ++refused;
            }

            // Where cabextract too delivers a file, the bytes agree.
            if (mine.empty()) continue;
            WriteBytes(dir / "bad.cab", damaged);
            fs::remove_all(dir / "cx");
            const auto theirs = CabextractSuccesses(dir / "bad.cab", dir / "cx");
            std::map<std::string, int> seen;
            for (auto name : names) {
                std::replace(name.begin(), name.end(), '\\', '/');
                ++seen[name];
            }
            for (const auto& [index, data] : mine) {
                std::string name = names[index];
                std::replace(name.begin(), name.end(), '\\', '/');
                if (seen[name] != 1 || !theirs.count(name)) continue;
                const auto& other = theirs.at(name);
                if (other == data) {
                    ++agreed;
                    continue;
                }
                // A damaged LZX frame may end before its block does. We go on
                // with the next frame at the next block, as every frame has
                // its own block; cabextract reads the folder as one bit stream
                // and goes on where the frame ended. From the next frame on,
                // the two differ, and both are right about damaged data: we
                // accept a difference that starts in a later frame of the
                // folder than the first damaged block (or, when the tables
                // were damaged too, near the start of a frame).
                const size_t split =
                    std::mismatch(data.begin(), data.end(), other.begin(), other.end()).first - data.begin();
                if (other.size() == data.size() && lzxStart[index] >= 0) {
                    const int64_t offset = lzxStart[index] + int64_t(split);
                    const bool later = firstChange < tablesEnd ? offset % 32768 < 64
                                                               : damagedBlock && damagedBlock->first == folders[index] &&
                                                                     offset / 32768 > damagedBlock->second;
                    if (later) {
                        ++resynced;
                        continue;
                    }
                }
                ADD_FAILURE() << "cabextract and we differ on " << name << " from byte " << split;
                if (std::getenv("ARCHIWIN_DIFF_KEEP")) {
                    const fs::path keep = fs::path(std::getenv("ARCHIWIN_DIFF_KEEP")) /
                                          ("differ-" + std::to_string(seed) + "-" + std::to_string(round) + "-" +
                                           std::to_string(variant));
                    WriteBytes(keep.string() + ".cab", damaged);
                    WriteBytes(keep.string() + "-intact.cab", original);
                }
            }
        }
        if (HasFailure()) return;
    }
    std::printf(
        "damaged archives: %zu refused, %zu with failed entries, %zu read whole; %zu entries of undamaged "
        "folders delivered; %zu files agreed with cabextract, %zu up to an LZX frame after the damage\n",
        refused, partly, whole, spared, agreed, resynced);
}

INSTANTIATE_TEST_SUITE_P(Checksums, DifferentialDamage, testing::Bool(),
                         [](const auto& info) { return info.param ? "Kept" : "Zeroed"; });

}  // namespace
