#pragma once
// Stored classes with known fields for the tests of the format, and byte
// helpers for writing fixtures by hand.
#include <string>
#include <string_view>

#include "store/tevobject.h"
#include "store/tevstream.h"

// A card: an int32 number and a text. Type number 9001 (bytes 29 23).
class TKartka : public tTevObject {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }

    TKartka() = default;
    TKartka(int numer, std::wstring nazwa) : numer(numer), nazwa(std::move(nazwa)) {}

    void Load(tTevStream& s) override {
        numer = s.ReadInt32();
        nazwa = s.ReadString();
    }
    void Store(tTevStream& s) const override {
        s.WriteInt32(numer);
        s.WriteString(nazwa);
    }

    int numer = 0;
    std::wstring nazwa;
};

// The same fields under a number above 32767: 50000 (bytes 50 C3).
class TKartkaWysoka : public TKartka {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }
    using TKartka::TKartka;
};

// An entry with a key, compared by it (type 9004).
class TPozycja : public TtevGenericItem {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }

    TPozycja() = default;
    explicit TPozycja(std::wstring key) : key(std::move(key)) {}

    void Load(tTevStream& s) override { key = s.ReadString(); }
    void Store(tTevStream& s) const override { s.WriteString(key); }
    bool SameItem(const TtevGenericItem& other) const override {
        const auto* p = dynamic_cast<const TPozycja*>(&other);
        return p && p->key == key;
    }

    std::wstring key;
};

// Registered (9003) but neither an object nor a list.
class TObcy : public tTevPersistent {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }
};

// Never registered.
class TNiezarejestrowana : public tTevObject {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }
};

// Registers the classes above once per process.
void RegisterTestTypes();

// Bytes written by hand: Hex("03 00 29 23") gives those four bytes.
std::string Hex(std::string_view text);
// Little-endian numbers and text records for longer fixtures.
std::string Le16(int v);
std::string Le32(long long v);
