#include "cabinet/cabfile.h"

#include "cabinet/cab_error.h"
#include "cabinet/cab_format.h"
#include "cabinet/cab_reader.h"
#include "cabinet/cab_writer.h"
#include "cabinet/dos_time.h"
#include "cabinet/file_target.h"
#include "cabinet/platform_file.h"
#include "cabinet/stored_name.h"
#include "util/paths.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

CabCompression WriterCompression(TCompressionType type, TLZXMemory memory) {
    switch (type) {
        case typNone: return {CabMethod::None, 0};
        case typLZX: return {CabMethod::Lzx, 15 + std::clamp(static_cast<int>(memory), 0, 6)};
        default: return {CabMethod::Mszip, 0};
    }
}

int32_t Clamp32(uint64_t value) { return static_cast<int32_t>(std::min<uint64_t>(value, INT32_MAX)); }

// RelPath, a backslash and the file name of the source; the bare name
// without a RelPath.
std::wstring StoredNameOf(const TCABFileEntry& entry) {
    std::wstring stored = FileNamePart(entry.Name);
    if (!entry.RelPath.empty()) stored = entry.RelPath + (entry.RelPath.back() == L'\\' ? L"" : L"\\") + stored;
    return stored;
}

// One entry written to a file named by the caller; removed when it fails.
class SingleFileTarget : public ExtractTarget {
public:
    SingleFileTarget(fs::path path, std::function<void(const CabEntry&, uint64_t)> onWritten)
        : path_(std::move(path)), onWritten_(std::move(onWritten)) {}
    ~SingleFileTarget() override {
        if (open_) Abort(0);
    }

    bool Begin(size_t, const CabEntry& entry) override {
        entry_ = &entry;
        written_ = 0;
        out_.open(path_, std::ios::binary | std::ios::trunc);
        if (!out_) throw CabError(CabErrorKind::Io, L"Nie można zapisać pliku „" + WideFromPath(path_) + L"”.");
        open_ = true;
        return true;
    }
    void Write(size_t, std::span<const uint8_t> bytes) override {
        out_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out_) throw CabError(CabErrorKind::Io, L"Nie można zapisać pliku „" + WideFromPath(path_) + L"”.");
        written_ += bytes.size();
        if (onWritten_) onWritten_(*entry_, written_);
    }
    void Finish(size_t) override {
        out_.close();
        open_ = false;
        if (!out_) {
            std::error_code ec;
            fs::remove(path_, ec);
            throw CabError(CabErrorKind::Io, L"Nie można zapisać pliku „" + WideFromPath(path_) + L"”.");
        }
        SetLastWriteFromDos(path_, {entry_->date, entry_->time});
        done_ = true;
    }
    void Abort(size_t) noexcept override {
        out_.close();
        open_ = false;
        std::error_code ec;
        fs::remove(path_, ec);
    }
    bool Done() const { return done_; }

private:
    fs::path path_;
    std::function<void(const CabEntry&, uint64_t)> onWritten_;
    std::ofstream out_;
    const CabEntry* entry_ = nullptr;
    uint64_t written_ = 0;
    bool open_ = false;
    bool done_ = false;
};

}  // namespace

std::wstring CabFileErrorText(int code) {
    switch (code) {
        case 0: return L"No error";
        case 1: return L"Failure opening file to be stored in cabinet";
        case 2: return L"Failure reading file to be stored in cabinet";
        case 3: return L"Insufficient memory in FCI";
        case 4: return L"Could not create a temporary file";
        case 5: return L"Unknown compression type";
        case 6: return L"Could not create cabinet file";
        case 7: return L"Client requested abort";
        case 8: return L"Failure compressing data";
        default: return L"Unknown error";
    }
}

TCABFileEntry& TCABFileContents::Add() { return items_.emplace_back(); }

// A reader with the file it read: the same path, size and last-write time
// mean the same tables.
struct TCABFile::KeptReader {
    std::wstring path;
    uintmax_t size = 0;
    fs::file_time_type written;
    CabReader reader;
};

namespace {

bool SameFile(const fs::path& path, uintmax_t size, fs::file_time_type written) {
    std::error_code ec;
    const uintmax_t now = fs::file_size(path, ec);
    if (ec || now != size) return false;
    const fs::file_time_type time = fs::last_write_time(path, ec);
    return !ec && time == written;
}

}  // namespace

TCABFile::TCABFile() = default;
TCABFile::~TCABFile() = default;

CabReader& TCABFile::Reader() {
    const fs::path path = PathFromWide(CABFile);
    if (kept_ && kept_->path == CABFile && SameFile(path, kept_->size, kept_->written)) return kept_->reader;
    kept_.reset();
    // The size and time are taken before the tables are read: a file that
    // changes meanwhile is read again next time.
    std::error_code sizeError, timeError;
    const uintmax_t size = fs::file_size(path, sizeError);
    const fs::file_time_type written = fs::last_write_time(path, timeError);
    CabReader reader = CabReader::Open(path);
    // Without its size and time the file is read again each time.
    const bool known = !sizeError && !timeError;
    kept_.reset(new KeptReader{known ? CABFile : L"", size, written, std::move(reader)});
    return kept_->reader;
}

bool TCABFileContents::Contains(const std::wstring& name) const {
    return std::any_of(items_.begin(), items_.end(),
                       [&](const TCABFileEntry& e) { return SameNameAsciiNoCase(e.Name, name); });
}

bool TCABFile::NameFits(const TCABFileEntry& entry) {
    const StoredName name = EncodeStoredName(StoredNameOf(entry));
    return !name.bytes.empty() && name.bytes.size() <= cab::kMaxNameBytes;
}

bool TCABFile::Compress() {
    kept_.reset();
    TotalSize = CompressedSize = ProcessedSize = 0;
    std::vector<CabSource> sources;
    uint64_t total = 0;
    for (int i = 0; i < CABFileContents.Count(); ++i) {
        const TCABFileEntry& entry = CABFileContents.Items(i);
        std::wstring stored = StoredNameOf(entry);
        std::error_code ec;
        fs::path source = fs::absolute(PathFromWide(entry.Name), ec);
        if (ec) source = PathFromWide(entry.Name);
        total += SourceSize(source);
        sources.push_back({std::move(source), std::move(stored)});
    }
    CheckSourceTotal(total);
    TotalSize = static_cast<int32_t>(total);

    CabWriteOptions options;
    options.compression = WriterCompression(CompressionType, LZXMemory);
    uint64_t compressed = 0, processed = 0;
    try {
        WriteCabinet(PathFromWide(CABFile), sources, options, [&](size_t c, size_t u) {
            compressed += c;
            processed += u;
            CompressedSize = Clamp32(compressed);
            ProcessedSize = Clamp32(processed);
            if (OnCompressProgress) OnCompressProgress(this, ProcessedSize, TotalSize);
        });
    } catch (const CabError& e) {
        throw ECABFileError(CabFileErrorText(static_cast<int>(e.kind())));
    }
    return true;
}

void TCABFile::ReadContents() {
    PassKind = TCABPassKind::List;
    CABFileContents.Clear();
    LastError.clear();
    archiveCompression_ = {};
    kept_.reset();
    try {
        const CabReader& reader = Reader();
        for (const CabEntry& e : reader.Entries()) {
            TCABFileEntry& entry = CABFileContents.Add();
            entry.Name = e.name;
            entry.Size = Clamp32(e.size);
            entry.FileDate = DosToDateTime({e.date, e.time});
        }
        archiveCompression_ = reader.Compression();
    } catch (const Failure& f) {
        CABFileContents.Clear();
        LastError = f.message();
    }
}

bool TCABFile::ExtractFile(const std::wstring& name) {
    PassKind = TCABPassKind::SingleFile;
    ExtractName = name;
    return ExtractFiles({name}).empty();
}

bool TCABFile::ExtractEntryAs(int index, const std::wstring& path) {
    PassKind = TCABPassKind::SingleFile;
    LastError.clear();
    const fs::path target = PathFromWide(path);
    try {
        CabReader& reader = Reader();
        if (index < 0 || static_cast<size_t>(index) >= reader.Entries().size()) {
            LastError = L"Archiwum nie ma pliku o numerze " + std::to_wstring(index + 1) + L".";
            return false;
        }
        const CabEntry& entry = reader.Entries()[static_cast<size_t>(index)];
        ExtractName = entry.name;
        CurrentFileName = entry.name;
        CurrentFileSize = Clamp32(entry.size);
        CurrentWritten = 0;
        SingleFileTarget file(target, [&](const CabEntry&, uint64_t written) {
            CurrentWritten = Clamp32(written);
            if (OnDecompressProgress) OnDecompressProgress(this, CurrentFileName, CurrentWritten, CurrentFileSize);
        });
        const auto failures = reader.Extract({static_cast<size_t>(index)}, file);
        if (!failures.empty()) LastError = failures.front().message;
        else if (!file.Done()) LastError = L"Nie udało się rozpakować pliku " + entry.name + L".";
    } catch (const Failure& f) {
        LastError = f.message();
    }
    if (LastError.empty()) return true;
    std::error_code ec;
    fs::remove(target, ec);
    return false;
}

TCABFile::TExtractFailures TCABFile::ExtractFiles(const std::vector<std::wstring>& names) {
    TExtractFailures failed;
    LastError.clear();
    std::unordered_map<std::wstring, size_t> byKey;
    for (size_t k = 0; k < names.size(); ++k) byKey.emplace(NameKeyAsciiNoCase(names[k]), k);
    try {
        CabReader& reader = Reader();
        std::vector<size_t> wanted;
        std::vector<size_t> nameOf(reader.Entries().size(), 0);
        for (size_t i = 0; i < reader.Entries().size(); ++i) {
            const auto found = byKey.find(NameKeyAsciiNoCase(reader.Entries()[i].name));
            if (found == byKey.end()) continue;
            wanted.push_back(i);
            nameOf[i] = found->second;
        }
        if (wanted.empty()) return failed;

        FileTarget target(TargetPath.empty() ? fs::current_path() : PathFromWide(TargetPath));
        target.onEntry = [&](const CabEntry& e) {
            CurrentFileName = e.name;
            CurrentWritten = 0;
            CurrentFileSize = Clamp32(e.size);
        };
        target.allowOverwrite = [&](const fs::path& path) {
            bool allow = true;
            if (OnOverWriteFile) OnOverWriteFile(this, WideFromPath(path), allow);
            return allow;
        };
        target.onWritten = [&](const CabEntry&, uint64_t written) {
            CurrentWritten = Clamp32(written);
            if (OnDecompressProgress) OnDecompressProgress(this, CurrentFileName, CurrentWritten, CurrentFileSize);
        };
        for (const CabEntryFailure& f : reader.Extract(wanted, target))
            failed.emplace_back(names[nameOf[f.index]], f.message);
    } catch (const Failure& f) {
        failed.clear();
        for (const std::wstring& name : names) failed.emplace_back(name, f.message());
    }
    if (!failed.empty()) LastError = failed.front().second;
    return failed;
}
