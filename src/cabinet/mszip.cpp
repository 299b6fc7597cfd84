#include "cabinet/mszip.h"

#include "cabinet/cab_error.h"
#include "cabinet/cab_format.h"

#include <zlib.h>

#include <algorithm>
#include <new>

namespace {

constexpr int kRawWindowBits = -15;

}  // namespace

MszipCompressor::MszipCompressor(int level) : z_(new z_stream{}) {
    if (deflateInit2(z_, level, Z_DEFLATED, kRawWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        delete z_;
        throw std::bad_alloc();
    }
}

MszipCompressor::~MszipCompressor() {
    deflateEnd(z_);
    delete z_;
}

void MszipCompressor::Begin(std::span<const uint8_t> dictionary) {
    deflateReset(z_);
    if (!dictionary.empty() &&
        deflateSetDictionary(z_, dictionary.data(), static_cast<uInt>(dictionary.size())) != Z_OK)
        throw CabError(CabErrorKind::Compression, L"Błąd kompresji MSZIP.");
}

void MszipCompressor::Compress(std::span<const uint8_t> block, std::vector<uint8_t>& out) {
    // Room for stored blocks of incompressible data and the flush markers.
    out.resize(2 + block.size() + block.size() / 64 + 64);
    out[0] = 'C';
    out[1] = 'K';
    z_->next_in = const_cast<Bytef*>(block.data());
    z_->avail_in = static_cast<uInt>(block.size());
    size_t used = 2;
    for (;;) {
        z_->next_out = out.data() + used;
        z_->avail_out = static_cast<uInt>(out.size() - used);
        const int rc = deflate(z_, Z_SYNC_FLUSH);
        used = out.size() - z_->avail_out;
        if (rc != Z_OK && rc != Z_BUF_ERROR) throw CabError(CabErrorKind::Compression, L"Błąd kompresji MSZIP.");
        if (z_->avail_out != 0) break;  // all input consumed and flushed
        out.resize(out.size() * 2);
    }
    out.resize(used);
    out.push_back(0x03);  // an empty final block with fixed codes
    out.push_back(0x00);
}

MszipDecompressor::MszipDecompressor() : z_(new z_stream{}) {
    if (inflateInit2(z_, kRawWindowBits) != Z_OK) {
        delete z_;
        throw std::bad_alloc();
    }
    history_.reserve(cab::kBlockSize);
}

MszipDecompressor::~MszipDecompressor() {
    inflateEnd(z_);
    delete z_;
}

void MszipDecompressor::Reset() { history_.clear(); }

bool MszipDecompressor::Decompress(std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (in.size() < 2 || in[0] != 'C' || in[1] != 'K') return false;
    inflateReset(z_);
    if (!history_.empty() &&
        inflateSetDictionary(z_, history_.data(), static_cast<uInt>(history_.size())) != Z_OK)
        return false;
    z_->next_in = const_cast<Bytef*>(in.data() + 2);
    z_->avail_in = static_cast<uInt>(in.size() - 2);
    z_->next_out = out.data();
    z_->avail_out = static_cast<uInt>(out.size());
    // With all input present and Z_FINISH, inflate either ends the stream or
    // stops for want of input or output space: it cannot loop.
    const int rc = inflate(z_, Z_FINISH);
    if (rc != Z_STREAM_END || z_->avail_out != 0) return false;

    // Keep the last 32 KiB of the folder for the next block.
    const size_t keep = cab::kBlockSize;
    if (out.size() >= keep) {
        history_.assign(out.end() - keep, out.end());
    } else {
        const size_t drop = history_.size() + out.size() > keep ? history_.size() + out.size() - keep : 0;
        history_.erase(history_.begin(), history_.begin() + static_cast<std::ptrdiff_t>(drop));
        history_.insert(history_.end(), out.begin(), out.end());
    }
    return true;
}
