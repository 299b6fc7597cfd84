// LZX encoder and decoder: round trips, archives written by other tools,
// damaged streams, and (natively) our output checked by cabextract and 7-Zip.
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cabinet/lzx.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Rng {
    uint64_t s;
    uint64_t Next() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }
};

Bytes RandomBytes(size_t n, uint64_t seed) {
    Rng r{seed};
    Bytes b(n);
    for (auto& x : b) x = static_cast<uint8_t>(r.Next());
    return b;
}

// Words from a small vocabulary: compresses like prose.
Bytes Text(size_t n, uint64_t seed) {
    static const char* const kWords[] = {"kopia", "archiwum", "plik", "folder", "zapis", "odczyt", "the", "of",
                                         "backup", "window", "cabinet", "data", "block", "frame", "match", "\n"};
    Rng r{seed};
    Bytes b;
    while (b.size() < n) {
        const char* w = kWords[r.Below(16)];
        b.insert(b.end(), w, w + std::strlen(w));
        b.push_back(' ');
    }
    b.resize(n);
    return b;
}

// Random pieces copied from anywhere earlier (up to 3 MiB back), mixed with
// fresh bytes: matches at every distance, including beyond the window.
Bytes FarCopies(size_t n, uint64_t seed) {
    Rng r{seed};
    Bytes b = RandomBytes(4096, seed);
    while (b.size() < n) {
        if (r.Below(4) == 0) {
            b.push_back(static_cast<uint8_t>(r.Next()));
            continue;
        }
        size_t dist = 1 + r.Below(static_cast<uint32_t>(std::min<size_t>(b.size(), 3u << 20)));
        size_t len = 2 + r.Below(r.Below(2) ? 300 : 12);
        size_t from = b.size() - dist;
        for (size_t i = 0; i < len; ++i) b.push_back(b[from + i]);
    }
    b.resize(n);
    return b;
}

// x86-like code: CALL rel32 instructions to a few targets, with the same
// filler between them. Only the call translation makes the operands repeat.
Bytes CallHeavy(size_t n, uint64_t seed) {
    Rng r{seed};
    Bytes b;
    const int32_t targets[] = {0x1000, 0x2345, 0x80000, -0x10, 0x7FFFFF00, 11999990, 12000005};
    const uint8_t filler[] = {0x48, 0x89, 0xC7, 0x90};
    while (b.size() < n) {
        int32_t rel = targets[r.Below(7)] - static_cast<int32_t>(b.size());
        b.push_back(0xE8);
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(rel) >> (8 * i)));
        b.insert(b.end(), std::begin(filler), std::end(filler));
    }
    b.resize(n);
    return b;
}

// Frames: encoded bytes of every 32768-byte piece of data, encoded in batches
// of batchFrames frames.
std::vector<Bytes> Encode(int windowBits, const Bytes& data, size_t batchFrames = kLzxBatchFrames) {
    LzxEncoder enc(windowBits);
    std::vector<Bytes> frames((data.size() + kLzxFrameSize - 1) / kLzxFrameSize);
    const size_t batch = batchFrames * kLzxFrameSize;
    for (size_t pos = 0; pos < data.size(); pos += batch)
        enc.EncodeFrames(data.data() + pos, std::min(batch, data.size() - pos), &frames[pos / kLzxFrameSize]);
    return frames;
}

bool Decode(int windowBits, const std::vector<Bytes>& frames, size_t total, Bytes& out) {
    LzxDecoder dec(windowBits);
    out.assign(total, 0);
    size_t pos = 0;
    for (const Bytes& f : frames) {
        size_t n = std::min(kLzxFrameSize, total - pos);
        if (!dec.DecodeFrame(f.data(), f.size(), out.data() + pos, n)) return false;
        pos += n;
    }
    return pos == total;
}

size_t TotalSize(const std::vector<Bytes>& frames) {
    size_t n = 0;
    for (const Bytes& f : frames) n += f.size();
    return n;
}

struct Input {
    const char* name;
    Bytes data;
};

std::vector<Input> Inputs() {
    Bytes zeros(100000, 0);
    Bytes periodic(70000);
    for (size_t i = 0; i < periodic.size(); ++i) periodic[i] = static_cast<uint8_t>(i % 251);
    return {
        {"empty", {}},
        {"one byte", {0x41}},
        {"five E8", Bytes(5, 0xE8)},
        {"eleven E8", Bytes(11, 0xE8)},
        {"frame", Text(32768, 1)},
        {"frame and one", Text(32769, 2)},
        {"zeros", zeros},
        {"periodic", periodic},
        {"random", RandomBytes(100000, 3)},
        {"text", Text(300000, 4)},
        {"calls", CallHeavy(200000, 5)},
        {"far copies", FarCopies(5 << 20, 6)},
    };
}

TEST(Lzx, RoundTripEveryWindow) {
    for (const Input& in : Inputs()) {
        for (int bits = 15; bits <= 21; ++bits) {
            if (in.data.size() > (1 << 20) && bits != 15 && bits != 21) continue;
            SCOPED_TRACE(std::string(in.name) + " window " + std::to_string(bits));
            std::vector<Bytes> frames = Encode(bits, in.data);
            for (const Bytes& f : frames) ASSERT_EQ(f.size() % 2, 0u) << "frames end on a word boundary";
            Bytes out;
            ASSERT_TRUE(Decode(bits, frames, in.data.size(), out));
            ASSERT_TRUE(out == in.data);
        }
    }
}

TEST(Lzx, CompressesWhatRepeatsAndStoresWhatDoesNot) {
    Bytes text = Text(300000, 7);
    EXPECT_LT(TotalSize(Encode(21, text)), text.size() / 4);
    Bytes random = RandomBytes(200000, 8);
    // Uncompressed blocks: the stored bytes plus a few header bytes per frame.
    EXPECT_LE(TotalSize(Encode(21, random)), random.size() + 7 * 20);
    Bytes calls = CallHeavy(200000, 9);
    EXPECT_LT(TotalSize(Encode(21, calls)), calls.size() / 4);
}

TEST(Lzx, ResetStartsAnIndependentStream) {
    Bytes a = Text(40000, 10), b = Text(50000, 11);
    LzxEncoder enc(16);
    std::vector<Bytes> first(2), second(2);
    enc.EncodeFrames(a.data(), a.size(), first.data());
    enc.Reset();
    enc.EncodeFrames(b.data(), b.size(), second.data());
    EXPECT_TRUE(second == Encode(16, b));
    Bytes out;
    ASSERT_TRUE(Decode(16, second, b.size(), out));
    EXPECT_TRUE(out == b);
}

// Text, then data that does not compress, then text again with repeats of
// the first part: blocks that span frames, uncompressed frames between coded
// ones (whose headers carry the repeated offsets on) and batch ends anywhere.
TEST(Lzx, BatchesOfEverySizeDecode) {
    Bytes data = Text(5 * kLzxFrameSize + 1000, 20);
    Bytes noise = RandomBytes(2 * kLzxFrameSize + 77, 21);
    data.insert(data.end(), noise.begin(), noise.end());
    Bytes calls = CallHeavy(3 * kLzxFrameSize, 22);
    data.insert(data.end(), calls.begin(), calls.end());
    data.insert(data.end(), data.begin(), data.begin() + 4 * kLzxFrameSize);
    for (size_t batch = 1; batch <= kLzxBatchFrames; ++batch) {
        SCOPED_TRACE("batch of " + std::to_string(batch));
        std::vector<Bytes> frames = Encode(17, data, batch);
        Bytes out;
        ASSERT_TRUE(Decode(17, frames, data.size(), out));
        ASSERT_TRUE(out == data);
    }
    EXPECT_LT(TotalSize(Encode(17, data)), TotalSize(Encode(17, data, 1))) << "shared trees cost less";
}

TEST(Lzx, DecoderRefusesMisuse) {
    std::vector<Bytes> frames = Encode(15, Text(70000, 12));
    Bytes out(kLzxFrameSize + 1);
    LzxDecoder bad(22);
    EXPECT_FALSE(bad.DecodeFrame(frames[0].data(), frames[0].size(), out.data(), kLzxFrameSize));
    LzxDecoder dec(15);
    EXPECT_FALSE(dec.DecodeFrame(frames[0].data(), frames[0].size(), out.data(), kLzxFrameSize + 1));
    // Stays failed until Reset.
    EXPECT_FALSE(dec.DecodeFrame(frames[0].data(), frames[0].size(), out.data(), kLzxFrameSize));
    dec.Reset();
    EXPECT_TRUE(dec.DecodeFrame(frames[0].data(), frames[0].size(), out.data(), kLzxFrameSize));
    // Only the last frame of a folder may be short.
    std::vector<Bytes> shortFrame = Encode(15, Text(1000, 13));
    dec.Reset();
    EXPECT_TRUE(dec.DecodeFrame(shortFrame[0].data(), shortFrame[0].size(), out.data(), 1000));
    EXPECT_FALSE(dec.DecodeFrame(frames[1].data(), frames[1].size(), out.data(), kLzxFrameSize));
}

TEST(Lzx, DamagedStreamsFailCleanly) {
    Bytes data = FarCopies(200000, 13);
    std::vector<Bytes> frames = Encode(16, data);
    Rng r{14};
    Bytes out(data.size());
    for (int round = 0; round < 400; ++round) {
        std::vector<Bytes> bad = frames;
        Bytes& f = bad[r.Below(static_cast<uint32_t>(bad.size()))];
        switch (round % 3) {
        case 0:
            f[r.Below(static_cast<uint32_t>(f.size()))] ^= static_cast<uint8_t>(1u << r.Below(8));
            break;
        case 1:
            f.resize(r.Below(static_cast<uint32_t>(f.size())));
            break;
        default:
            for (int i = 0; i < 8; ++i) f[r.Below(static_cast<uint32_t>(f.size()))] = static_cast<uint8_t>(r.Next());
            break;
        }
        // Whatever the outcome, no fault (the sanitizer build checks that).
        Decode(16, bad, data.size(), out);
    }
    // Truncating a frame by more than its padding always fails.
    std::vector<Bytes> cut = frames;
    cut[1].resize(cut[1].size() - 4);
    EXPECT_FALSE(Decode(16, cut, data.size(), out));
}

// Bits into 16-bit little-endian words, most significant first, as LZX packs them.
struct Bits {
    Bytes out;
    std::string pending;
    void Put(uint32_t v, int n) {
        for (int i = n - 1; i >= 0; --i) pending.push_back((v >> i) & 1 ? '1' : '0');
    }
    void Flush() {  // to the next word boundary
        while (pending.size() % 16) pending.push_back('0');
        for (size_t i = 0; i < pending.size(); i += 16) {
            uint32_t w = static_cast<uint32_t>(std::stoul(pending.substr(i, 16), nullptr, 2));
            out.push_back(static_cast<uint8_t>(w));
            out.push_back(static_cast<uint8_t>(w >> 8));
        }
        pending.clear();
    }
    void Raw(const Bytes& b) { out.insert(out.end(), b.begin(), b.end()); }
};

// Two uncompressed blocks in one frame: the odd-sized first one is padded
// to a word, and the second block's header follows the padding byte.
TEST(Lzx, DecodesUncompressedBlocksOfOddSize) {
    const Bytes repeats = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    Bits b;
    b.Put(0, 1);  // no call translation
    b.Put(3, 3);
    b.Put(3, 24);
    b.Flush();
    b.Raw(repeats);
    b.Raw({'a', 'b', 'c', 0});
    b.Put(3, 3);
    b.Put(2, 24);
    b.Flush();
    b.Raw(repeats);
    b.Raw({'d', 'e'});
    LzxDecoder dec(15);
    Bytes out(5);
    ASSERT_TRUE(dec.DecodeFrame(b.out.data(), b.out.size(), out.data(), out.size()));
    EXPECT_EQ(std::string(out.begin(), out.end()), "abcde");
    // The same frame cut inside the second block's bytes.
    dec.Reset();
    EXPECT_FALSE(dec.DecodeFrame(b.out.data(), b.out.size() - 1, out.data(), out.size()));
}

// ---- Archives written by other tools ----------------------------------

Bytes ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

uint32_t Le(const Bytes& b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<uint32_t>(b.at(at + i)) << (8 * i);
    return v;
}

// Just enough of the cabinet layout to hand each LZX folder's data blocks
// to the decoder: one cabinet, no reserved areas.
struct CabFile {
    std::string name;
    uint32_t size, offset, folder;
};
struct CabFolder {
    int type;
    Bytes data;  // decoded
    bool ok = true;
};

bool DecodeCab(const Bytes& cab, std::vector<CabFolder>& folders, std::vector<CabFile>& files) {
    if (cab.size() < 36 || Le(cab, 0, 4) != 0x4643534D || Le(cab, 30, 2) != 0) return false;
    uint32_t nFolders = Le(cab, 26, 2), nFiles = Le(cab, 28, 2), filesAt = Le(cab, 16, 4);
    for (uint32_t i = 0; i < nFolders; ++i) {
        size_t at = 36 + 8 * i;
        uint32_t dataAt = Le(cab, at, 4), blocks = Le(cab, at + 4, 2), type = Le(cab, at + 6, 2);
        CabFolder folder{static_cast<int>(type), {}};
        if ((type & 0xF) == 3) {
            LzxDecoder dec(static_cast<int>((type >> 8) & 0x1F));
            for (uint32_t b = 0; b < blocks && folder.ok; ++b) {
                uint32_t packed = Le(cab, dataAt + 4, 2), plain = Le(cab, dataAt + 6, 2);
                if (dataAt + 8 + packed > cab.size()) return false;
                size_t pos = folder.data.size();
                folder.data.resize(pos + plain);
                folder.ok = dec.DecodeFrame(cab.data() + dataAt + 8, packed, folder.data.data() + pos, plain);
                dataAt += 8 + packed;
            }
        }
        folders.push_back(std::move(folder));
    }
    size_t at = filesAt;
    for (uint32_t i = 0; i < nFiles; ++i) {
        CabFile f{"", Le(cab, at, 4), Le(cab, at + 4, 4), Le(cab, at + 8, 2)};
        at += 16;
        while (cab.at(at)) f.name.push_back(static_cast<char>(cab[at++]));
        ++at;
        files.push_back(f);
    }
    return true;
}

std::string TestData(const std::string& name) { return std::string(LZX_TESTDATA) + "/" + name; }

TEST(Lzx, DecodesArchivesOfOtherTools) {
    struct Expected {
        const char* cab;
        const char* file;
        uint32_t size;
        uint32_t crc;
    };
    // Contents as cabextract extracts them.
    const Expected cases[] = {
        {"libarchive/test_read_format_cab_3.cab", "zero", 33000, 0x23b8cfb6},
        {"libarchive/test_read_format_cab_3.cab", "dir1/file1", 60, 0x0fde1daa},
        {"libarchive/test_read_format_cab_3.cab", "dir2/file2", 78, 0x82049b62},
        {"libarchive/test_read_format_cab_lzx_e8.cab", "e8.bin", 30, 0xa51eaa9b},
        {"libarchive/test_read_format_cab_lzx_16bit.cab", "lzx16.bin", 16, 0x5adb84d6},
        {"libarchive/test_read_format_cab_lzx_literal_control.cab", "x", 2, 0x41d912ff},
        {"libmspack/mszip_lzx_qtm.cab", "lzx.txt", 187, 0x1b19678c},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(std::string(e.cab) + " " + e.file);
        std::vector<CabFolder> folders;
        std::vector<CabFile> files;
        ASSERT_TRUE(DecodeCab(ReadFile(TestData(e.cab)), folders, files));
        bool found = false;
        for (const CabFile& f : files) {
            std::string name = f.name;
            for (char& c : name)
                if (c == '\\') c = '/';
            if (name != e.file) continue;
            found = true;
            const CabFolder& folder = folders.at(f.folder);
            ASSERT_EQ(folder.type & 0xF, 3);
            ASSERT_TRUE(folder.ok);
            ASSERT_LE(uint64_t{f.offset} + f.size, folder.data.size());
            EXPECT_EQ(f.size, e.size);
            EXPECT_EQ(crc32(0, folder.data.data() + f.offset, f.size), e.crc);
        }
        EXPECT_TRUE(found);
    }
}

TEST(Lzx, RefusesDamagedArchivesOfOtherTools) {
    const char* const cabs[] = {
        "libarchive/test_read_format_cab_lzx_invalid_history.cab",
        "libarchive/test_read_format_cab_lzx_oob.cab",
        "libmspack/lzx-main-tree-no-lengths.cab",
        "libmspack/lzx-premature-matches.cab",
        "libmspack/cve-2015-4471-lzx-under-read.cab",
    };
    for (const char* name : cabs) {
        SCOPED_TRACE(name);
        std::vector<CabFolder> folders;
        std::vector<CabFile> files;
        Bytes cab = ReadFile(TestData(name));
        bool anyFailed = false;
        try {
            if (!DecodeCab(cab, folders, files)) anyFailed = true;
        } catch (const std::out_of_range&) {
            anyFailed = true;  // the test's own walker met a truncated header
        }
        for (const CabFolder& f : folders) anyFailed |= (f.type & 0xF) == 3 && !f.ok;
        EXPECT_TRUE(anyFailed);
    }
}

}  // namespace

#ifndef _WIN32
// ---- Our streams read by other tools -----------------------------------

void PutLe(Bytes& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// One cabinet, one LZX folder, one file "f.bin"; data blocks without checksums.
Bytes MinimalCab(int windowBits, const std::vector<Bytes>& frames, size_t size) {
    const char name[] = "f.bin";
    uint32_t filesAt = 36 + 8, dataAt = filesAt + 16 + sizeof name;
    uint32_t total = dataAt;
    for (const Bytes& f : frames) total += 8 + static_cast<uint32_t>(f.size());
    Bytes cab;
    PutLe(cab, 0x4643534D, 4);
    PutLe(cab, 0, 4);
    PutLe(cab, total, 4);
    PutLe(cab, 0, 4);
    PutLe(cab, filesAt, 4);
    PutLe(cab, 0, 4);
    PutLe(cab, 0x0103, 2);  // version 1.3
    PutLe(cab, 1, 2);       // folders
    PutLe(cab, 1, 2);       // files
    PutLe(cab, 0, 2);       // flags
    PutLe(cab, 0, 4);       // set id, index
    PutLe(cab, dataAt, 4);
    PutLe(cab, static_cast<uint32_t>(frames.size()), 2);
    PutLe(cab, 3 | (static_cast<uint32_t>(windowBits) << 8), 2);
    PutLe(cab, static_cast<uint32_t>(size), 4);
    PutLe(cab, 0, 4);       // offset in folder
    PutLe(cab, 0, 2);       // folder
    PutLe(cab, 0x5821, 2);  // 2024-01-01
    PutLe(cab, 0, 2);
    PutLe(cab, 0x20, 2);
    cab.insert(cab.end(), name, name + sizeof name);
    size_t left = size;
    for (const Bytes& f : frames) {
        PutLe(cab, 0, 4);
        PutLe(cab, static_cast<uint32_t>(f.size()), 2);
        PutLe(cab, static_cast<uint32_t>(std::min(left, kLzxFrameSize)), 2);
        cab.insert(cab.end(), f.begin(), f.end());
        left -= std::min(left, kLzxFrameSize);
    }
    return cab;
}

bool ToolExists(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

Bytes RunCapture(const std::string& command) {
    Bytes out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.insert(out.end(), buf, buf + n);
    pclose(p);
    return out;
}

TEST(Lzx, OtherToolsReadWhatWeWrite) {
    const bool haveCabextract = ToolExists("cabextract"), have7z = ToolExists("7zz");
    if (!haveCabextract && !have7z) GTEST_SKIP() << "neither cabextract nor 7zz installed";
    std::string dir = testing::TempDir();
    for (const Input& in : Inputs()) {
        for (int bits = 15; bits <= 21; ++bits) {
            if (in.data.size() > (1 << 20) && bits != 15 && bits != 21) continue;
            SCOPED_TRACE(std::string(in.name) + " window " + std::to_string(bits));
            std::string path = dir + "/lzx_interop.cab";
            Bytes cab = MinimalCab(bits, Encode(bits, in.data), in.data.size());
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(cab.data()), static_cast<std::streamsize>(cab.size()));
            if (haveCabextract) {
                EXPECT_TRUE(RunCapture("cabextract -q -p " + path + " 2>/dev/null") == in.data) << "cabextract";
            }
            if (have7z) {
                EXPECT_TRUE(RunCapture("7zz e -so " + path + " 2>/dev/null") == in.data) << "7zz";
            }
        }
    }
    std::remove((dir + "/lzx_interop.cab").c_str());
}
#endif
