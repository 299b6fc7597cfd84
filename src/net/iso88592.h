#pragma once
// ISO-8859-2 (Latin-2), the character set of the program's e-mail. It shares
// the Polish capitals and small letters with Windows-1250 except six:
// ą ś ź and Ą Ś Ź sit at other bytes, so text is always converted from the
// program's own (wide) text and never copied byte for byte from Windows-1250.
#include <optional>
#include <string>
#include <string_view>

// Text to bytes; nullopt when some character has no ISO-8859-2 form.
std::optional<std::string> WideToIso88592(std::wstring_view text);

// Bytes to text; every byte has a meaning (0x80..0x9F are the C1 controls).
std::wstring Iso88592ToWide(std::string_view bytes);
