#pragma once
// TNazwaAplikacji: the identity of a program file, read from its version
// resource. Sibling tools, the backup information file and the about box
// name programs by it.
#include <string>

struct TNazwaAplikacji {
    std::wstring path;
    std::wstring companyName;
    std::wstring productName;
    std::wstring version;  // "a.b.c.d" of the fixed file version, empty without one
    std::wstring comments;
    std::wstring fileDescription;

    // "%s (%s) %s" of product, company and version when either name is
    // known, otherwise the file name up to its first ".".
    std::wstring IdentityText() const;
};

// The identity of any executable; fields stay empty where the file has no
// version resource.
TNazwaAplikacji ReadAppIdentity(const std::wstring& path);

// This program's own identity, read once.
const TNazwaAplikacji& OwnIdentity();
// The full path of this executable.
std::wstring ExecutablePath();
