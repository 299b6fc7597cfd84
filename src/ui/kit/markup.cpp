#include "ui/kit/markup.h"

#include <array>
#include <cwctype>

namespace {

wchar_t Lower(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); }

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != prefix[i]) return false;
    return true;
}

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// Tags written with ">" in their name match the whole name; the others match
// by their leading letters, so "<p align=...>" and "<pre>" are both paragraphs.
MarkupTag ClassifyTag(std::wstring_view name) {
    struct Rule {
        std::wstring_view letters;
        bool whole;
        MarkupTag tag;
    };
    // Longer names first where they share leading letters with shorter ones.
    static constexpr std::array<Rule, 20> kRules{{
        {L"br", true, MarkupTag::Break},
        {L"blink", false, MarkupTag::Blink},
        {L"body", false, MarkupTag::Body},
        {L"b", true, MarkupTag::Bold},
        {L"img", false, MarkupTag::Image},
        {L"ind", false, MarkupTag::Indent},
        {L"i", true, MarkupTag::Italic},
        {L"ul", true, MarkupTag::List},
        {L"u", false, MarkupTag::Underline},
        {L"sub", true, MarkupTag::Sub},
        {L"sup", true, MarkupTag::Sup},
        {L"shad", true, MarkupTag::Shadow},
        {L"s", true, MarkupTag::Strike},
        {L"hr", true, MarkupTag::Rule},
        {L"li", true, MarkupTag::ListItem},
        {L"p", false, MarkupTag::Paragraph},
        {L"font", false, MarkupTag::Font},
        {L"a", false, MarkupTag::Anchor},
        {L"r", false, MarkupTag::Rotate},
        {L"z", true, MarkupTag::Hidden},
    }};
    for (const Rule& rule : kRules) {
        if (rule.whole ? (name.size() == rule.letters.size() && StartsWithNoCase(name, rule.letters))
                       : StartsWithNoCase(name, rule.letters))
            return rule.tag;
    }
    return MarkupTag::Unknown;
}

// Appends `text` with "&lt;", "&gt;", "&amp;" and "&quot;" resolved; any
// other "&" stays as it is.
void AppendResolved(std::wstring& out, std::wstring_view text) {
    static constexpr std::array<std::pair<std::wstring_view, wchar_t>, 4> kRefs{{
        {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&amp;", L'&'}, {L"&quot;", L'"'}}};
    for (size_t i = 0; i < text.size();) {
        if (text[i] == L'&') {
            bool matched = false;
            for (const auto& [ref, ch] : kRefs) {
                if (text.substr(i, ref.size()) == ref) {
                    out += ch;
                    i += ref.size();
                    matched = true;
                    break;
                }
            }
            if (matched) continue;
        }
        out += IsSpace(text[i]) ? L' ' : text[i];
        ++i;
    }
}

}  // namespace

std::vector<MarkupToken> TokenizeMarkup(std::wstring_view markup) {
    std::vector<MarkupToken> tokens;
    size_t i = 0;
    while (i < markup.size()) {
        if (markup[i] == L'<') {
            size_t end = markup.find(L'>', i + 1);
            if (end == std::wstring_view::npos) break;
            std::wstring_view inner = markup.substr(i + 1, end - i - 1);
            i = end + 1;
            MarkupToken token;
            if (!inner.empty() && inner[0] == L'#') {
                token.text.assign(inner.substr(1));
                tokens.push_back(std::move(token));
                continue;
            }
            token.kind = MarkupToken::Kind::Tag;
            std::wstring_view name = inner;
            if (!name.empty() && name[0] == L'/') {
                token.closing = true;
                name.remove_prefix(1);
            }
            size_t nameEnd = 0;
            while (nameEnd < name.size() && !IsSpace(name[nameEnd]) && name[nameEnd] != L'/') ++nameEnd;
            token.tag = ClassifyTag(name.substr(0, nameEnd));
            token.text.assign(inner);
            tokens.push_back(std::move(token));
            continue;
        }
        // A word runs up to and including its first space, or up to a tag.
        size_t end = i;
        while (end < markup.size() && markup[end] != L'<') {
            if (IsSpace(markup[end])) {
                ++end;
                break;
            }
            ++end;
        }
        MarkupToken token;
        AppendResolved(token.text, markup.substr(i, end - i));
        tokens.push_back(std::move(token));
        i = end;
    }
    return tokens;
}

std::wstring MarkupAttribute(std::wstring_view tagText, std::wstring_view name) {
    size_t from = 0;
    while (from < tagText.size()) {
        size_t at = std::wstring_view::npos;
        for (size_t i = from; i + name.size() <= tagText.size(); ++i) {
            if (StartsWithNoCase(tagText.substr(i), name)) {
                at = i;
                break;
            }
        }
        if (at == std::wstring_view::npos) return {};
        from = at + 1;
        // A whole attribute name: after a space, followed by "=".
        if (at == 0 || !IsSpace(tagText[at - 1])) continue;
        size_t p = at + name.size();
        while (p < tagText.size() && IsSpace(tagText[p])) ++p;
        if (p >= tagText.size() || tagText[p] != L'=') continue;
        ++p;
        while (p < tagText.size() && IsSpace(tagText[p])) ++p;
        if (p < tagText.size() && tagText[p] == L'"') {
            size_t close = tagText.find(L'"', p + 1);
            if (close == std::wstring_view::npos) return std::wstring(tagText.substr(p + 1));
            return std::wstring(tagText.substr(p + 1, close - p - 1));
        }
        size_t end = p;
        while (end < tagText.size() && !IsSpace(tagText[end])) ++end;
        return std::wstring(tagText.substr(p, end - p));
    }
    return {};
}

MarkupColor ParseMarkupColor(std::wstring_view text) {
    if (!text.empty() && text[0] == L'#') {
        if (text.size() != 7) return MarkupRgb(0, 0, 0);
        int channels[3];
        for (int c = 0; c < 3; ++c) {
            int value = 0;
            for (int d = 0; d < 2; ++d) {
                wchar_t ch = Lower(text[1 + c * 2 + d]);
                int digit = (ch >= L'0' && ch <= L'9') ? ch - L'0' : (ch >= L'a' && ch <= L'f') ? ch - L'a' + 10 : -1;
                if (digit < 0) return MarkupRgb(0, 0, 0);
                value = value * 16 + digit;
            }
            channels[c] = value;
        }
        return MarkupRgb(channels[0], channels[1], channels[2]);
    }
    struct Named {
        std::wstring_view name;
        MarkupColor color;
    };
    static constexpr auto S = [](unsigned index) { return kSystemColorFlag | index; };
    static constexpr std::array<Named, 40> kNames{{
        {L"clblack", MarkupRgb(0, 0, 0)},
        {L"clmaroon", MarkupRgb(128, 0, 0)},
        {L"clgreen", MarkupRgb(0, 128, 0)},
        {L"clolive", MarkupRgb(128, 128, 0)},
        {L"clnavy", MarkupRgb(0, 0, 128)},
        {L"clpurple", MarkupRgb(128, 0, 128)},
        {L"clteal", MarkupRgb(0, 128, 128)},
        {L"clgray", MarkupRgb(128, 128, 128)},
        {L"clsilver", MarkupRgb(192, 192, 192)},
        {L"clred", MarkupRgb(255, 0, 0)},
        {L"cllime", MarkupRgb(0, 255, 0)},
        {L"clyellow", MarkupRgb(255, 255, 0)},
        {L"clblue", MarkupRgb(0, 0, 255)},
        {L"clfuchsia", MarkupRgb(255, 0, 255)},
        {L"claqua", MarkupRgb(0, 255, 255)},
        {L"clwhite", MarkupRgb(255, 255, 255)},
        // System colours by their desktop colour index.
        {L"clbackground", S(1)},
        {L"clactivecaption", S(2)},
        {L"clinactivecaption", S(3)},
        {L"clmenu", S(4)},
        {L"clwindow", S(5)},
        {L"clwindowframe", S(6)},
        {L"clmenutext", S(7)},
        {L"clwindowtext", S(8)},
        {L"clcaptiontext", S(9)},
        {L"clactiveborder", S(10)},
        {L"clinactiveborder", S(11)},
        {L"clappworkspace", S(12)},
        {L"clhighlight", S(13)},
        {L"clhighlighttext", S(14)},
        {L"clbtnface", S(15)},
        {L"clbtnshadow", S(16)},
        {L"clgraytext", S(17)},
        {L"clbtntext", S(18)},
        {L"clinactivecaptiontext", S(19)},
        {L"clbtnhighlight", S(20)},
        {L"cl3ddkshadow", S(21)},
        {L"cl3dlight", S(22)},
        {L"clinfotext", S(23)},
        {L"clinfobk", S(24)},
    }};
    for (const Named& named : kNames)
        if (text.size() == named.name.size() && StartsWithNoCase(text, named.name)) return named.color;
    return MarkupRgb(0, 0, 0);
}

int ParseMarkupInt(std::wstring_view text, int fallback) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    if (i >= text.size()) return fallback;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return fallback;
        value = value * 10 + (text[i] - L'0');
        if (value > 1'000'000) return fallback;
    }
    return static_cast<int>(negative ? -value : value);
}

std::wstring MarkupPlainText(std::wstring_view markup) {
    std::wstring out;
    bool hidden = false;
    for (const MarkupToken& token : TokenizeMarkup(markup)) {
        if (token.kind == MarkupToken::Kind::Word) {
            if (!hidden) out += token.text;
            continue;
        }
        if (token.tag == MarkupTag::Hidden) {
            hidden = !token.closing;
            continue;
        }
        if (hidden) continue;
        bool lineEnd = token.tag == MarkupTag::Break || token.tag == MarkupTag::Rule ||
                       (token.tag == MarkupTag::Paragraph && token.closing) ||
                       (token.tag == MarkupTag::ListItem && !token.closing);
        if (lineEnd && !out.empty() && out.back() != L'\n') out += L"\r\n";
    }
    while (!out.empty() && IsSpace(out.back())) out.pop_back();
    return out;
}
