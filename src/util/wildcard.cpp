#include "util/wildcard.h"

#include <vector>

#include "util/textcase.h"

namespace {

// Greedy matching with one point to come back to: the last "*" seen and
// where in the name it stopped matching.
bool Glob(std::wstring_view name, std::wstring_view mask) {
    size_t n = 0, m = 0;
    size_t starMask = std::wstring_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == L'?' || UpperChar(mask[m]) == UpperChar(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == L'*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::wstring_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == L'*') ++m;
    return m == mask.size();
}

}  // namespace

bool MatchesMask(std::wstring_view name, std::wstring_view mask) {
    if (mask == L"*.*" || mask == L"*") return true;
    if (Glob(name, mask)) return true;
    // "abc." names the file "abc": the system drops a trailing period.
    if (!mask.empty() && mask.back() == L'.' && name.find(L'.') == std::wstring_view::npos)
        return Glob(name, mask.substr(0, mask.size() - 1));
    return false;
}
