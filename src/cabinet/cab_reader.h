#pragma once
// Reads a cabinet: the header, folder and file tables at once (bounded: at
// most 65535 folders and files, names of at most 255 bytes), the data only on
// demand and only of the folders asked for.
//
// Extraction is one sweep per folder: the folder is decoded from its first
// block up to the end of the last wanted entry, and every wanted entry
// receives its part of each decoded block. Entries of other folders cost
// nothing, so the last file of an archive costs its own folder only.
#include "cabinet/byte_source.h"
#include "cabinet/cab_types.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// Where an extraction pass delivers its entries. Begin may decline an entry;
// Write receives its bytes in order; Finish follows the last byte of an entry
// whose every block decoded with a good checksum; Abort ends an entry that was
// begun but could not be completed. Begin, Write and Finish may throw
// (Failure): the entry then fails and the pass goes on with the others.
class ExtractTarget {
public:
    virtual ~ExtractTarget() = default;
    virtual bool Begin(size_t index, const CabEntry& entry) = 0;
    virtual void Write(size_t index, std::span<const uint8_t> bytes) = 0;
    virtual void Finish(size_t index) = 0;
    virtual void Abort(size_t index) noexcept = 0;
};

struct CabEntryFailure {
    size_t index;
    std::wstring message;
};

// Called after every decoded data block: its stored size (header included)
// and its uncompressed size.
using BlockCallback = std::function<void(size_t storedBytes, size_t uncompressedBytes)>;

struct CabSetInfo {
    uint16_t setId = 0;
    uint16_t index = 0;          // position of this cabinet in its set
    std::string previousCabinet; // empty when none
    std::string nextCabinet;
};

class CabReader {
public:
    // Reads the tables; throws CabError (NotCabinet, Damaged, Io).
    explicit CabReader(std::unique_ptr<ByteSource> source);
    static CabReader Open(const std::filesystem::path& path);

    const std::vector<CabEntry>& Entries() const { return entries_; }
    const std::vector<CabFolder>& Folders() const { return folders_; }
    const CabSetInfo& SetInfo() const { return set_; }
    // The compression of the folders when they all agree (of the first one
    // otherwise); None for an archive without folders.
    CabCompression Compression() const;

    // Extracts the given entries (indexes into Entries()) in one pass; returns
    // the entries that failed, with the reason.
    std::vector<CabEntryFailure> Extract(const std::vector<size_t>& indexes, ExtractTarget& target,
                                         const BlockCallback& onBlock = {});

    // Decodes every block of every folder and checks that every entry lies
    // within its folder. Throws CabError on the first fault.
    void Test(const BlockCallback& onBlock = {});

private:
    void ReadTables();
    std::string ReadName(uint64_t& offset);
    void ExtractFolder(uint16_t folder, std::vector<size_t>& indexes, ExtractTarget& target,
                       const BlockCallback& onBlock, std::vector<CabEntryFailure>& failures);

    std::unique_ptr<ByteSource> source_;
    std::vector<CabFolder> folders_;
    std::vector<CabEntry> entries_;
    CabSetInfo set_;
    uint8_t dataReserve_ = 0;
};
