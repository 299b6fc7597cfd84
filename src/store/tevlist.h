#pragma once
// tTevList: a list of stored objects bound to one data file, and
// tTevSortedList. A data file of a table is exactly one list record:
//
//   short form   int16 count, int16 count again, int16 0, then count object
//                records; at most 32767 items.
//   long form    int32 count, int32 capacity, int32 0, then count object
//                records. Used when the list's or the stream's long-form flag
//                is set.
//
// Only the first header number is read; a count of 0 or less reads no items.
// tTevSortedList writes one more byte after its items.
//
// What this layer settles where the format leaves a choice:
//   - the long form writes the count again as the capacity, so that a list
//     saved twice gives the same bytes;
//   - skipped objects are left out of the list and out of its count (a count
//     that included them would make every reader misread what follows);
//   - a list of more than 32767 items fails in the short form before any of
//     its record is written.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/tevobject.h"
#include "util/datetime.h"

class tTevStream;

class tTevList : public tTevPersistent {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }

    // Directions of the walks.
    static constexpr int kFromFirst = 0;
    static constexpr int kFromLast = 1;

    using TestWith = bool (*)(void* userData, tTevPersistent* item);
    using ActionWith = void (*)(void* userData, tTevPersistent* item);

    tTevList() = default;
    explicit tTevList(TevBlank) {}
    // Frees the items and leaves the registry of open lists.
    ~tTevList() override;
    tTevList(const tTevList&) = delete;
    tTevList& operator=(const tTevList&) = delete;

    // The fields.
    bool LongForm() const { return longForm_; }
    void SetLongForm(bool longForm) { longForm_ = longForm; }
    // The data file and what it was like when last loaded or saved (size and
    // time 0: not known).
    const std::wstring& FilePath() const { return filePath_; }
    void SetFilePath(std::wstring path) { filePath_ = std::move(path); }
    std::int32_t FileSize() const { return fileSize_; }
    DateTimeValue FileTime() const { return fileTime_; }
    void SetFileState(std::int32_t size, DateTimeValue time) {
        fileSize_ = size;
        fileTime_ = time;
    }
    int TableNumber() const { return tableNumber_; }
    void SetTableNumber(int table) { tableNumber_ = static_cast<std::uint8_t>(table); }
    // Set: the content is read from the file on first access.
    bool NotLoaded() const { return notLoaded_; }
    void SetNotLoaded(bool notLoaded) { notLoaded_ = notLoaded; }
    // Set once CreateForTable has run.
    bool Created() const { return created_; }
    // Set by the file load when the file exists but could not be read; such
    // a list must never be saved over its file.
    bool LoadFailed() const { return loadFailed_; }
    void SetLoadFailed(bool failed) { loadFailed_ = failed; }

    // The table-bound construction: resolves the table's
    // path (the caller's `path` is updated), reads the file or offers to
    // create it, and registers the list among the open lists.
    void CreateForTable(int table, std::wstring& path);

    // The item count, after EnsureLoaded.
    int Count();
    // The items as held now, without loading.
    int LoadedCount() const { return static_cast<int>(items_.size()); }
    tTevPersistent* LoadedItem(int index) const { return items_[static_cast<size_t>(index)].get(); }
    // The plain list. Indexes must be in range (else an EtevException).
    int Add(std::unique_ptr<tTevPersistent> item);
    void Insert(int index, std::unique_ptr<tTevPersistent> item);
    std::unique_ptr<tTevPersistent> Extract(int index);
    void Delete(int index);
    int IndexOf(const tTevPersistent* item) const;

    // The item when the index is in range and it is a tTevObject, else nullptr.
    virtual tTevObject* ObjectAt(int index) const;
    virtual tTevPersistent* Get(int index);
    // Replaces (and frees) the item at the index.
    virtual void Put(int index, std::unique_ptr<tTevPersistent> item);
    // Reads the file when the list is not loaded yet; afterwards the list
    // counts as loaded, whether the read succeeded or not.
    virtual void EnsureLoaded();
    // Empties the list and marks it not loaded: the next access reads the file.
    virtual void Unload();
    virtual tTevPersistent* FirstThatWith(int direction, TestWith test, void* userData);
    virtual void ForEachWith(int direction, ActionWith action, void* userData);
    virtual tTevPersistent* FirstThat(const std::function<bool(tTevPersistent*)>& test, int direction = kFromFirst);
    virtual void ForEach(const std::function<void(tTevPersistent*)>& action, int direction = kFromFirst);
    // Reads a list record and appends its items.
    virtual void LoadFromStream(tTevStream& stream);
    // Writes the list record (after EnsureLoaded).
    virtual void SaveToStream(tTevStream& stream);
    // Saves to the list's own file with a small copy; false without a path.
    virtual bool SaveToOwnFile();
    virtual void FreeAll();
    // For a generic item: whether another generic item of the list is the
    // same entry by the item's own comparison.
    virtual bool HasDuplicate(const tTevPersistent* item);
    // "baza zawiera N pozycji", a line break and the file's description.
    virtual std::wstring Description();

    // Appends the items of `source` (a list of the same class just read) and
    // takes whatever else its record carried.
    virtual void TakeContentFrom(tTevList& source);

    // A list's object record is its list record.
    void ReadRecord(tTevStream& stream) final { LoadFromStream(stream); }
    void WriteRecord(tTevStream& stream) final { SaveToStream(stream); }

protected:
    // Whether this list's record uses the long form on this stream.
    bool UsesLongForm(const tTevStream& stream) const;
    void CheckIndex(int index) const;

private:
    std::vector<std::unique_ptr<tTevPersistent>> items_;
    bool longForm_ = false;
    std::wstring filePath_;
    std::int32_t fileSize_ = 0;
    DateTimeValue fileTime_ = 0;
    std::uint8_t tableNumber_ = 0;
    bool notLoaded_ = false;
    bool created_ = false;
    bool loadFailed_ = false;
};

// A list with one more byte after its items: 1 for a list the program
// creates, 0 in a blank one before it is read.
class tTevSortedList : public tTevList {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }

    tTevSortedList() = default;
    explicit tTevSortedList(TevBlank) : tTevList(kTevBlank), sortedFlag_(0) {}

    std::uint8_t SortedFlag() const { return sortedFlag_; }
    void SetSortedFlag(std::uint8_t flag) { sortedFlag_ = flag; }

    void LoadFromStream(tTevStream& stream) override;
    void SaveToStream(tTevStream& stream) override;
    void TakeContentFrom(tTevList& source) override;

private:
    std::uint8_t sortedFlag_ = 1;
};

// A data file's content (one list record, the list itself) read into `list`.
// The record is read into a blank list of the same class first, so a failure
// part-way (an EtevException, or any other) leaves `list` as it was; on
// success the items read are appended. Nested lists are read in the form the
// list is saved in: the stream's long-form flag is set from the list's.
void LoadListContent(tTevList& list, tTevStream& stream);
// The bytes of a data file for the list (the stream's long-form flag copied
// from the list's).
std::string SaveListContent(tTevList& list);

// The registries of the open lists: every table-bound list (one that has run
// CreateForTable) is held, in the order of creation, among the data lists or,
// for a reference table, among the reference lists. A list leaves its
// registry when it is destroyed. The registries hold the lists, not own them.
const std::vector<tTevList*>& DataLists();
const std::vector<tTevList*>& ReferenceLists();
// The first open list of the table: among the data lists, then among the
// reference lists; nullptr when none.
tTevList* FindOpenList(int table);
// Adds the list to the registry of its table (once); CreateForTable does.
void RegisterOpenList(tTevList& list);
void UnregisterOpenList(tTevList& list);

// Set by program start when the program runs for one command-line action:
// the offer to create a missing data file is not made.
bool QuietStart();
void SetQuietStart(bool quiet);
