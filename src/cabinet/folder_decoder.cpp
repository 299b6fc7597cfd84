#include "cabinet/folder_decoder.h"

#include <algorithm>

#include "cabinet/cab_error.h"
#include "cabinet/cab_format.h"
#include "cabinet/checksum.h"
#include "cabinet/lzx.h"
#include "cabinet/mszip.h"

FolderDecoderCache::FolderDecoderCache() = default;
FolderDecoderCache::~FolderDecoderCache() = default;

FolderDecoder::FolderDecoder(ByteSource& source, const CabFolder& folder, uint8_t dataReserve,
                             FolderDecoderCache* cache, uint64_t dataEnd)
    : source_(source),
      method_(folder.compression.method),
      dataReserve_(dataReserve),
      offset_(folder.dataOffset),
      blocksLeft_(folder.blockCount),
      dataEnd_(dataEnd),
      out_(cab::kBlockSize),
      cache_(cache) {
    const size_t inSize = dataEnd > folder.dataOffset ? kReadAhead : cab::kDataHeaderSize + 255 + 65535;
    if (cache_ && cache_->readBuffer.size() >= inSize)
        in_ = std::move(cache_->readBuffer);
    else
        in_.resize(inSize);
    switch (method_) {
        case CabMethod::None: break;
        case CabMethod::Mszip: mszip_ = std::make_unique<MszipDecompressor>(); break;
        case CabMethod::Lzx:
            if (folder.compression.lzxWindowBits < 15 || folder.compression.lzxWindowBits > 21)
                ThrowDamaged(L"nieprawidłowy rozmiar okna LZX");
            if (cache_ && cache_->lzx && cache_->lzxWindowBits == folder.compression.lzxWindowBits) {
                lzx_ = std::move(cache_->lzx);
                lzx_->Reset();
            } else {
                lzx_ = std::make_unique<LzxDecoder>(folder.compression.lzxWindowBits);
            }
            lzxWindowBits_ = folder.compression.lzxWindowBits;
            break;
        case CabMethod::Quantum:
            throw CabError(CabErrorKind::Unsupported,
                           L"Archiwum używa kompresji Quantum, której ten program nie obsługuje.");
        case CabMethod::Unknown:
            throw CabError(CabErrorKind::Unsupported, L"Archiwum używa nieznanej metody kompresji.");
    }
}

FolderDecoder::~FolderDecoder() {
    if (!cache_) return;
    if (lzx_) {
        cache_->lzxWindowBits = lzxWindowBits_;
        cache_->lzx = std::move(lzx_);
    }
    if (in_.size() > cache_->readBuffer.size()) cache_->readBuffer = std::move(in_);
}

const uint8_t* FolderDecoder::Bytes(uint64_t at, size_t size) {
    if (at >= inStart_ && at - inStart_ + size <= inSize_) return in_.data() + (at - inStart_);
    // Past the folder's end (damage), or the end unknown: only what is asked
    // for, so that a block past the end of the file fails as it is read.
    size_t want = size;
    if (at < dataEnd_) want = std::max<size_t>(size, static_cast<size_t>(std::min<uint64_t>(in_.size(), dataEnd_ - at)));
    inSize_ = 0;
    source_.ReadAt(at, std::span(in_.data(), want));
    inStart_ = at;
    inSize_ = want;
    return in_.data();
}

std::span<const uint8_t> FolderDecoder::Next() {
    if (blocksLeft_ == 0) return {};
    const size_t headerSize = cab::kDataHeaderSize + dataReserve_;
    const uint8_t* header = Bytes(offset_, headerSize);
    const uint32_t stored = cab::Get32(header + cab::data::kChecksum);
    const uint16_t cbData = cab::Get16(header + cab::data::kCompressed);
    const uint16_t cbUncomp = cab::Get16(header + cab::data::kUncompressed);
    // An uncompressed size of 0 marks a block split across cabinets of a set.
    if (cbUncomp == 0 || cbUncomp > cab::kBlockSize)
        ThrowDamaged(L"blok danych ma nieprawidłowy rozmiar");
    const uint8_t* data = Bytes(offset_ + headerSize, cbData);
    if (stored != 0 && stored != CabBlockChecksum(data, cbData, cbUncomp))
        ThrowDamaged(L"błędna suma kontrolna bloku danych");

    const std::span<uint8_t> out(out_.data(), cbUncomp);
    bool ok = false;
    switch (method_) {
        case CabMethod::None:
            ok = cbData == cbUncomp;
            if (ok) std::copy(data, data + cbData, out.begin());
            break;
        case CabMethod::Mszip: ok = mszip_->Decompress(std::span(data, cbData), out); break;
        case CabMethod::Lzx: ok = lzx_->DecodeFrame(data, cbData, out.data(), out.size()); break;
        default: break;
    }
    if (!ok) ThrowDamaged(L"dane bloku nie dają się rozpakować");
    offset_ += headerSize + cbData;
    lastStored_ = headerSize + cbData;
    --blocksLeft_;
    return out;
}
