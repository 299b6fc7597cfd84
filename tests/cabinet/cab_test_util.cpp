#include "cab_test_util.h"

#include "cabinet/cab_format.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir() {
    static int counter = 0;
    std::random_device rd;
    path_ = fs::temp_directory_path() / ("tevcab-test-" + std::to_string(rd()) + "-" + std::to_string(++counter));
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteText(const fs::path& path, const std::string& text) { WriteBytes(path, {text.begin(), text.end()}); }

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> out(size);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

std::vector<uint8_t> TextBytes(size_t size, uint32_t seed) {
    static const char* kWords[] = {"faktura ", "kopia ", "zapasowa ", "archiwum ", "plik\n", "dane ", "123 ", "TEV "};
    std::mt19937 rng(seed);
    std::vector<uint8_t> out;
    out.reserve(size + 16);
    while (out.size() < size) {
        const char* w = kWords[rng() % 8];
        out.insert(out.end(), w, w + std::strlen(w));
    }
    out.resize(size);
    return out;
}

// MD5 (RFC 1321), only to compare contents with digests recorded elsewhere.
std::string Md5Hex(const std::vector<uint8_t>& input) {
    static constexpr uint32_t kS[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                        5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                        4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                        6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
    uint32_t k[64];
    for (int i = 0; i < 64; ++i) k[i] = static_cast<uint32_t>(std::abs(std::sin(i + 1.0)) * 4294967296.0);
    uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    std::vector<uint8_t> msg = input;
    const uint64_t bits = uint64_t{input.size()} * 8;
    msg.push_back(0x80);
    while (msg.size() % 64 != 56) msg.push_back(0);
    for (int i = 0; i < 8; ++i) msg.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    for (size_t off = 0; off < msg.size(); off += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i)
            w[i] = msg[off + 4 * i] | msg[off + 4 * i + 1] << 8 | msg[off + 4 * i + 2] << 16 |
                   static_cast<uint32_t>(msg[off + 4 * i + 3]) << 24;
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        for (int i = 0; i < 64; ++i) {
            uint32_t f;
            int g;
            if (i < 16) f = (b & c) | (~b & d), g = i;
            else if (i < 32) f = (d & b) | (~d & c), g = (5 * i + 1) % 16;
            else if (i < 48) f = b ^ c ^ d, g = (3 * i + 5) % 16;
            else f = c ^ (b | ~d), g = (7 * i) % 16;
            const uint32_t t = d;
            d = c;
            c = b;
            const uint32_t x = a + f + k[i] + w[g];
            b = b + (x << kS[i] | x >> (32 - kS[i]));
            a = t;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d;
    }
    std::string hex;
    char buf[3];
    for (uint32_t v : h)
        for (int i = 0; i < 4; ++i) {
            std::snprintf(buf, sizeof buf, "%02x", (v >> (8 * i)) & 0xFF);
            hex += buf;
        }
    return hex;
}

std::vector<size_t> AllEntries(const CabReader& reader) {
    std::vector<size_t> all(reader.Entries().size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = i;
    return all;
}

std::vector<uint8_t> RawCabinet(const std::vector<RawFolder>& folders, const std::vector<RawFile>& files) {
    size_t tables = cab::kHeaderSize + folders.size() * cab::kFolderSize;
    for (const auto& f : files) tables += cab::kFileFixedSize + f.name.size() + 1;
    std::vector<uint8_t> out(tables, 0);
    std::memcpy(out.data(), cab::kSignature, 4);
    out[cab::header::kVersionMinor] = cab::kVersionMinor;
    out[cab::header::kVersionMajor] = cab::kVersionMajor;
    cab::Put16(&out[cab::header::kFolderCount], static_cast<uint16_t>(folders.size()));
    cab::Put16(&out[cab::header::kFileCount], static_cast<uint16_t>(files.size()));
    cab::Put32(&out[cab::header::kFilesOffset], static_cast<uint32_t>(cab::kHeaderSize + folders.size() * cab::kFolderSize));
    std::vector<uint32_t> start(folders.size(), 0);
    for (size_t i = 0; i < folders.size(); ++i) {
        start[i] = static_cast<uint32_t>(out.size());
        for (const auto& block : folders[i].blocks) {
            uint8_t header[cab::kDataHeaderSize] = {};
            cab::Put16(header + cab::data::kCompressed, static_cast<uint16_t>(block.size()));
            cab::Put16(header + cab::data::kUncompressed, static_cast<uint16_t>(block.size()));
            out.insert(out.end(), header, header + sizeof header);
            out.insert(out.end(), block.begin(), block.end());
        }
    }
    for (size_t i = 0; i < folders.size(); ++i) {
        const RawFolder& f = folders[i];
        const size_t source = f.sameDataAs >= 0 ? static_cast<size_t>(f.sameDataAs) : i;
        uint8_t* p = &out[cab::kHeaderSize + i * cab::kFolderSize];
        cab::Put32(p + cab::folder::kDataOffset, static_cast<uint32_t>(int64_t{start[source]} + f.startShift));
        cab::Put16(p + cab::folder::kBlockCount, static_cast<uint16_t>(folders[source].blocks.size()));
        cab::Put16(p + cab::folder::kTypeCompress, cab::kMethodNone);
    }
    size_t at = cab::kHeaderSize + folders.size() * cab::kFolderSize;
    for (const auto& f : files) {
        cab::Put32(&out[at + cab::file::kSize], f.size);
        cab::Put32(&out[at + cab::file::kFolderOffset], f.offset);
        cab::Put16(&out[at + cab::file::kFolder], f.folder);
        cab::Put16(&out[at + cab::file::kDate], static_cast<uint16_t>(45 << 9 | 6 << 5 | 15));
        cab::Put16(&out[at + cab::file::kTime], static_cast<uint16_t>(12 << 11));
        cab::Put16(&out[at + cab::file::kAttributes], cab::kAttrArchive);
        std::memcpy(&out[at + cab::kFileFixedSize], f.name.data(), f.name.size());
        at += cab::kFileFixedSize + f.name.size() + 1;
    }
    cab::Put32(&out[cab::header::kCabinetSize], static_cast<uint32_t>(out.size()));
    return out;
}
