// libFuzzer target for the typed stream reader: the input is taken as a data
// file and read into a list. The first byte chooses the list: bit 0 the long
// form, bit 1 a sorted list; the rest is the file.
//
// Besides crashes, sanitizer reports, hangs and large allocations, these are
// findings:
//  - a failed read that leaves anything in the list it read into;
//  - a failure that is not an EtevException;
//  - content that was read but cannot be written, or that reads back to
//    different bytes (writing what was read, reading that and writing again
//    must give the same bytes).
// Two item classes with known fields stand in for the office programs'
// classes; one of them holds an object of any type, so objects nest inside
// objects as well as inside lists.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "store/tevlist.h"
#include "store/tevstream.h"
#include "store/typeregistry.h"

namespace {

class TFuzzCard : public tTevObject {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }
    void Load(tTevStream& s) override {
        number_ = s.ReadInt32();
        name_ = s.ReadString();
        amount_ = s.ReadDouble();
    }
    void Store(tTevStream& s) const override {
        s.WriteInt32(number_);
        s.WriteString(name_);
        s.WriteDouble(amount_);
    }

private:
    std::int32_t number_ = 0;
    std::wstring name_;
    double amount_ = 0;
};

class TFuzzHolder : public tTevObject {
public:
    static const TevClass kClass;
    const TevClass& ClassType() const override { return kClass; }
    void Load(tTevStream& s) override {
        flag_ = s.ReadByte();
        child_ = s.ReadObject();
        note_ = s.ReadPChar();
    }
    void Store(tTevStream& s) const override {
        s.WriteByte(flag_);
        s.WriteObject(child_.get());
        s.WritePChar(note_);
    }

private:
    std::uint8_t flag_ = 0;
    std::unique_ptr<tTevPersistent> child_;
    std::optional<std::string> note_;
};

const TevClass TFuzzCard::kClass{L"TFuzzCard", CreateBlankOf<TFuzzCard>};
const TevClass TFuzzHolder::kClass{L"TFuzzHolder", CreateBlankOf<TFuzzHolder>};

std::unique_ptr<tTevList> NewList(std::uint8_t mode) {
    std::unique_ptr<tTevList> list;
    if (mode & 2) list = std::make_unique<tTevSortedList>();
    else list = std::make_unique<tTevList>();
    list->SetLongForm(mode & 1);
    return list;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterType(TFuzzCard::kClass, 9001);    // 29 23
    RegisterType(TFuzzHolder::kClass, 9002);  // 2A 23
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::uint8_t mode = data[0];
    auto list = NewList(mode);
    tTevStream stream(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    try {
        LoadListContent(*list, stream);
    } catch (const EtevException&) {
        if (list->LoadedCount() != 0) std::abort();
        return 0;
    } catch (...) {
        std::abort();
    }
    try {
        const std::string first = SaveListContent(*list);
        auto again = NewList(mode);
        tTevStream back(first);
        LoadListContent(*again, back);
        if (SaveListContent(*again) != first) std::abort();
    } catch (...) {
        std::abort();
    }
    return 0;
}
