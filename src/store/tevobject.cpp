#include "store/tevobject.h"

#include <string>

#include "util/safeformat.h"

void RaiseTypeInUse(std::wstring_view className) {
    throw EtevException(SafeFormat(L"201: Identyfikator \"%s\" jest już w użyciu.", {className}));
}

void RaiseUnregisteredType(int typeId) {
    throw EtevException(SafeFormat(L"202: Próba obsługi niezarejestrowanego typu numer %d.", {typeId}));
}

void RaiseUnstreamableType(std::wstring_view className) {
    throw EtevException(SafeFormat(L"203: Nie można odczytać ze strumienia typu %s.", {className}));
}

void tTevPersistent::ReadRecord(tTevStream&) { RaiseUnstreamableType(ClassName()); }

void tTevPersistent::WriteRecord(tTevStream&) { RaiseUnstreamableType(ClassName()); }

const TevClass tTevObject::kClass{L"tTevObject", CreateBlankOf<tTevObject>};

void tTevObject::Assign(const tTevObject& source) { skip_ = source.skip_; }

void tTevObject::Load(tTevStream&) {}

void tTevObject::Store(tTevStream&) const {}

std::wstring tTevObject::ExportString() const {
    throw EtevException(SafeFormat(L"Obiekt typu %s nie ma eksportu tekstowego.", {ClassName()}));
}

std::wstring tTevObject::ExportTitleString(int) const { return {}; }

void tTevObject::NormalizeExportString() {}

const TevClass TtevGenericItem::kClass{L"TtevGenericItem", CreateBlankOf<TtevGenericItem>};

void TtevGenericItem::Load(tTevStream&) { RaiseUnstreamableType(ClassName()); }

void TtevGenericItem::Store(tTevStream&) const { RaiseUnstreamableType(ClassName()); }

bool TtevGenericItem::SameItem(const TtevGenericItem&) const { return false; }

void TtevUnknownLayout::Load(tTevStream&) { RaiseUnstreamableType(ClassName()); }

void TtevUnknownLayout::Store(tTevStream&) const { RaiseUnstreamableType(ClassName()); }

std::unique_ptr<tTevPersistent> TtevUnknownLayout::CreateBlank(const TevClass& cls) {
    return std::make_unique<TtevUnknownLayout>(cls);
}
