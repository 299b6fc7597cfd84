#pragma once
// SafeFormat: the message formatter through which messages and list items are
// built. Directives: "%" [index ":"] ["-"] [width] ["." precision] type, with
// the types
//   s  text (precision: at most that many characters)
//   d  integer (precision: minimum number of digits, padded with zeros)
//   x  hexadecimal in capitals (precision: minimum number of digits)
//   f  fixed point (precision: decimals, default 2)
//   n  like f, with thousands separators
//   g  shortest form (precision: significant digits, default 15)
//   p  pointer
// and "%%" for a percent sign. Type letters are not case sensitive; the index
// counts arguments from 0 and later directives go on from it. Separators are
// the program's Polish ones (decimal ",", thousands " ").
//
// SafeFormat never throws: a directive without a matching argument, a wrong
// argument type or a bad pattern give an error message, "\r\n" and the
// pattern. Text arguments longer than 1024 characters are shortened first
// (ShortenText).
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class FormatArg {
public:
    enum class Kind { Integer, Floating, Scaled, Text, Pointer };

    FormatArg(int v) : FormatArg(static_cast<std::int64_t>(v), false) {}
    FormatArg(unsigned v) : FormatArg(static_cast<std::int64_t>(v), false) {}
    FormatArg(long v) : FormatArg(static_cast<std::int64_t>(v), sizeof(long) > 4) {}
    FormatArg(unsigned long v) : FormatArg(static_cast<std::int64_t>(v), sizeof(long) > 4) {}
    FormatArg(long long v) : FormatArg(static_cast<std::int64_t>(v), true) {}
    FormatArg(unsigned long long v) : FormatArg(static_cast<std::int64_t>(v), true) {}
    FormatArg(double v) : kind_(Kind::Floating), real_(v) {}
    FormatArg(wchar_t c) : kind_(Kind::Text), text_(1, c) {}
    FormatArg(const wchar_t* s) : kind_(Kind::Text), text_(s ? s : L"") {}
    FormatArg(const std::wstring& s) : kind_(Kind::Text), text_(s) {}
    FormatArg(std::wstring_view s) : kind_(Kind::Text), text_(s) {}
    FormatArg(const void* p)
        : kind_(Kind::Pointer), integer_(static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(p))) {}
    FormatArg(bool) = delete;

    // An exact decimal: raw / 10^decimals (an Amount is Scaled(raw, 4)). Shown
    // by f, n and g without passing through binary floating point.
    static FormatArg Scaled(std::int64_t raw, int decimals) {
        FormatArg a(raw, true);
        a.kind_ = Kind::Scaled;
        a.decimals_ = decimals;
        return a;
    }

    Kind kind() const { return kind_; }
    std::int64_t integer() const { return integer_; }
    bool wide() const { return wide_; }
    double real() const { return real_; }
    int decimals() const { return decimals_; }
    const std::wstring& text() const { return text_; }

private:
    FormatArg(std::int64_t v, bool wide) : kind_(Kind::Integer), integer_(v), wide_(wide) {}

    Kind kind_;
    std::int64_t integer_ = 0;
    bool wide_ = true;  // false: a 32-bit value, shown as such by x
    double real_ = 0;
    int decimals_ = 0;
    std::wstring text_;
};

std::wstring SafeFormat(std::wstring_view pattern, std::initializer_list<FormatArg> args = {});
std::wstring SafeFormat(std::wstring_view pattern, const std::vector<FormatArg>& args);

// The same formatting for callers with a fallback of their own: nullopt where
// SafeFormat would give its error text.
std::optional<std::wstring> TryFormat(std::wstring_view pattern, std::initializer_list<FormatArg> args);
