#include "util/safeformat.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "util/polishlocale.h"
#include "util/textedit.h"

namespace {

constexpr size_t LongArgumentLimit = 1024;

// Raised inside the formatter only; SafeFormat turns it into its fallback text.
struct FormatError {
    std::wstring message;
};

// A decimal number: 0.digits * 10^exponent, digits without leading zeros
// (empty for zero).
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Decimal FromInteger(std::int64_t v, int decimals) {
    Decimal d;
    d.negative = v < 0;
    const std::uint64_t magnitude = d.negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    if (magnitude != 0) d.digits = std::to_string(magnitude);
    d.exponent = static_cast<int>(d.digits.size()) - decimals;
    return d;
}

// Seventeen significant digits hold every double exactly enough that rounding
// them half up gives what a person rounding the written value would get.
Decimal FromDouble(double v, int significant = 17) {
    Decimal d;
    d.negative = std::signbit(v);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, std::fabs(v));
    std::string s(buf);
    const size_t e = s.find('e');
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.') d.digits += s[i];
    d.exponent = std::stoi(s.substr(e + 1)) + 1;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.exponent = 0;
    return d;
}

// Rounds half away from zero to `decimals` places after the point.
void RoundAt(Decimal& d, int decimals) {
    const int keep = d.exponent + decimals;
    if (static_cast<int>(d.digits.size()) <= keep) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
        if (i >= 0)
            ++d.digits[i];
        else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.exponent = 0;
}

char DigitAt(const Decimal& d, int index) {  // index 0 = first digit after "0."
    return index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[index] : '0';
}

std::wstring FixedText(Decimal d, int decimals, bool thousands) {
    RoundAt(d, decimals);
    std::wstring whole;
    for (int i = 0; i < d.exponent; ++i) whole += static_cast<wchar_t>(DigitAt(d, i));
    if (whole.empty()) whole = L"0";
    if (thousands)
        for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3)
            whole.insert(static_cast<size_t>(i), 1, polish::ThousandSeparator);
    std::wstring out = (d.negative && !d.digits.empty()) ? L"-" : L"";
    out += whole;
    if (decimals > 0) {
        out += polish::DecimalSeparator;
        for (int i = 0; i < decimals; ++i) out += static_cast<wchar_t>(DigitAt(d, d.exponent + i));
    }
    return out;
}

// Shortest form: fixed point while the whole part has at most `precision`
// digits and the value is at least 0.00001, otherwise "1,5E-7" style.
std::wstring GeneralText(Decimal d, int precision) {
    if (d.digits.empty()) return L"0";
    RoundAt(d, precision - d.exponent);
    std::wstring out = d.negative ? L"-" : L"";
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent <= precision && d.exponent > -5) {
        if (d.exponent <= 0) {
            out += L"0";
            out += polish::DecimalSeparator;
            out.append(static_cast<size_t>(-d.exponent), L'0');
            for (char c : d.digits) out += static_cast<wchar_t>(c);
        } else {
            for (int i = 0; i < d.exponent; ++i) out += static_cast<wchar_t>(DigitAt(d, i));
            if (n > d.exponent) {
                out += polish::DecimalSeparator;
                for (int i = d.exponent; i < n; ++i) out += static_cast<wchar_t>(d.digits[i]);
            }
        }
        return out;
    }
    out += static_cast<wchar_t>(d.digits[0]);
    if (n > 1) {
        out += polish::DecimalSeparator;
        for (int i = 1; i < n; ++i) out += static_cast<wchar_t>(d.digits[i]);
    }
    out += L"E" + std::to_wstring(d.exponent - 1);
    return out;
}

std::wstring HexText(std::uint64_t v, int minDigits) {
    std::wstring out;
    do {
        out.insert(out.begin(), L"0123456789ABCDEF"[v & 15]);
        v >>= 4;
    } while (v != 0);
    if (static_cast<int>(out.size()) < minDigits) out.insert(0, static_cast<size_t>(minDigits) - out.size(), L'0');
    return out;
}

class Formatter {
public:
    Formatter(std::wstring_view pattern, const FormatArg* args, size_t count)
        : pattern_(pattern), args_(args), count_(count) {}

    std::wstring Run() {
        std::wstring out;
        size_t i = 0;
        while (i < pattern_.size()) {
            if (pattern_[i] != L'%') {
                out += pattern_[i++];
                continue;
            }
            const size_t start = i++;
            if (i < pattern_.size() && pattern_[i] == L'%') {
                out += L'%';
                ++i;
                continue;
            }
            out += Directive(start, i);
        }
        return out;
    }

private:
    std::optional<int> Number(size_t& i) {
        if (i >= pattern_.size() || pattern_[i] < L'0' || pattern_[i] > L'9') return std::nullopt;
        long long n = 0;
        while (i < pattern_.size() && pattern_[i] >= L'0' && pattern_[i] <= L'9') {
            n = n * 10 + (pattern_[i++] - L'0');
            if (n > 100000) throw Invalid(pattern_.substr(i - 1, 1));
        }
        return static_cast<int>(n);
    }

    FormatError Invalid(std::wstring_view directive) const {
        return {L"Format „" + std::wstring(directive) + L"” jest błędny lub niezgodny z argumentem."};
    }

    std::wstring Directive(size_t start, size_t& i) {
        std::optional<int> width = Number(i);
        if (width && i < pattern_.size() && pattern_[i] == L':') {
            next_ = static_cast<size_t>(*width);
            ++i;
            width.reset();
        }
        bool left = false;
        if (!width && i < pattern_.size() && pattern_[i] == L'-') {
            left = true;
            ++i;
        }
        if (!width) width = Number(i);
        std::optional<int> precision;
        if (i < pattern_.size() && pattern_[i] == L'.') {
            ++i;
            precision = Number(i).value_or(0);
        }
        if (i >= pattern_.size()) throw Invalid(pattern_.substr(start));
        const wchar_t type = pattern_[i++];
        const std::wstring_view directive = pattern_.substr(start, i - start);
        if (next_ >= count_)
            throw FormatError{L"Brak argumentu dla formatu „" + std::wstring(directive) + L"”."};
        const FormatArg& arg = args_[next_++];

        std::wstring text;
        switch (type | 0x20) {
        case L's':
            if (arg.kind() != FormatArg::Kind::Text) throw Invalid(directive);
            text = arg.text().size() > LongArgumentLimit ? ShortenText(LongArgumentLimit, arg.text()) : arg.text();
            if (precision && text.size() > static_cast<size_t>(*precision)) text.resize(*precision);
            break;
        case L'd': {
            if (arg.kind() != FormatArg::Kind::Integer) throw Invalid(directive);
            Decimal d = FromInteger(arg.integer(), 0);
            std::wstring digits = d.digits.empty() ? L"0" : std::wstring(d.digits.begin(), d.digits.end());
            if (precision && digits.size() < static_cast<size_t>(*precision))
                digits.insert(0, *precision - digits.size(), L'0');
            text = (d.negative ? L"-" : L"") + digits;
            break;
        }
        case L'x': {
            if (arg.kind() != FormatArg::Kind::Integer) throw Invalid(directive);
            std::uint64_t v = static_cast<std::uint64_t>(arg.integer());
            if (!arg.wide()) v &= 0xFFFFFFFFu;
            text = HexText(v, precision.value_or(0));
            break;
        }
        case L'p':
            if (arg.kind() != FormatArg::Kind::Pointer) throw Invalid(directive);
            text = HexText(static_cast<std::uint64_t>(arg.integer()), static_cast<int>(2 * sizeof(void*)));
            break;
        case L'f':
        case L'n':
        case L'g': {
            std::optional<Decimal> d;
            if (arg.kind() == FormatArg::Kind::Integer) d = FromInteger(arg.integer(), 0);
            else if (arg.kind() == FormatArg::Kind::Scaled) d = FromInteger(arg.integer(), arg.decimals());
            else if (arg.kind() == FormatArg::Kind::Floating) {
                const double v = arg.real();
                if (std::isnan(v)) { text = L"NAN"; break; }
                if (std::isinf(v)) { text = v < 0 ? L"-INF" : L"INF"; break; }
                d = FromDouble(v);
            } else
                throw Invalid(directive);
            if ((type | 0x20) == L'g') {
                const int digits = precision && *precision > 0 && *precision <= 18 ? *precision : 15;
                text = GeneralText(*d, digits);
            } else {
                text = FixedText(*d, precision.value_or(2), (type | 0x20) == L'n');
            }
            break;
        }
        default:
            throw Invalid(directive);
        }
        if (width && text.size() < static_cast<size_t>(*width)) {
            const size_t pad = *width - text.size();
            if (left)
                text.append(pad, L' ');
            else
                text.insert(0, pad, L' ');
        }
        return text;
    }

    std::wstring_view pattern_;
    const FormatArg* args_;
    size_t count_;
    size_t next_ = 0;
};

std::wstring Format(std::wstring_view pattern, const FormatArg* args, size_t count) {
    try {
        return Formatter(pattern, args, count).Run();
    } catch (const FormatError& e) {
        return e.message + L"\r\n" + std::wstring(pattern);
    } catch (...) {
        return L"Nie udało się sformatować tekstu.\r\n" + std::wstring(pattern);
    }
}

}  // namespace

std::wstring SafeFormat(std::wstring_view pattern, std::initializer_list<FormatArg> args) {
    return Format(pattern, args.begin(), args.size());
}

std::wstring SafeFormat(std::wstring_view pattern, const std::vector<FormatArg>& args) {
    return Format(pattern, args.data(), args.size());
}

std::optional<std::wstring> TryFormat(std::wstring_view pattern, std::initializer_list<FormatArg> args) {
    try {
        return Formatter(pattern, args.begin(), args.size()).Run();
    } catch (...) {
        return std::nullopt;
    }
}
