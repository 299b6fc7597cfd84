#pragma once
// TCABFile: the program's archive component. It creates a cabinet from a list
// of files (Compress), lists one (ReadContents) and extracts single entries
// (ExtractFile), reporting through its three events. It is a thin adapter
// over the engine (cab_writer.h, cab_reader.h, file_target.h), which the
// program uses on every platform instead of the system's cabinet services.
#include "cabinet/cab_types.h"
#include "util/datetime.h"
#include "util/failure.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Raised for the writer's failures, with the message for its error number.
class ECABFileError : public Failure {
public:
    using Failure::Failure;
};

// The message of an error number: 0 "No error" ... 8 "Failure compressing
// data", anything else "Unknown error".
std::wstring CabFileErrorText(int code);

enum TCompressionType : int { typNone, typMSZIP, typLZX };
// LZX windows of 2^15 (lzxLowest) to 2^21 (lzxHighest) bytes.
enum TLZXMemory : int { lzxLowest, lzxLower, lzxLow, lzxMedium, lzxHigh, lzxHigher, lzxHighest };
enum class TCABPassKind { List, SingleFile };

class TCABFile;
class CabReader;

struct TCABFileEntry {
    std::wstring Name;          // writing: source path; reading: stored name
    std::wstring RelPath;       // writing: directory inside the archive, or empty
    int32_t Size = 0;           // reading: uncompressed size
    DateTimeValue FileDate = 0; // reading: stored date and time, 0 = none
};

class TCABFileContents {
public:
    explicit TCABFileContents(TCABFile* owner) : owner_(owner) {}
    TCABFileEntry& Add();
    TCABFileEntry& Items(int index) { return items_.at(static_cast<size_t>(index)); }
    const TCABFileEntry& Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    int Count() const { return static_cast<int>(items_.size()); }
    void Clear() { items_.clear(); }
    // True when an entry's Name equals name, ignoring the case of A-Z.
    bool Contains(const std::wstring& name) const;
    TCABFile* Owner() const { return owner_; }

private:
    TCABFile* owner_;
    std::deque<TCABFileEntry> items_;  // references stay valid as entries are added
};

class TCABFile {
public:
    using TCompressProgress = std::function<void(TCABFile* sender, int pos, int tot)>;
    using TDeCompressProgress = std::function<void(TCABFile* sender, const std::wstring& filename, int pos, int tot)>;
    using TOverWriteFile = std::function<void(TCABFile* sender, const std::wstring& filename, bool& Allow)>;

    TCABFile();
    ~TCABFile();
    TCABFile(const TCABFile&) = delete;
    TCABFile& operator=(const TCABFile&) = delete;

    TCABFileContents CABFileContents{this};
    std::wstring CABFile;
    TCompressionType CompressionType = typMSZIP;
    TLZXMemory LZXMemory = lzxLowest;
    std::wstring TargetPath;
    TCompressProgress OnCompressProgress;
    TDeCompressProgress OnDecompressProgress;
    TOverWriteFile OnOverWriteFile;

    // Writing counters: per data block, so ProcessedSize may pass TotalSize
    // when a file grows while it is stored.
    int32_t TotalSize = 0;
    int32_t CompressedSize = 0;
    int32_t ProcessedSize = 0;

    // Reading side.
    TCABPassKind PassKind = TCABPassKind::List;
    std::wstring ExtractName;
    std::wstring CurrentFileName;
    int32_t CurrentFileSize = 0;
    int32_t CurrentWritten = 0;
    // Why the last ReadContents or ExtractFile did not succeed (Polish);
    // empty after success. Neither raises, so callers read it here.
    std::wstring LastError;

    // Whether the archive can hold the entry's stored name (its RelPath, "\"
    // and the file name): 1 to 255 bytes as stored. Compress refuses a list
    // with a name that does not fit; callers can find such entries first.
    static bool NameFits(const TCABFileEntry& entry);

    // Writes CABFile from CABFileContents. Raises ECABFileError for the
    // writer's failures and Failure (Polish) when the sources total 2 GiB or
    // more, before anything is written. Returns true.
    bool Compress();
    // Replaces CABFileContents with the archive's files; an unreadable file
    // or one that is not a cabinet leaves the list empty. The archive's
    // tables stay read for the extractions that follow, as long as CABFile
    // names the same file and the file keeps its size and time.
    void ReadContents();
    // Extracts every entry named name (ignoring the case of A-Z) into
    // TargetPath. True when the pass completed, whether or not the entry
    // exists and whether or not overwriting was allowed.
    bool ExtractFile(const std::wstring& name);
    // The same for many names in one pass: the archive's tables are read
    // once and each of its folders decoded at most once, folders side by
    // side on the processors. A new file is written under its name (and
    // removed if its entry fails); an existing one is replaced only when the
    // new one is complete, after OnOverWriteFile allowed it. The events run
    // on the calling thread, in the archive's order. Returns the names that
    // failed, each with the reason (LastError holds the first); a name that
    // matches no entry is no failure; an archive that cannot be read, or a
    // disk too small for the new files, fails every name before anything is
    // written.
    using TExtractFailures = std::vector<std::pair<std::wstring, std::wstring>>;
    TExtractFailures ExtractFiles(const std::vector<std::wstring>& names);

    // Writes the entry at position index of the archive (the order
    // ReadContents lists) to the file path, creating or replacing it, with
    // the entry's stored date. Entries that share a name are told apart by
    // their position. A failure (damage, a full disk) leaves no file at path
    // and its reason in LastError; the result is false.
    bool ExtractEntryAs(int index, const std::wstring& path);

    // The compression of the archive last read by ReadContents, and its text
    // for the restore dialog's "Kompresja:" label.
    CabCompression ArchiveCompression() const { return archiveCompression_; }
    std::wstring ArchiveCompressionText() const { return CompressionText(archiveCompression_); }

private:
    struct KeptReader;
    // The reader of CABFile: the one kept, or a new one (then kept).
    CabReader& Reader();

    CabCompression archiveCompression_;
    std::unique_ptr<KeptReader> kept_;
};
