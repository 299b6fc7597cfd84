#include "util/textmarkup.h"

#include <array>

#include "util/datetext.h"
#include "util/textcase.h"

std::wstring HiddenData(std::wstring_view text) {
    const size_t p = PosNoCase(L"<z>", text);
    const size_t q = PosNoCase(L"</z>", text);
    if (p == 0 || q <= p) return L"";
    return std::wstring(text.substr(p + 2, q - p - 3));
}

void ExpandMacros(std::wstring& text, DateTimeValue today, std::wstring_view programPath) {
    const std::wstring date = DateText(today);
    const std::wstring longDate = LongDateText(today);
    const std::array<std::pair<const wchar_t*, std::wstring_view>, 8> macros = {{
        {L"*f7", L"<font size=\"7\">"},
        {L"*f8", L"<font size=\"8\">"},
        {L"*f10", L"<font size=\"10\">"},
        {L"*f12", L"<font size=\"12\">"},
        // The long date goes first: "#*DATA" would otherwise eat the start of
        // "#*DATADŁUGA".
        {L"*DATADŁUGA", longDate},
        {L"*DATA", date},
        {L"DATA", date},
        {L"*PATH", programPath},
    }};
    for (const auto& [name, value] : macros) {
        ReplaceAllNoCase(L"[" + std::wstring(name) + L"]", value, text);
        ReplaceAllNoCase(L"#" + std::wstring(name), value, text);
    }
}

void RemoveSections(std::wstring_view open, std::wstring_view close, std::wstring& text) {
    size_t from = 1;
    for (int removed = 0; removed < 2048; ++removed) {
        // As from the start: only the join of a removal can form a new mark.
        const size_t s = PosNoCase(open, text, from);
        if (s == 0) return;
        const size_t e = PosNoCase(close, text, s + open.size());
        if (e == 0) return;
        text.erase(s - 1, e - 1 + close.size() - (s - 1));
        from = s > open.size() ? s + 1 - open.size() : 1;
    }
}

namespace {
void SplitAndJoinLines(std::wstring& text) {
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t end = text.find_first_of(L"\r\n", i);
        out.append(text, i, end == std::wstring::npos ? std::wstring::npos : end - i);
        out += L"\r\n";
        if (end == std::wstring::npos) break;
        i = end + 1;
        if (text[end] == L'\r' && i < text.size() && text[i] == L'\n') ++i;
    }
    text = out;
}
}  // namespace

void MarkupToText(std::wstring& text, bool keepBasicTags) {
    if (!keepBasicTags) {
        ReplaceAllNoCase(L"<hr>", L"\r\n-\r\n", text);
        ReplaceAllNoCase(L"<br><br>", L"\r\n.\r\n", text);
        ReplaceAllNoCase(L"<br>", L"\r\n", text);
        ReplaceAllNoCase(L"<ind", L"\t<", text);
    }
    RemoveSections(L"<HEAD", L"</HEAD>", text);
    RemoveSections(L"<FORM", L"</FORM>", text);
    RemoveSections(L"<SCRIPT>", L"</SCRIPT>", text);
    RemoveSections(L"<!--&JAVASCRIPT>", L"<!--&/JAVASCRIPT", text);
    // Kept tags hide behind control characters 1..7 while the rest go.
    static constexpr std::array<const wchar_t*, 7> kept = {L"<b>", L"<i>", L"<u>", L"<hr>", L"</b>", L"</i>", L"</u>"};
    if (keepBasicTags)
        for (size_t k = 0; k < kept.size(); ++k) ReplaceAllNoCase(kept[k], std::wstring(1, wchar_t(k + 1)), text);
    RemoveSections(L"<", L">", text);
    if (keepBasicTags)
        for (size_t k = 0; k < kept.size(); ++k) ReplaceAllNoCase(std::wstring(1, wchar_t(k + 1)), kept[k], text);
    ReplaceAllNoCase(L"&nbsp;", L" ", text);
    ReplaceAllNoCase(L"&lt;", L"<", text);
    ReplaceAllNoCase(L"&gt;", L">", text);
    ReplaceAllNoCase(L"&pound;", L"&", text);
    ReplaceAllNoCase(L"&copy;", L"(c)", text);
    ReplaceAllNoCase(L"&para;", L"\r\n", text);
    SplitAndJoinLines(text);
    ReplaceAllNoCase(L"       ", L" ", text);
    ReplaceAllNoCase(L"   ", L" ", text);
    ReplaceAllNoCase(L"  ", L" ", text);
    for (size_t start = 0; start < text.size();) {
        if (text[start] == L'.' || text[start] == L'_') text.replace(start, 1, L"   ");
        const size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) break;
        start = end + 2;
    }
    ReplaceAllNoCase(L"\r\n\r\n\r\n", L"\r\n\r\n", text);
}

std::wstring ColorToHex(std::uint32_t color) {
    static constexpr wchar_t hex[] = L"0123456789ABCDEF";
    std::wstring out = L"#";
    for (int shift : {0, 8, 16}) {
        const unsigned byte = (color >> shift) & 0xFF;
        out += hex[byte >> 4];
        out += hex[byte & 15];
    }
    return out;
}

std::wstring MarkNegativeRed(std::wstring_view text) {
    if (text.starts_with(L"-"))
        return L"<font color=\"" + ColorToHex(0x0000FF) + L"\">" + std::wstring(text) + L"</font></b>";
    return std::wstring(text) + L"</b>";
}
