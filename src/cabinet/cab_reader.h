#pragma once
// Reads a cabinet: the header, folder and file tables at once (bounded: at
// most 65535 folders and files, names of at most 255 bytes), the data only on
// demand and only of the folders asked for.
//
// Before any data is decoded, the headers of the data blocks are walked once
// (each stored byte is looked at by at most one folder): that gives every
// folder's uncompressed size and every entry's structural verdict
// (EntryFault), the same for Test, Extract and whatever uses them.
//
// Extraction is one sweep per folder: the folder is decoded from its first
// block up to the end of the last wanted entry, and every wanted entry
// receives its part of each decoded block. Entries of other folders cost
// nothing, so the last file of an archive costs its own folder only. Folders
// are independent: with a target that allows it (Concurrent), they are
// decoded and delivered side by side on worker threads, and whatever must
// happen on the calling thread (questions, progress) is handed to it in the
// order a single thread would meet it.
#include "cabinet/byte_source.h"
#include "cabinet/cab_types.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct FolderDecoderCache;

// Where an extraction pass delivers its entries. Begin may decline an entry;
// Write receives its bytes in order; Finish follows the last byte of an entry
// whose every block decoded with a good checksum; Abort ends an entry that was
// begun but could not be completed. Begin, Write and Finish may throw
// (Failure): the entry then fails and the pass goes on with the others.
class ExtractTarget {
public:
    virtual ~ExtractTarget() = default;
    // True when the calls for entries of different folders may come from
    // different threads at once (those of one folder always come from one
    // thread, in order). Such a target runs its callbacks through
    // PostToCaller and CallOnCaller.
    virtual bool Concurrent() const { return false; }
    // Once, before anything is decoded, with every entry that may be begun
    // (those that passed the structural checks). A throw (Failure) refuses
    // the whole extraction before anything is written.
    virtual void Prepare(const std::vector<const CabEntry*>& entries) {}
    virtual bool Begin(size_t index, const CabEntry& entry) = 0;
    virtual void Write(size_t index, std::span<const uint8_t> bytes) = 0;
    virtual void Finish(size_t index) = 0;
    virtual void Abort(size_t index) noexcept = 0;
};

// For a Concurrent target, called from its Begin, Write or Finish: runs fn on
// the thread that called Extract, after everything handed over for the
// entries a single thread would have met before. PostToCaller returns at once
// (fn runs later; whatever fn needs must be captured by value or outlive the
// extraction); if fn throws, the extraction stops, every unfinished entry is
// aborted and Extract rethrows it. CallOnCaller waits for fn and rethrows
// what it throws. Outside a parallel extraction both run fn at once.
void PostToCaller(std::function<void()> fn);
void CallOnCaller(const std::function<void()>& fn);

struct CabEntryFailure {
    static constexpr size_t kNoEntry = static_cast<size_t>(-1);
    size_t index;  // kNoEntry for damage no entry lies in (Test)
    std::wstring message;
};

// Called after every decoded data block: its stored size (header included)
// and its uncompressed size. On the calling thread; a throw stops the pass.
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

    // Why an entry cannot be extracted, from the tables and the blocks'
    // headers alone; empty when nothing stands in its way before decoding.
    // Refused: entries continued from or into another cabinet, entries
    // without a name, entries of folders whose data overlaps another
    // folder's, of unsupported methods, and entries reaching past the
    // blocks their folder has (or past a damaged block header).
    std::wstring EntryFault(size_t index);

    // The worker threads an extraction uses by default: one per processor,
    // at most 4.
    static unsigned DefaultThreads();

    // Extracts the given entries (indexes into Entries()) in one pass; returns
    // the entries that failed, with the reason, in index order. Entries with
    // a structural fault fail before anything is decoded; the target may
    // refuse the whole pass in Prepare (the throw propagates). threads 0:
    // DefaultThreads(); a target that is not Concurrent gets one.
    std::vector<CabEntryFailure> Extract(const std::vector<size_t>& indexes, ExtractTarget& target,
                                         const BlockCallback& onBlock = {}, unsigned threads = 0);

    // Decodes every block of every folder it may, as extraction would, and
    // returns every fault: the entries that would fail, with the reasons
    // Extract gives, and damage outside any entry (kNoEntry). Empty: sound.
    std::vector<CabEntryFailure> Test(const BlockCallback& onBlock = {}, unsigned threads = 0);

private:
    // What the walk over a folder's block headers found.
    struct FolderLayout {
        uint64_t size = 0;   // uncompressed bytes of the blocks before a fault
        uint64_t end = 0;    // where those blocks end in the archive
        std::wstring fault;  // why the blocks end early, or why the folder is refused
        bool refused = false;
    };
    struct FolderJob {
        uint16_t folder;
        std::vector<size_t> indexes;  // sorted by their place in the folder
        bool wholeFolder;             // decode every block (Test)
    };

    void ReadTables();
    void ReadTableBytes(uint64_t offset, std::span<uint8_t> out);
    std::string ReadName(uint64_t& offset);
    const std::vector<FolderLayout>& Layout();
    std::vector<CabEntryFailure> Run(std::vector<FolderJob>& jobs, ExtractTarget& target,
                                     const BlockCallback& onBlock, unsigned threads);
    void ExtractFolder(const FolderJob& job, ExtractTarget& target, const BlockCallback& onBlock,
                       std::vector<CabEntryFailure>& failures, FolderDecoderCache& cache);

    std::unique_ptr<ByteSource> source_;
    std::vector<CabFolder> folders_;
    std::vector<CabEntry> entries_;
    CabSetInfo set_;
    uint8_t dataReserve_ = 0;
    std::vector<uint8_t> tableBytes_;  // while the tables are read
    uint64_t tableStart_ = 0;
    std::vector<FolderLayout> layout_;
    bool layoutRead_ = false;
};
