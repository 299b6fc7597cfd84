#include "cabinet/file_target.h"

#include "cabinet/cab_error.h"
#include "cabinet/safe_name.h"
#include "util/cp1250.h"
#include "util/sizetext.h"

#include <algorithm>
#include <cwctype>
#include <random>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

struct FileTarget::Entry {
    const CabEntry* entry;
    fs::path target;
    fs::path path;           // the file being written: target or a temporary name; empty until created
    bool created = false;
    bool replacing = false;  // path is temporary and takes target's name when complete
    bool declined = false;   // the owner kept the existing file
    bool kept = false;       // file stays open between pieces
    std::vector<uint8_t> buffer;
    OutputFile file;
    uint64_t delivered = 0;
};

namespace {

CabError WriteError(const fs::path& path, const std::error_code& ec = {}) {
    std::wstring message = L"Nie można zapisać pliku „" + WideFromPath(path) + L"”";
    if (ec) message += L" (" + FileErrorText(ec) + L")";
    return CabError(CabErrorKind::Io, message + L".");
}

// Short, so that it fits wherever the target's own name fits.
fs::path TempName(const fs::path& target) {
    static const unsigned process = std::random_device{}();
    static std::atomic<unsigned> counter{0};
    return target.parent_path() /
           ("~" + std::to_string(process % 1000000) + "-" + std::to_string(++counter) + ".tevtmp");
}

// Names that may be one file on disk: case folded.
std::wstring Key(const fs::path& relative) {
    std::wstring key = WideFromPath(relative);
    for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return key;
}

void RaisePeak(std::atomic<size_t>& peak, size_t value) {
    size_t seen = peak.load();
    while (value > seen && !peak.compare_exchange_weak(seen, value)) {
    }
}

std::optional<uint64_t> FreeSpaceOf(const fs::path& folder) {
    std::error_code ec;
    fs::path existing = folder;
    while (!fs::exists(existing, ec) && existing.has_relative_path()) existing = existing.parent_path();
    const fs::space_info info = fs::space(existing, ec);
    if (ec || info.available == static_cast<uintmax_t>(-1)) return std::nullopt;
    return info.available;
}

}  // namespace

FileTarget::FileTarget(const fs::path& folder) {
    std::error_code ec;
    root_ = fs::absolute(folder, ec);
    if (ec) root_ = folder;
}

FileTarget::~FileTarget() {
    for (auto& [index, entry] : entries_) Discard(*entry);
}

void FileTarget::Prepare(const std::vector<const CabEntry*>& entries) {
    struct Planned {
        fs::path relative;
        uint64_t size;
    };
    std::unordered_map<std::wstring, Planned> files;
    std::unordered_set<std::wstring> directories;
    uint64_t total = 0;
    for (const CabEntry* entry : entries) {
        const auto relative = SafeRelativePath(entry->name);
        if (!relative) continue;  // refused in Begin
        const auto [it, fresh] = files.try_emplace(Key(*relative), Planned{*relative, entry->size});
        if (!fresh) {
            conflicts_.insert(it->first);
            total -= it->second.size;
            it->second.size = std::max<uint64_t>(it->second.size, entry->size);
        }
        total += it->second.size;
        for (fs::path dir = relative->parent_path(); !dir.empty(); dir = dir.parent_path())
            if (!directories.insert(Key(dir)).second) break;
    }
    for (const auto& [key, planned] : files)
        if (directories.count(key)) conflicts_.insert(key);

    if (total == 0) return;
    const std::optional<uint64_t> available = freeSpace ? freeSpace(root_) : FreeSpaceOf(root_);
    if (!available || total <= *available) return;
    // Only files that do not exist yet surely take new room: a replaced file
    // gives its own back, and the owner may keep it anyway.
    uint64_t needed = 0;
    std::error_code ec;
    for (const auto& [key, planned] : files)
        if (!fs::exists(root_ / planned.relative, ec)) needed += planned.size;
    if (needed <= *available) return;
    throw CabError(CabErrorKind::NoSpace,
                   L"Za mało miejsca na dysku, by rozpakować pliki do folderu „" + WideFromPath(root_) +
                       L"”: potrzeba " + SizeText(static_cast<int64_t>(needed), false) + L", a wolne jest tylko " +
                       SizeText(static_cast<int64_t>(*available), false) +
                       L". Niczego nie zapisano. Zwolnij miejsce na dysku albo wybierz mniej plików.");
}

bool FileTarget::Begin(size_t index, const CabEntry& entry) {
    if (onEntry) PostToCaller([this, &entry] { onEntry(entry); });
    const auto relative = SafeRelativePath(entry.name);
    if (!relative)
        throw CabError(CabErrorKind::UnsafeName, L"Nazwa „" + entry.name +
                                                     L"” wskazuje miejsce poza folderem docelowym; pliku nie rozpakowano.");
    // Another entry writes the same file or a folder of that name: whether
    // it exists must be seen in the archive's order.
    if (!conflicts_.empty() && conflicts_.count(Key(*relative))) CallOnCaller([] {});
    auto e = std::make_unique<Entry>();
    e->entry = &entry;
    e->target = root_ / *relative;
    EnsureDirectory(e->target.parent_path());
    std::lock_guard lock(mutex_);
    entries_[index] = std::move(e);
    return true;
}

void FileTarget::Write(size_t index, std::span<const uint8_t> bytes) {
    Entry& e = Find(index);
    e.delivered += bytes.size();
    if (onWritten) PostToCaller([this, &entry = *e.entry, delivered = e.delivered] { onWritten(entry, delivered); });
    if (e.declined) return;
    if (e.buffer.empty()) e.buffer.reserve(static_cast<size_t>(std::min<uint64_t>(e.entry->size, kChunk)));
    e.buffer.insert(e.buffer.end(), bytes.begin(), bytes.end());
    RaisePeak(peakBuffered_, buffered_ += bytes.size());
    if (e.buffer.size() >= kChunk || buffered_.load() > kMemoryBound) Flush(e, false);
}

void FileTarget::Finish(size_t index) {
    const std::unique_ptr<Entry> owned = Take(index);
    Entry& e = *owned;
    try {
        Flush(e, true);
        if (e.declined) return;
        if (!e.file.IsOpen()) {
            if (const auto ec = OpenFile(e, e.path, OutputFile::Mode::Append)) throw WriteError(e.target, ec);
        }
        e.file.SetLastWrite({e.entry->date, e.entry->time});
        const std::error_code closed = e.file.Close();
        CloseFile(e);
        if (closed) throw WriteError(e.target, closed);
        if (e.replacing) {
            // Replaces the existing file in one step (MoveFileEx with
            // replacing on Windows): it stays whole until the new one is.
            std::error_code ec;
            fs::rename(e.path, e.target, ec);
            if (ec) throw WriteError(e.target, ec);
        }
    } catch (...) {
        Discard(e);
        throw;
    }
}

void FileTarget::Abort(size_t index) noexcept {
    std::unique_ptr<Entry> e;
    {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(index);
        if (it == entries_.end()) return;
        e = std::move(it->second);
        entries_.erase(it);
    }
    Discard(*e);
}

FileTarget::Entry& FileTarget::Find(size_t index) {
    std::lock_guard lock(mutex_);
    return *entries_.at(index);
}

std::unique_ptr<FileTarget::Entry> FileTarget::Take(size_t index) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(index);
    if (it == entries_.end()) throw CabError(CabErrorKind::Io, L"Błąd rozpakowywania.");
    auto e = std::move(it->second);
    entries_.erase(it);
    return e;
}

void FileTarget::EnsureDirectory(const fs::path& dir) {
    {
        std::lock_guard lock(mutex_);
        if (directories_.count(dir.native())) return;
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec && !fs::is_directory(dir)) throw WriteError(dir, ec);
    std::lock_guard lock(mutex_);
    directories_.insert(dir.native());
}

std::error_code FileTarget::OpenFile(Entry& e, const fs::path& path, OutputFile::Mode mode) {
    const std::error_code ec = e.file.Open(path, mode);
    if (!ec) RaisePeak(peakOpen_, ++open_);
    return ec;
}

void FileTarget::CloseFile(Entry& e) {
    if (e.file.IsOpen()) e.file.Close();
    if (e.kept) {
        --kept_;
        e.kept = false;
    }
    --open_;
}

void FileTarget::Create(Entry& e) {
    std::error_code ec = OpenFile(e, e.target, OutputFile::Mode::CreateNew);
    if (!ec) {
        e.path = e.target;
        e.created = true;
        return;
    }
    if (ec != std::errc::file_exists) throw WriteError(e.target, ec);
    std::error_code ignored;
    if (fs::is_directory(e.target, ignored))
        throw WriteError(e.target, std::make_error_code(std::errc::is_a_directory));
    if (allowOverwrite) {
        bool allow = true;
        CallOnCaller([&] { allow = allowOverwrite(e.target); });
        if (!allow) {
            e.declined = true;
            return;
        }
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path temp = TempName(e.target);
        ec = OpenFile(e, temp, OutputFile::Mode::CreateNew);
        if (ec == std::errc::file_exists) continue;
        if (ec) throw WriteError(e.target, ec);
        e.path = temp;
        e.created = e.replacing = true;
        return;
    }
    throw WriteError(e.target, ec);
}

void FileTarget::Flush(Entry& e, bool finishing) {
    if (!e.created && !e.declined) Create(e);
    if (e.declined) {
        Release(e);
        return;
    }
    if (!e.buffer.empty()) {
        if (!e.file.IsOpen()) {
            if (const auto ec = OpenFile(e, e.path, OutputFile::Mode::Append)) throw WriteError(e.target, ec);
        }
        if (const auto ec = e.file.Write(e.buffer.data(), e.buffer.size())) throw WriteError(e.target, ec);
        Release(e);
    }
    if (finishing || e.kept || !e.file.IsOpen()) return;
    if (++kept_ <= kKeptOpen) {
        e.kept = true;
        return;
    }
    --kept_;
    const std::error_code closed = e.file.Close();
    CloseFile(e);
    if (closed) throw WriteError(e.target, closed);
}

void FileTarget::Release(Entry& e) {
    buffered_ -= e.buffer.size();
    if (e.buffer.capacity() > kChunk) {
        std::vector<uint8_t>().swap(e.buffer);
    } else {
        e.buffer.clear();
    }
}

void FileTarget::Discard(Entry& e) noexcept {
    Release(e);
    if (e.file.IsOpen()) CloseFile(e);
    if (e.created) {
        std::error_code ec;
        fs::remove(e.path, ec);
        e.created = false;
    }
}
