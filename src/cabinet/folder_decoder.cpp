#include "cabinet/folder_decoder.h"

#include "cabinet/cab_error.h"
#include "cabinet/cab_format.h"
#include "cabinet/checksum.h"
#include "cabinet/lzx.h"
#include "cabinet/mszip.h"

FolderDecoder::FolderDecoder(ByteSource& source, const CabFolder& folder, uint8_t dataReserve)
    : source_(source),
      method_(folder.compression.method),
      dataReserve_(dataReserve),
      offset_(folder.dataOffset),
      blocksLeft_(folder.blockCount),
      in_(cab::kDataHeaderSize + 255 + 65535),
      out_(cab::kBlockSize) {
    switch (method_) {
        case CabMethod::None: break;
        case CabMethod::Mszip: mszip_ = std::make_unique<MszipDecompressor>(); break;
        case CabMethod::Lzx:
            if (folder.compression.lzxWindowBits < 15 || folder.compression.lzxWindowBits > 21)
                ThrowDamaged(L"nieprawidłowy rozmiar okna LZX");
            lzx_ = std::make_unique<LzxDecoder>(folder.compression.lzxWindowBits);
            break;
        case CabMethod::Quantum:
            throw CabError(CabErrorKind::Unsupported,
                           L"Archiwum używa kompresji Quantum, której ten program nie obsługuje.");
        case CabMethod::Unknown:
            throw CabError(CabErrorKind::Unsupported, L"Archiwum używa nieznanej metody kompresji.");
    }
}

FolderDecoder::~FolderDecoder() = default;

std::span<const uint8_t> FolderDecoder::Next() {
    if (blocksLeft_ == 0) return {};
    const size_t headerSize = cab::kDataHeaderSize + dataReserve_;
    source_.ReadAt(offset_, std::span(in_.data(), headerSize));
    const uint32_t stored = cab::Get32(in_.data() + cab::data::kChecksum);
    const uint16_t cbData = cab::Get16(in_.data() + cab::data::kCompressed);
    const uint16_t cbUncomp = cab::Get16(in_.data() + cab::data::kUncompressed);
    // An uncompressed size of 0 marks a block split across cabinets of a set.
    if (cbUncomp == 0 || cbUncomp > cab::kBlockSize)
        ThrowDamaged(L"blok danych ma nieprawidłowy rozmiar");
    uint8_t* data = in_.data() + headerSize;
    source_.ReadAt(offset_ + headerSize, std::span(data, cbData));
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
