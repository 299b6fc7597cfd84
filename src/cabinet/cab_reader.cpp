#include "cabinet/cab_reader.h"

#include "cabinet/cab_error.h"
#include "cabinet/cab_format.h"
#include "cabinet/folder_decoder.h"
#include "cabinet/stored_name.h"

#include <algorithm>
#include <cstring>

namespace {

std::wstring SpanningMessage(const CabEntry& entry) {
    return L"Plik „" + entry.name +
           L"” jest podzielony między kilka archiwów zestawu; takich plików ten program nie rozpakowuje.";
}

}  // namespace

CabReader::CabReader(std::unique_ptr<ByteSource> source) : source_(std::move(source)) { ReadTables(); }

CabReader CabReader::Open(const std::filesystem::path& path) {
    return CabReader(std::make_unique<FileSource>(path));
}

std::string CabReader::ReadName(uint64_t& offset) {
    uint8_t buf[cab::kMaxNameBytes + 1];
    const uint64_t left = offset < source_->Size() ? source_->Size() - offset : 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(sizeof buf, left));
    source_->ReadAt(offset, std::span(buf, n));
    const auto* end = static_cast<const uint8_t*>(std::memchr(buf, 0, n));
    if (!end) ThrowDamaged(L"nazwa w nagłówku nie ma zakończenia");
    offset += static_cast<uint64_t>(end - buf) + 1;
    return std::string(reinterpret_cast<const char*>(buf), static_cast<size_t>(end - buf));
}

void CabReader::ReadTables() {
    uint8_t h[cab::kHeaderSize];
    if (source_->Size() < 4) throw CabError(CabErrorKind::NotCabinet, L"Plik nie jest archiwum CAB.");
    source_->ReadAt(0, std::span(h, 4));
    if (std::memcmp(h, cab::kSignature, 4) != 0)
        throw CabError(CabErrorKind::NotCabinet, L"Plik nie jest archiwum CAB.");
    if (source_->Size() < cab::kHeaderSize) ThrowDamaged(L"nagłówek jest niepełny");
    source_->ReadAt(0, std::span(h, cab::kHeaderSize));
    const uint16_t folderCount = cab::Get16(h + cab::header::kFolderCount);
    const uint16_t fileCount = cab::Get16(h + cab::header::kFileCount);
    const uint16_t flags = cab::Get16(h + cab::header::kFlags);
    set_.setId = cab::Get16(h + cab::header::kSetId);
    set_.index = cab::Get16(h + cab::header::kCabinetIndex);
    if (fileCount > 0 && folderCount == 0) ThrowDamaged(L"archiwum ma pliki, ale żadnego folderu");

    uint64_t offset = cab::kHeaderSize;
    uint8_t folderReserve = 0;
    if (flags & cab::kFlagReservePresent) {
        uint8_t r[cab::header::kReserveFieldsSize];
        source_->ReadAt(offset, std::span(r, cab::header::kReserveFieldsSize));
        const uint16_t headerReserve = cab::Get16(r + cab::header::kReserveHeader);
        folderReserve = r[cab::header::kReserveFolder];
        dataReserve_ = r[cab::header::kReserveData];
        offset += cab::header::kReserveFieldsSize + headerReserve;
    }
    if (flags & cab::kFlagPrevCabinet) {
        set_.previousCabinet = ReadName(offset);
        ReadName(offset);  // disk name
    }
    if (flags & cab::kFlagNextCabinet) {
        set_.nextCabinet = ReadName(offset);
        ReadName(offset);
    }

    folders_.resize(folderCount);
    for (auto& folder : folders_) {
        uint8_t f[cab::kFolderSize];
        source_->ReadAt(offset, std::span(f, cab::kFolderSize));
        folder.dataOffset = cab::Get32(f + cab::folder::kDataOffset);
        folder.blockCount = cab::Get16(f + cab::folder::kBlockCount);
        folder.typeCompress = cab::Get16(f + cab::folder::kTypeCompress);
        folder.compression = CabCompression::FromCode(folder.typeCompress);
        offset += cab::kFolderSize + folderReserve;
    }

    // The file table follows the folders. Its stated offset is not used:
    // readers disagree on it, and the platform's tools and cabextract read on
    // from the folders, so a crafted offset cannot show other files here.
    entries_.resize(fileCount);
    for (auto& entry : entries_) {
        uint8_t f[cab::kFileFixedSize];
        source_->ReadAt(offset, std::span(f, cab::kFileFixedSize));
        offset += cab::kFileFixedSize;
        entry.size = cab::Get32(f + cab::file::kSize);
        entry.folderOffset = cab::Get32(f + cab::file::kFolderOffset);
        entry.folder = cab::Get16(f + cab::file::kFolder);
        entry.date = cab::Get16(f + cab::file::kDate);
        entry.time = cab::Get16(f + cab::file::kTime);
        entry.attributes = cab::Get16(f + cab::file::kAttributes);
        entry.storedName = ReadName(offset);
        entry.name = DecodeStoredName(entry.storedName, entry.attributes);
        if (!entry.Spans() && entry.folder >= folderCount)
            ThrowDamaged(L"plik „" + entry.name + L"” wskazuje nieistniejący folder");
    }
}

CabCompression CabReader::Compression() const {
    return folders_.empty() ? CabCompression{} : folders_.front().compression;
}

std::vector<CabEntryFailure> CabReader::Extract(const std::vector<size_t>& indexes, ExtractTarget& target,
                                                const BlockCallback& onBlock) {
    std::vector<CabEntryFailure> failures;
    std::vector<std::vector<size_t>> byFolder(folders_.size());
    for (size_t index : indexes) {
        const CabEntry& entry = entries_.at(index);
        if (entry.Spans())
            failures.push_back({index, SpanningMessage(entry)});
        else
            byFolder[entry.folder].push_back(index);
    }
    for (size_t folder = 0; folder < byFolder.size(); ++folder)
        if (!byFolder[folder].empty())
            ExtractFolder(static_cast<uint16_t>(folder), byFolder[folder], target, onBlock, failures);
    std::sort(failures.begin(), failures.end(),
              [](const CabEntryFailure& a, const CabEntryFailure& b) { return a.index < b.index; });
    return failures;
}

void CabReader::ExtractFolder(uint16_t folder, std::vector<size_t>& indexes, ExtractTarget& target,
                              const BlockCallback& onBlock, std::vector<CabEntryFailure>& failures) {
    std::stable_sort(indexes.begin(), indexes.end(), [&](size_t a, size_t b) {
        return entries_[a].folderOffset < entries_[b].folderOffset;
    });
    std::vector<size_t> active;  // begun, not yet complete
    auto fail = [&](size_t index, const std::wstring& message, bool begun) {
        if (begun) target.Abort(index);
        failures.push_back({index, message});
    };
    // Runs one step of the target for an entry; a throw fails that entry only.
    auto guarded = [&](size_t index, bool begun, auto&& step) {
        try {
            step();
            return true;
        } catch (const Failure& f) {
            fail(index, f.message(), begun);
        } catch (const std::exception&) {
            fail(index, L"Błąd zapisu pliku „" + entries_[index].name + L"”.", begun);
        }
        return false;
    };
    auto finish = [&](size_t index) { guarded(index, true, [&] { target.Finish(index); }); };

    size_t next = 0;
    // Empty entries need no data.
    std::vector<size_t> pending;
    for (size_t index : indexes) {
        if (entries_[index].size != 0) {
            pending.push_back(index);
            continue;
        }
        bool begin = false;
        if (guarded(index, false, [&] { begin = target.Begin(index, entries_[index]); }) && begin) finish(index);
    }
    if (pending.empty()) return;

    uint64_t pos = 0;
    try {
        FolderDecoder decoder(*source_, folders_[folder], dataReserve_);
        while (next < pending.size() || !active.empty()) {
            const std::span<const uint8_t> block = decoder.Next();
            if (block.empty()) ThrowDamaged(L"dane pliku wykraczają poza koniec folderu");
            const uint64_t end = pos + block.size();
            while (next < pending.size() && entries_[pending[next]].folderOffset < end) {
                const size_t index = pending[next++];
                bool begin = false;
                if (guarded(index, false, [&] { begin = target.Begin(index, entries_[index]); }) && begin)
                    active.push_back(index);
            }
            for (size_t i = 0; i < active.size();) {
                const size_t index = active[i];
                const CabEntry& entry = entries_[index];
                const uint64_t from = std::max<uint64_t>(entry.folderOffset, pos);
                const uint64_t to = std::min<uint64_t>(uint64_t{entry.folderOffset} + entry.size, end);
                bool ok = guarded(index, true, [&] {
                    target.Write(index, block.subspan(static_cast<size_t>(from - pos), static_cast<size_t>(to - from)));
                });
                if (ok && to == uint64_t{entry.folderOffset} + entry.size) {
                    finish(index);
                    ok = false;
                }
                if (ok)
                    ++i;
                else
                    active.erase(active.begin() + static_cast<std::ptrdiff_t>(i));
            }
            pos = end;
            if (onBlock) onBlock(decoder.LastBlockStoredSize(), block.size());
        }
    } catch (const Failure& f) {
        for (size_t index : active) fail(index, f.message(), true);
        for (; next < pending.size(); ++next) fail(pending[next], f.message(), false);
    }
}

void CabReader::Test(const BlockCallback& onBlock) {
    for (const CabEntry& entry : entries_)
        if (entry.Spans())
            throw CabError(CabErrorKind::Unsupported, SpanningMessage(entry));
    // Folders of a sound cabinet never share data; decoding each stored byte
    // once keeps a crafted table of folders from multiplying the work.
    std::vector<size_t> order(folders_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return folders_[a].dataOffset < folders_[b].dataOffset; });
    std::vector<uint64_t> folderSize(folders_.size(), 0);
    uint64_t decodedUpTo = 0;
    for (size_t f : order) {
        if (folders_[f].blockCount == 0) continue;
        if (folders_[f].dataOffset < decodedUpTo) ThrowDamaged(L"foldery współdzielą dane");
        FolderDecoder decoder(*source_, folders_[f], dataReserve_);
        uint64_t stored = folders_[f].dataOffset;
        for (auto block = decoder.Next(); !block.empty(); block = decoder.Next()) {
            folderSize[f] += block.size();
            stored += decoder.LastBlockStoredSize();
            if (onBlock) onBlock(decoder.LastBlockStoredSize(), block.size());
        }
        decodedUpTo = stored;
    }
    for (const CabEntry& entry : entries_)
        if (uint64_t{entry.folderOffset} + entry.size > folderSize[entry.folder])
            ThrowDamaged(L"plik „" + entry.name + L"” wykracza poza dane swojego folderu");
}
