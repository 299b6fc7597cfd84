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
    if (file_.Open(path))
        throw CabError(CabErrorKind::Io, L"Nie można otworzyć pliku „" + WideFromPath(path) + L"”.");
}

void FileSource::ReadAt(uint64_t offset, std::span<uint8_t> out) {
    CheckRange(offset, out.size(), file_.Size());
    size_t read = 0;
    if (file_.ReadAt(offset, out.data(), out.size(), read) || read != out.size())
        throw CabError(CabErrorKind::Io, L"Błąd odczytu archiwum.");
}

void MemorySource::ReadAt(uint64_t offset, std::span<uint8_t> out) {
    CheckRange(offset, out.size(), bytes_.size());
    if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
}
