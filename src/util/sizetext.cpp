#include "util/sizetext.h"

#include "util/safeformat.h"

namespace {

constexpr std::int64_t kKilo = 1024, kMega = kKilo * 1024, kGiga = kMega * 1024;

struct Unit {
    std::int64_t size;
    const wchar_t* shortForm;
    const wchar_t* longForm;
    const wchar_t* precise;
};

constexpr Unit kUnits[] = {
    {kGiga, L"%.1f GB", L"%.1f gigabajtów", L"%.2f GB"},
    {kMega, L"%.1f MB", L"%.1f megabajtów", L"%.2f MB"},
    {kKilo, L"%.1f kB", L"%.1f kilobajtów", L"%.2f kB"},
};

const Unit* UnitFor(std::int64_t bytes) {
    for (const Unit& unit : kUnits)
        if (bytes > unit.size) return &unit;
    return nullptr;
}

}  // namespace

std::wstring SizeText(std::int64_t bytes, bool longForm) {
    if (const Unit* unit = UnitFor(bytes))
        return SafeFormat(longForm ? unit->longForm : unit->shortForm, {double(bytes) / double(unit->size)});
    return SafeFormat(longForm ? L"%d bajtów" : L"%d B", {bytes});
}

std::wstring SizeTextPrecise(std::int64_t bytes) {
    if (const Unit* unit = UnitFor(bytes)) return SafeFormat(unit->precise, {double(bytes) / double(unit->size)});
    return SafeFormat(L"%d B", {bytes});
}
