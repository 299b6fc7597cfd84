#pragma once
// The type registry: 16-bit type numbers of the stored classes, in
// registration order. The number is what a data file holds before each
// object; numbers are compared on their low 16 bits.
//
// The classes this layer owns and the classes of the office programs are
// registered on first use of the registry (the office classes, whose fields
// this program does not know, as TtevUnknownLayout: recognised, never read or
// written). Other modules register theirs at start.
#include <string_view>

#include "store/tevobject.h"

struct TevTypeEntry {
    int typeId;
    const TevClass* cls;
};

// Fails with error 201 (and the class's name) when the number's low 16 bits
// are taken.
void RegisterType(const TevClass& cls, int typeId);
// The entry of the number, or nullptr.
const TevTypeEntry* ClassForTypeId(int typeId);
// The first entry whose class has the class's name, or nullptr.
const TevTypeEntry* TypeIdForClass(const TevClass& cls);
const TevTypeEntry* TypeIdForClass(std::wstring_view className);
