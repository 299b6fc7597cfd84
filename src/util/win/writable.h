#pragma once
// Files whose attributes forbid writing (copied from a CD-ROM, hidden or
// marked as system files): described for the user and, on request, cleared
// before a save, a restore or a deletion.
#include <cstdint>
#include <string>

// The texts of the attributes present, in this order: hidden, read-only,
// system, archive, compressed, directory ("Plik ukryty. Plik tylko do
// odczytu. "...). Empty when none of them is set.
std::wstring AttributeText(std::uint32_t attributes);

// True when the file can be written: it does not exist, its attributes
// cannot be read, or none of read-only, hidden and system is set. Otherwise
// asks whether to clear them; cleared: true (the message about it can be
// switched off); declined or not cleared: says that writing will not be
// possible and returns false. Callers may go on; the write then fails on
// its own.
bool EnsureWritable(const std::wstring& path);
