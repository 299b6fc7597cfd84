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

bool TCABFileContents::Contains(const std::wstring& name) const {
    return std::any_of(items_.begin(), items_.end(),
                       [&](const TCABFileEntry& e) { return SameNameAsciiNoCase(e.Name, name); });
}

bool TCABFile::NameFits(const TCABFileEntry& entry) {
    const StoredName name = EncodeStoredName(StoredNameOf(entry));
    return !name.bytes.empty() && name.bytes.size() <= cab::kMaxNameBytes;
}

bool TCABFile::Compress() {
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
    try {
        const CabReader reader = CabReader::Open(PathFromWide(CABFile));
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

TCABFile::TExtractFailures TCABFile::ExtractFiles(const std::vector<std::wstring>& names) {
    TExtractFailures failed;
    LastError.clear();
    std::unordered_map<std::wstring, size_t> byKey;
    for (size_t k = 0; k < names.size(); ++k) byKey.emplace(NameKeyAsciiNoCase(names[k]), k);
    try {
        CabReader reader = CabReader::Open(PathFromWide(CABFile));
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
