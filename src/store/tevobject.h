#pragma once
// Stored objects: what the typed stream of the TEV data files can name.
//
// Every streamable class derives from tTevPersistent and describes itself with
// a TevClass: its name, which is the identity the type registry compares, and
// how to make the blank instance a reader starts from (all fields zero, none
// of the set-up that the program's own construction does). Two families can be
// streamed: objects (tTevObject), which read and write their own fields, and
// lists (tTevList, tevlist.h), which read and write a list record.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "util/failure.h"

class tTevStream;
class tTevPersistent;

struct TevClass {
    std::wstring_view name;
    std::unique_ptr<tTevPersistent> (*createBlank)(const TevClass& cls);
};

// Tag of the constructors that make a blank instance, where a class's blank
// state differs from its ordinary construction.
struct TevBlank {};
inline constexpr TevBlank kTevBlank{};

template <class T>
std::unique_ptr<tTevPersistent> CreateBlankOf(const TevClass&) {
    if constexpr (std::is_constructible_v<T, TevBlank>) {
        return std::make_unique<T>(kTevBlank);
    } else {
        return std::make_unique<T>();
    }
}

class tTevPersistent {
public:
    virtual ~tTevPersistent() = default;
    virtual const TevClass& ClassType() const = 0;
    std::wstring_view ClassName() const { return ClassType().name; }

    // What follows the type number in an object record: an object's fields,
    // a list's list record. Other classes cannot be streamed (error 203).
    virtual void ReadRecord(tTevStream& stream);
    virtual void WriteRecord(tTevStream& stream);

protected:
    tTevPersistent() = default;
    tTevPersistent(const tTevPersistent&) = default;
    tTevPersistent& operator=(const tTevPersistent&) = default;
};

// Failures of the persistence layer: the numbered errors 201-203 and damaged
// data. The message is Polish and meant for the user.
class EtevException : public Failure {
public:
    using Failure::Failure;
};

// "201: Identyfikator "<class>" jest już w użyciu."
[[noreturn]] void RaiseTypeInUse(std::wstring_view className);
// "202: Próba obsługi niezarejestrowanego typu numer <number>."
[[noreturn]] void RaiseUnregisteredType(int typeId);
// "203: Nie można odczytać ze strumienia typu <class>."
[[noreturn]] void RaiseUnstreamableType(std::wstring_view className);

// The base of every stored object. Its one field is the skip flag: a skipped
// object is left out when a list is written.
class tTevObject : public tTevPersistent {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }

    bool Skip() const { return skip_; }
    void SetSkip(bool skip) { skip_ = skip; }

    // An object's record is its fields.
    void ReadRecord(tTevStream& stream) final { Load(stream); }
    void WriteRecord(tTevStream& stream) final { Store(stream); }

    // Copies the fields of another object (the base: the skip flag).
    virtual void Assign(const tTevObject& source);
    // Reads and writes the object's fields; the base has none.
    virtual void Load(tTevStream& stream);
    virtual void Store(tTevStream& stream) const;
    // Text export. The base has no export of its own and fails.
    virtual std::wstring ExportString() const;
    virtual std::wstring ExportTitleString(int index) const;
    virtual void NormalizeExportString();

private:
    bool skip_ = false;
};

// The office programs' generic item: an item that can tell whether another of
// its kind is the same entry (tTevList::HasDuplicate). Its fields are not
// known here, so it neither reads nor writes (error 203); a class that knows
// its fields overrides Load and Store.
class TtevGenericItem : public tTevObject {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }

    void Load(tTevStream& stream) override;
    void Store(tTevStream& stream) const override;
    // The item's own comparison; the base knows no fields and finds no match.
    virtual bool SameItem(const TtevGenericItem& other) const;
};

// A registered class of the office programs whose fields this program does
// not know. It keeps its type number taken, so that the files of the sibling
// programs are recognised, but it can be neither read nor written: an object
// that read no fields would desynchronise the rest of the stream, and one
// written back would put nothing where the sibling's data was. Both fail with
// error 203 and the class's name.
class TtevUnknownLayout final : public tTevObject {
public:
    explicit TtevUnknownLayout(const TevClass& cls) : class_(&cls) {}
    const TevClass& ClassType() const override { return *class_; }

    void Load(tTevStream& stream) override;
    void Store(tTevStream& stream) const override;

    static std::unique_ptr<tTevPersistent> CreateBlank(const TevClass& cls);

private:
    const TevClass* class_;
};
