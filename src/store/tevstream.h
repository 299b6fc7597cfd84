#pragma once
// tTevStream: the memory stream in which a data file is read and written whole,
// with its typed records. Byte order is little-endian; texts are Windows-1250.
//
//   text record    int16 L, then L bytes; L = 0 is "no text". Texts longer
//                  than 30000 bytes: L = -1, uint32 N, then N bytes. Any other
//                  negative L reads as no text.
//   object record  uint16 type number (0: no object), then the object's own
//                  fields or, for a list, its list record (tevlist.h).
//
// The reader trusts nothing it reads: every length and count is checked
// against what the stream still holds before anything is allocated, nesting
// is bounded, and damage ends the read with an EtevException whose message
// says what was wrong and where.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/tevobject.h"

class tTevStream {
public:
    // Texts up to this length use the short text record.
    static constexpr size_t kShortTextLimit = 30000;
    // Object records inside object records (a list inside a list...).
    static constexpr int kMaxNesting = 64;

    tTevStream() = default;
    explicit tTevStream(std::string bytes) : bytes_(std::move(bytes)) {}

    // Set: list records are written and read in the long form (tevlist.h).
    bool LongForm() const { return longForm_; }
    void SetLongForm(bool longForm) { longForm_ = longForm; }

    // The memory stream. Writes go to the position (at the end, normally).
    size_t Size() const { return bytes_.size(); }
    size_t Position() const { return pos_; }
    void SetPosition(size_t pos) { pos_ = pos < bytes_.size() ? pos : bytes_.size(); }
    size_t Remaining() const { return bytes_.size() - pos_; }
    const std::string& Bytes() const { return bytes_; }
    std::string TakeBytes();
    void Reserve(size_t size) { bytes_.reserve(size); }
    // Cuts the stream at `size` (used to take back a record whose writing failed).
    void Truncate(size_t size);

    // Fields of the stored objects.
    void WriteBytes(std::string_view bytes);
    std::string ReadBytes(size_t count);
    void WriteByte(std::uint8_t v) { Put(&v, 1); }
    std::uint8_t ReadByte();
    void WriteBool(bool v) { WriteByte(v ? 1 : 0); }
    bool ReadBool() { return ReadByte() != 0; }
    void WriteInt16(std::int16_t v) { WriteUInt16(static_cast<std::uint16_t>(v)); }
    std::int16_t ReadInt16() { return static_cast<std::int16_t>(ReadUInt16()); }
    void WriteUInt16(std::uint16_t v);
    std::uint16_t ReadUInt16();
    void WriteInt32(std::int32_t v) { WriteUInt32(static_cast<std::uint32_t>(v)); }
    std::int32_t ReadInt32() { return static_cast<std::int32_t>(ReadUInt32()); }
    void WriteUInt32(std::uint32_t v);
    std::uint32_t ReadUInt32();
    void WriteInt64(std::int64_t v);
    std::int64_t ReadInt64();
    void WriteDouble(double v);
    double ReadDouble();

    // Text records as bytes: nullopt is "no text". An empty text is written
    // as no text. Bytes are kept as they are, a zero byte included.
    std::optional<std::string> ReadPChar();
    void WritePChar(std::optional<std::string_view> text);
    // Text records as text: no text reads as the empty text. Writing a text
    // with a character that has no Windows-1250 byte fails (nothing is
    // written); every byte read comes back unchanged when written again.
    std::wstring ReadString();
    void WriteString(std::wstring_view text);

    // Object records (objectrecord.cpp). ReadObject gives nullptr for type
    // number 0.
    std::unique_ptr<tTevPersistent> ReadObject();
    // Writes the object's record; nullptr, and a skipped object, are written
    // as type number 0 (no object). A failure takes back what the record
    // wrote, so the stream ends where it ended before.
    void WriteObject(tTevPersistent* object);

    // For list readers: `count` items of at least `minRecordSize` bytes each
    // must fit in what the stream still holds.
    void CheckCount(std::int64_t count, size_t minRecordSize) const;

    // Counts one level of nesting while an object record is read or written.
    class Nesting {
    public:
        // Fails beyond kMaxNesting levels: on reading as damaged data, on
        // writing because no reader would take the file.
        Nesting(tTevStream& stream, bool writing);
        ~Nesting() { --stream_.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        tTevStream& stream_;
    };

    // Undoes a failed write: on an exception, cuts the stream back to where
    // the guarded record began (when it was being written at the end).
    class WriteGuard {
    public:
        explicit WriteGuard(tTevStream& stream);
        ~WriteGuard();
        WriteGuard(const WriteGuard&) = delete;
        WriteGuard& operator=(const WriteGuard&) = delete;

    private:
        tTevStream& stream_;
        size_t start_;
        bool atEnd_;
        int exceptions_;
    };

    // "Uszkodzone dane: ..." with the position, for readers of object fields.
    [[noreturn]] void RaiseDamaged(const std::wstring& what) const;

private:
    // The bytes of the next text record, in place; nullopt for no text.
    std::optional<std::string_view> ReadTextRecord();
    void WriteTextHeader(size_t length);
    void Put(const void* data, size_t size);
    void Get(void* data, size_t size);

    std::string bytes_;
    size_t pos_ = 0;
    bool longForm_ = false;
    int depth_ = 0;
};
