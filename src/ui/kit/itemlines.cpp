#include "ui/kit/itemlines.h"

#include <cwctype>

std::wstring LineEndsAsBreaks(std::wstring_view markup) {
    std::wstring out;
    out.reserve(markup.size() + 8);
    bool hidden = false;
    size_t i = 0;
    while (i < markup.size()) {
        wchar_t c = markup[i];
        if (c == L'<') {
            size_t end = markup.find(L'>', i);
            if (end == std::wstring_view::npos) {
                // The text ends here for the renderer; keep the rest as it is.
                out.append(markup.substr(i));
                break;
            }
            std::wstring_view tag = markup.substr(i + 1, end - i - 1);
            bool closing = !tag.empty() && tag[0] == L'/';
            if (closing) tag.remove_prefix(1);
            // Tags are told apart by their leading letters: "<z" is the hidden text.
            if (!tag.empty() && towlower(tag[0]) == L'z' && (tag.size() == 1 || !iswalpha(tag[1]))) hidden = !closing;
            out.append(markup.substr(i, end - i + 1));
            i = end + 1;
        } else if ((c == L'\r' || c == L'\n') && !hidden) {
            out += L"<br>";
            i += (c == L'\r' && i + 1 < markup.size() && markup[i + 1] == L'\n') ? 2 : 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}
