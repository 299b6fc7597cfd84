#pragma once
// Helpers shared by the cabinet tests: a temporary folder per test, files in
// and out, MD5 for comparing with recorded digests.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& p) const { return path_ / p; }

private:
    std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text);
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
std::string Md5Hex(const std::vector<uint8_t>& bytes);
// Reproducible data of a given kind: random bytes, or text that compresses.
std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed);
std::vector<uint8_t> TextBytes(size_t size, uint32_t seed);
