#include "cabinet/byte_source.h"

#include "cabinet/cab_error.h"
#include "cabinet/platform_file.h"

#include <cstring>

namespace {

void CheckRange(uint64_t offset, size_t size, uint64_t total) {
    if (offset > total || size > total - offset) ThrowDamaged(L"dane wykraczają poza koniec pliku");
}

}  // namespace

FileSource::FileSource(const std::filesystem::path& path) {
    in_.open(path, std::ios::binary);
    if (!in_) throw CabError(CabErrorKind::Io, L"Nie można otworzyć pliku „" + WideFromPath(path) + L"”.");
    in_.seekg(0, std::ios::end);
    const auto end = in_.tellg();
    if (end < 0) throw CabError(CabErrorKind::Io, L"Nie można odczytać pliku „" + WideFromPath(path) + L"”.");
    size_ = static_cast<uint64_t>(end);
    position_ = size_;
}

void FileSource::ReadAt(uint64_t offset, std::span<uint8_t> out) {
    CheckRange(offset, out.size(), size_);
    if (position_ != offset) {
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
    }
    in_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (static_cast<size_t>(in_.gcount()) != out.size()) {
        position_ = UINT64_MAX;
        throw CabError(CabErrorKind::Io, L"Błąd odczytu archiwum.");
    }
    position_ = offset + out.size();
}

void MemorySource::ReadAt(uint64_t offset, std::span<uint8_t> out) {
    CheckRange(offset, out.size(), bytes_.size());
    if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
}
