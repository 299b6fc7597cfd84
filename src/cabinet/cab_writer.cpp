#include "cabinet/cab_writer.h"

#include "cabinet/cab_error.h"
#include "cabinet/cab_format.h"
#include "cabinet/checksum.h"
#include "cabinet/folder_encoder.h"
#include "cabinet/folder_pipeline.h"
#include "cabinet/platform_file.h"
#include "cabinet/stored_name.h"
#include "util/cp1250.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <thread>
#include <system_error>

namespace fs = std::filesystem;

namespace {

struct PlannedFile {
    const CabSource* source;
    StoredName name;
    uint16_t folder;
    // Filled while writing.
    uint32_t size = 0;
    uint32_t folderOffset = 0;
    SourceFileInfo info{};
};

struct PlannedFolder {
    size_t firstFile;
    size_t fileCount = 0;
    uint64_t plannedBytes = 0;  // from the sizes before writing
    // Filled while writing.
    uint32_t dataOffset = 0;
    uint16_t blockCount = 0;
    uint64_t bytes = 0;
};

[[noreturn]] void ThrowGrownPast2GB() {
    throw CabError(CabErrorKind::ReadSource,
                   L"Pliki urosły w trakcie pakowania ponad 2 GB, czyli więcej, niż mieści archiwum CAB.");
}

// "~NAME<suffix>.tevtmp" beside the archive.
fs::path TempBeside(const fs::path& archive, const std::wstring& suffix) {
    return archive.parent_path() / PathFromWide(L"~" + WideFromPath(archive.filename()) + suffix + L".tevtmp");
}

uint16_t TypeCompress(CabCompression c) {
    switch (c.method) {
        case CabMethod::None: return cab::kMethodNone;
        case CabMethod::Mszip: return cab::kMethodMszip;
        case CabMethod::Lzx: return cab::LzxCode(c.lzxWindowBits);
        default: return cab::kMethodMszip;
    }
}

// Appends data blocks to the archive: header with checksum, then the data.
class BlockWriter {
public:
    BlockWriter(std::ofstream& out, const WriteProgress& progress, uint64_t offset)
        : out_(out), progress_(progress), offset_(offset) {}

    void Write(std::span<const uint8_t> data, size_t uncompressed) {
        uint8_t header[cab::kDataHeaderSize];
        const auto cbData = static_cast<uint16_t>(data.size());
        const auto cbUncomp = static_cast<uint16_t>(uncompressed);
        cab::Put32(header + cab::data::kChecksum, CabBlockChecksum(data.data(), cbData, cbUncomp));
        cab::Put16(header + cab::data::kCompressed, cbData);
        cab::Put16(header + cab::data::kUncompressed, cbUncomp);
        offset_ += sizeof header + data.size();
        if (offset_ > cab::kMaxCabinetSize)
            throw CabError(CabErrorKind::CreateCabinet, L"Archiwum CAB przekroczyłoby 2 GB.");
        out_.write(reinterpret_cast<const char*>(header), sizeof header);
        out_.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        if (!out_) throw CabError(CabErrorKind::CreateCabinet, L"Błąd zapisu archiwum.");
        if (progress_) progress_(data.size(), uncompressed);
    }
    uint64_t Offset() const { return offset_; }

private:
    std::ofstream& out_;
    const WriteProgress& progress_;
    uint64_t offset_;
};

// The uncompressed stream of one folder: the files' bytes are gathered in a
// buffer (the 32 KiB dictionary followed by one batch of blocks) and handed
// to the encoder batch by batch; every encoded block goes to emit. One stream
// serves folder after folder with the same buffers.
class FolderStream {
public:
    explicit FolderStream(FolderEncoder& encoder)
        : encoder_(encoder),
          buffer_(cab::kBlockSize * (1 + encoder.BatchBlocks())),
          encoded_(encoder.BatchBlocks()) {}

    // Compresses one folder's files and records what was read.
    void Write(PlannedFolder& folder, std::vector<PlannedFile>& files, BlockEmit emit) {
        encoder_.Reset();
        emit_ = std::move(emit);
        blocks_ = 0;
        bytes_ = 0;
        dictSize_ = 0;
        fill_ = 0;
        for (size_t i = 0; i < folder.fileCount; ++i) AddFile(files[folder.firstFile + i]);
        Flush();
        folder.blockCount = static_cast<uint16_t>(blocks_);
        folder.bytes = bytes_;
    }

private:
    void AddFile(PlannedFile& file) {
        std::ifstream in(file.source->path, std::ios::binary);
        auto info = in ? ReadSourceFileInfo(file.source->path) : std::nullopt;
        if (!info)
            throw CabError(CabErrorKind::OpenSource,
                           L"Nie można otworzyć pliku „" + WideFromPath(file.source->path) + L"”.");
        file.info = *info;
        file.folderOffset = static_cast<uint32_t>(bytes_);
        uint64_t size = 0;
        for (;;) {
            const size_t room = buffer_.size() - cab::kBlockSize - fill_;
            in.read(reinterpret_cast<char*>(buffer_.data() + cab::kBlockSize + fill_),
                    static_cast<std::streamsize>(room));
            const size_t got = static_cast<size_t>(in.gcount());
            fill_ += got;
            size += got;
            bytes_ += got;
            if (bytes_ > kMaxSourceTotal) ThrowGrownPast2GB();
            if (fill_ == buffer_.size() - cab::kBlockSize) Flush();
            if (got < room) break;
        }
        if (in.bad())
            throw CabError(CabErrorKind::ReadSource, L"Błąd odczytu pliku „" + WideFromPath(file.source->path) + L"”.");
        file.size = static_cast<uint32_t>(size);
    }

    void Flush() {
        if (fill_ == 0) return;
        const size_t blocks = (fill_ + cab::kBlockSize - 1) / cab::kBlockSize;
        if (blocks_ + blocks > cab::kMaxCount)
            throw CabError(CabErrorKind::Compression,
                           L"Folder archiwum CAB nie może mieć więcej niż 65535 bloków danych.");
        const uint8_t* input = buffer_.data() + cab::kBlockSize;
        encoder_.Encode(std::span(input - dictSize_, dictSize_), std::span(input, fill_), encoded_);
        for (size_t i = 0; i < blocks; ++i) emit_(encoded_[i], std::min(cab::kBlockSize, fill_ - i * cab::kBlockSize));
        blocks_ += blocks;
        // The last 32 KiB of the folder become the next batch's dictionary.
        const size_t keep = std::min(cab::kBlockSize, dictSize_ + fill_);
        std::memmove(buffer_.data() + cab::kBlockSize - keep, input + fill_ - keep, keep);
        dictSize_ = keep;
        fill_ = 0;
    }

    FolderEncoder& encoder_;
    BlockEmit emit_;
    std::vector<uint8_t> buffer_;
    std::vector<std::vector<uint8_t>> encoded_;
    size_t blocks_ = 0;
    uint64_t bytes_ = 0;
    size_t dictSize_ = 0;
    size_t fill_ = 0;
};

// What the LZX workers may hold together (encoders and waiting folders'
// blocks), so that writing stays under 64 MB whatever the input.
constexpr size_t kLzxWorkersMemory = 56 << 20;

// Writes the folders' data in order. MSZIP spreads the blocks of a folder
// over the threads, so its folders stream through one encoder, as do stored
// ones. LZX cannot (its state runs through the folder): its folders are
// compressed side by side, one per worker thread, each worker keeping its
// encoder and buffers from folder to folder (see folder_pipeline.h for how
// memory stays bounded); on one thread they stream through one encoder.
class DataWriter : private FolderSink {
public:
    DataWriter(std::ofstream& out, const CabWriteOptions& options, const WriteProgress& progress, uint64_t offset,
               const fs::path& archive, size_t folderCount)
        : blocks_(out, progress, offset) {
        encoders_.push_back(FolderEncoder::Create(options.compression, options.mszipLevel, options.threads));
        // No more LZX encoders than there are folders, nor than the memory
        // budget holds: an encoder for a 2 MiB window takes about 19 MB.
        const size_t perWorker = std::max<size_t>(encoders_[0]->MemoryBytes() + options.folderMemory, 1);
        const unsigned threads = static_cast<unsigned>(std::min<size_t>(
            {options.threads ? options.threads : std::clamp(std::thread::hardware_concurrency(), 1u, 4u),
             std::max<size_t>(folderCount, 1), std::max<size_t>(kLzxWorkersMemory / perWorker, 1)}));
        if (options.compression.method == CabMethod::Lzx && threads > 1) {
            for (unsigned t = 0; t < threads; ++t) {
                if (t > 0) encoders_.push_back(FolderEncoder::Create(options.compression, 0, 1));
                pipeline_.spillFiles.push_back(TempBeside(archive, L"." + std::to_wstring(t + 1)));
            }
            pipeline_.threads = threads;
            pipeline_.folderMemory = options.folderMemory;
        }
        for (auto& encoder : encoders_) streams_.push_back(std::make_unique<FolderStream>(*encoder));
    }

    void WriteAll(std::vector<PlannedFolder>& folders, std::vector<PlannedFile>& files) {
        folders_ = &folders;
        if (streams_.size() == 1) {
            for (size_t i = 0; i < folders.size(); ++i) {
                BeginFolder(i);
                streams_[0]->Write(folders[i], files, [this](std::span<const uint8_t> d, size_t u) { WriteBlock(d, u); });
                EndFolder(i);
            }
            return;
        }
        RunFolderPipeline(folders.size(), pipeline_,
                          [&](unsigned worker, size_t folder, const BlockEmit& emit) {
                              streams_[worker]->Write(folders[folder], files, emit);
                          },
                          *this);
    }

    uint64_t Offset() const { return blocks_.Offset(); }

private:
    void BeginFolder(size_t folder) override {
        (*folders_)[folder].dataOffset = static_cast<uint32_t>(blocks_.Offset());
    }
    void WriteBlock(std::span<const uint8_t> data, size_t uncompressed) override {
        blocks_.Write(data, uncompressed);
    }
    void EndFolder(size_t folder) override {
        total_ += (*folders_)[folder].bytes;
        if (total_ > kMaxSourceTotal) ThrowGrownPast2GB();
    }

    BlockWriter blocks_;
    std::vector<std::unique_ptr<FolderEncoder>> encoders_;
    std::vector<std::unique_ptr<FolderStream>> streams_;  // one per encoder
    FolderPipelineSettings pipeline_;
    std::vector<PlannedFolder>* folders_ = nullptr;
    uint64_t total_ = 0;
};

std::vector<uint8_t> BuildTables(const std::vector<PlannedFolder>& folders, const std::vector<PlannedFile>& files,
                                 uint64_t cabinetSize, const CabWriteOptions& options) {
    size_t size = cab::kHeaderSize + folders.size() * cab::kFolderSize;
    const size_t filesOffset = size;
    for (const auto& f : files) size += cab::kFileFixedSize + f.name.bytes.size() + 1;
    std::vector<uint8_t> t(size, 0);
    uint8_t* h = t.data();
    std::memcpy(h, cab::kSignature, 4);
    cab::Put32(h + cab::header::kCabinetSize, static_cast<uint32_t>(cabinetSize));
    cab::Put32(h + cab::header::kFilesOffset, static_cast<uint32_t>(filesOffset));
    h[cab::header::kVersionMinor] = cab::kVersionMinor;
    h[cab::header::kVersionMajor] = cab::kVersionMajor;
    cab::Put16(h + cab::header::kFolderCount, static_cast<uint16_t>(folders.size()));
    cab::Put16(h + cab::header::kFileCount, static_cast<uint16_t>(files.size()));
    cab::Put16(h + cab::header::kSetId, options.setId);
    uint8_t* p = h + cab::kHeaderSize;
    for (const auto& folder : folders) {
        cab::Put32(p + cab::folder::kDataOffset, folder.dataOffset);
        cab::Put16(p + cab::folder::kBlockCount, folder.blockCount);
        cab::Put16(p + cab::folder::kTypeCompress, TypeCompress(options.compression));
        p += cab::kFolderSize;
    }
    for (const auto& f : files) {
        cab::Put32(p + cab::file::kSize, f.size);
        cab::Put32(p + cab::file::kFolderOffset, f.folderOffset);
        cab::Put16(p + cab::file::kFolder, f.folder);
        cab::Put16(p + cab::file::kDate, f.info.stamp.date);
        cab::Put16(p + cab::file::kTime, f.info.stamp.time);
        cab::Put16(p + cab::file::kAttributes,
                   static_cast<uint16_t>(f.info.attributes | (f.name.utf8 ? cab::kAttrNameIsUtf : 0)));
        p += cab::kFileFixedSize;
        std::memcpy(p, f.name.bytes.data(), f.name.bytes.size());
        p += f.name.bytes.size() + 1;
    }
    return t;
}

}  // namespace

void CheckSourceTotal(uint64_t total) {
    if (total > kMaxSourceTotal)
        throw Failure(L"Pliki do spakowania zajmują razem 2 GB lub więcej, a tyle archiwum CAB nie pomieści. "
                      L"Podziel je na kilka mniejszych archiwów.");
}

uint64_t SourceSize(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

void WriteCabinet(const fs::path& archive, const std::vector<CabSource>& sources, const CabWriteOptions& options,
                  const WriteProgress& progress) {
    if (sources.size() > cab::kMaxCount)
        throw Failure(L"Archiwum CAB może pomieścić najwyżej 65535 plików, a wybrano " +
                      std::to_wstring(sources.size()) + L".");
    std::vector<PlannedFile> files;
    std::vector<PlannedFolder> folders;
    uint64_t total = 0, inFolder = 0;
    for (const auto& source : sources) {
        StoredName name = EncodeStoredName(source.storedName);
        if (name.bytes.empty() || name.bytes.size() > cab::kMaxNameBytes)
            throw Failure(L"Nazwa „" + source.storedName +
                          L"” nie mieści się w archiwum CAB (dozwolone od 1 do 255 bajtów).");
        const uint64_t size = SourceSize(source.path);
        total += size;
        if (folders.empty() || inFolder >= options.folderThreshold) {
            folders.push_back({files.size()});
            inFolder = 0;
        }
        inFolder += size;
        folders.back().plannedBytes += size;
        ++folders.back().fileCount;
        files.push_back({&source, std::move(name), static_cast<uint16_t>(folders.size() - 1)});
    }
    CheckSourceTotal(total);

    const fs::path temp = TempBeside(archive, L"");
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out)
        throw CabError(CabErrorKind::CreateCabinet, L"Nie można utworzyć archiwum „" + WideFromPath(archive) + L"”.");
    try {
        // Space for the tables first; they are written once the data is.
        const size_t tableSize = BuildTables(folders, files, 0, options).size();
        const std::vector<uint8_t> zeros(tableSize, 0);
        out.write(reinterpret_cast<const char*>(zeros.data()), static_cast<std::streamsize>(zeros.size()));
        DataWriter data(out, options, progress, tableSize, archive, folders.size());
        data.WriteAll(folders, files);
        const auto tables = BuildTables(folders, files, data.Offset(), options);
        out.seekp(0);
        out.write(reinterpret_cast<const char*>(tables.data()), static_cast<std::streamsize>(tables.size()));
        out.close();
        if (!out)
            throw CabError(CabErrorKind::CreateCabinet, L"Błąd zapisu archiwum „" + WideFromPath(archive) + L"”.");
        std::error_code ec;
        fs::rename(temp, archive, ec);
        if (ec)
            throw CabError(CabErrorKind::CreateCabinet,
                           L"Nie można zapisać archiwum „" + WideFromPath(archive) + L"” (" + Utf8ToWide(ec.message()) + L").");
    } catch (...) {
        if (out.is_open()) out.close();
        std::error_code ec;
        fs::remove(temp, ec);
        throw;
    }
}
