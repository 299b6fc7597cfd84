// Object records of tTevStream. They need the type registry, which sits above
// the stream (it holds the list classes), so they are defined here rather than
// in tevstream.cpp.
#include <cstdint>
#include <string>

#include "store/storehost.h"
#include "store/tevstream.h"
#include "store/typeregistry.h"
#include "util/safeformat.h"

std::unique_ptr<tTevPersistent> tTevStream::ReadObject() {
    const std::uint16_t typeId = ReadUInt16();
    if (typeId == 0) return nullptr;
    const TevTypeEntry* entry = ClassForTypeId(typeId);
    if (!entry) RaiseUnregisteredType(typeId);
    Nesting nesting(*this, false);
    auto object = entry->cls->createBlank(*entry->cls);
    object->ReadRecord(*this);
    return object;
}

void tTevStream::WriteObject(tTevPersistent* object) {
    auto* item = dynamic_cast<tTevObject*>(object);
    if (!object || (item && item->Skip())) {
        WriteUInt16(0);
        return;
    }
    const TevTypeEntry* entry = TypeIdForClass(object->ClassType());
    if (!entry) {
        // The class has no number to show: 0 is what "no object" is written as.
        const std::wstring message =
            SafeFormat(L"202: Próba obsługi niezarejestrowanego typu numer %d.\r\nKlasa %s nie ma numeru typu.",
                       {0, object->ClassName()});
        CurrentStoreHost().ShowMessage(message);
        throw EtevException(message);
    }
    WriteGuard guard(*this);
    Nesting nesting(*this, true);
    WriteUInt16(static_cast<std::uint16_t>(entry->typeId));
    object->WriteRecord(*this);
}
