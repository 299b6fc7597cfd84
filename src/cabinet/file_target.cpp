#include "cabinet/file_target.h"

#include "cabinet/cab_error.h"
#include "cabinet/platform_file.h"
#include "cabinet/safe_name.h"
#include "util/cp1250.h"

#include <atomic>
#include <random>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

CabError WriteError(const fs::path& path, const std::error_code& ec = {}) {
    std::wstring message = L"Nie można zapisać pliku „" + WideFromPath(path) + L"”";
    if (ec) message += L" (" + Utf8ToWide(ec.message()) + L")";
    return CabError(CabErrorKind::Io, message + L".");
}

// Short, so that it fits wherever the target's own name fits.
fs::path TempName(const fs::path& target) {
    static const unsigned process = std::random_device{}();
    static std::atomic<unsigned> counter{0};
    return target.parent_path() /
           ("~" + std::to_string(process % 1000000) + "-" + std::to_string(++counter) + ".tevtmp");
}

}  // namespace

bool FileTarget::Begin(size_t index, const CabEntry& entry) {
    if (onEntry) onEntry(entry);
    const auto relative = SafeRelativePath(entry.name);
    if (!relative)
        throw CabError(CabErrorKind::UnsafeName, L"Nazwa „" + entry.name +
                                                     L"” wskazuje miejsce poza folderem docelowym; pliku nie rozpakowano.");
    const fs::path target = fs::absolute(folder_ / *relative);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (ec) throw WriteError(target.parent_path(), ec);
    const auto status = fs::symlink_status(target, ec);
    if (fs::exists(status)) {
        if (fs::is_directory(status)) throw WriteError(target, std::make_error_code(std::errc::is_a_directory));
        if (allowOverwrite && !allowOverwrite(target)) return false;
    }
    Open open{&entry, target, TempName(target), {}, 0};
    open.out.open(open.temp, std::ios::binary | std::ios::trunc);
    if (!open.out) throw WriteError(target);
    open_.insert_or_assign(index, std::move(open));
    return true;
}

void FileTarget::Write(size_t index, std::span<const uint8_t> bytes) {
    Open& open = open_.at(index);
    open.out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!open.out) throw WriteError(open.target);
    open.written += bytes.size();
    if (onWritten) onWritten(*open.entry, open.written);
}

void FileTarget::Finish(size_t index) {
    auto node = open_.extract(index);
    Open& open = node.mapped();
    open.out.close();
    std::error_code ec;
    if (!open.out) {
        fs::remove(open.temp, ec);
        throw WriteError(open.target);
    }
    SetLastWriteFromDos(open.temp, {open.entry->date, open.entry->time});
    // Replaces an existing file in one step (MoveFileEx with replacing on
    // Windows): the old file stays whole until the new one takes its name.
    fs::rename(open.temp, open.target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(open.temp, ignored);
        throw WriteError(open.target, ec);
    }
}

void FileTarget::Abort(size_t index) noexcept {
    auto node = open_.extract(index);
    if (node.empty()) return;
    node.mapped().out.close();
    std::error_code ec;
    fs::remove(node.mapped().temp, ec);
}
