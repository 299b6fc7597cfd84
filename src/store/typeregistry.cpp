#include "store/typeregistry.h"

#include <deque>

#include "store/tevlist.h"

namespace {

constexpr int Low16(int typeId) { return typeId & 0xFFFF; }

// Classes of the office programs: their numbers are part of the data files,
// their fields are not known to this program.
struct OfficeClass {
    const wchar_t* name;
    int typeId;
};

constexpr OfficeClass kOfficeClasses[] = {
    // The maker's own item and list classes.
    {L"tTevGenericLIst", 712},
    {L"tTevMegaItem", 713},
    {L"tTevBigItem", 714},
    {L"tTevItem", 4021},
    // Registered by the office programs for their data files.
    {L"TKonto", 2135},
    {L"TKonta", 2136},
    {L"TTransakcja", 2137},
    {L"TTransakcje", 2138},
    {L"TRegulaKonta", 2155},
    {L"TUrzadSkarbowy", 2503},
    {L"TKonto98", 4011},
    {L"TtevDataItem", 4012},
    {L"TZdarzenie98", 4013},
    {L"TZlecenie98", 4014},
    {L"TtevSortedDataList", 4020},
    {L"TDziennikItem", 4029},
    {L"TTowaryItem", 4039},
    {L"TCustomFaktura", 4046},
    {L"TFaktura", 4047},
    {L"TParagon", 4048},
    {L"TDowodDostawy", 4049},
    {L"TKodItem", 4051},
    {L"TKodPocztowy", 4052},
    {L"TWZtka", 4168},
    {L"TPZtka", 4169},
    {L"TFakturaEksportowa", 14047},
    {L"TBAnk", 32071},
    {L"TMalyBAnk", 32095},
    {L"TRemanent", 41691},
    {L"TMiasto", 44052},
};

struct OfficeClasses {
    std::deque<TevClass> classes;
    OfficeClasses() {
        for (const auto& c : kOfficeClasses) classes.push_back({c.name, TtevUnknownLayout::CreateBlank});
    }
};

std::deque<TevTypeEntry>& Entries() {
    static const OfficeClasses office;
    static std::deque<TevTypeEntry> entries = [] {
        std::deque<TevTypeEntry> e{
            {50, &tTevList::kClass},  // the number written for a list
            {100, &tTevList::kClass},
            {101, &tTevObject::kClass},
            {700, &tTevSortedList::kClass},
            {711, &TtevGenericItem::kClass},
        };
        for (size_t i = 0; i < office.classes.size(); ++i) e.push_back({kOfficeClasses[i].typeId, &office.classes[i]});
        return e;
    }();
    return entries;
}

}  // namespace

void RegisterType(const TevClass& cls, int typeId) {
    if (ClassForTypeId(typeId)) RaiseTypeInUse(cls.name);
    Entries().push_back({typeId, &cls});
}

const TevTypeEntry* ClassForTypeId(int typeId) {
    for (const auto& entry : Entries()) {
        if (Low16(entry.typeId) == Low16(typeId)) return &entry;
    }
    return nullptr;
}

const TevTypeEntry* TypeIdForClass(const TevClass& cls) {
    for (const auto& entry : Entries()) {
        if (entry.cls == &cls || entry.cls->name == cls.name) return &entry;
    }
    return nullptr;
}

const TevTypeEntry* TypeIdForClass(std::wstring_view className) {
    for (const auto& entry : Entries()) {
        if (entry.cls->name == className) return &entry;
    }
    return nullptr;
}
