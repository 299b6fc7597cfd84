#include "store_fixture.h"

#include <stdexcept>

#include "store/typeregistry.h"

const TevClass TKartka::kClass{L"TKartka", CreateBlankOf<TKartka>};
const TevClass TKartkaWysoka::kClass{L"TKartkaWysoka", CreateBlankOf<TKartkaWysoka>};
const TevClass TPozycja::kClass{L"TPozycja", CreateBlankOf<TPozycja>};
const TevClass TObcy::kClass{L"TObcy", CreateBlankOf<TObcy>};
const TevClass TNiezarejestrowana::kClass{L"TNiezarejestrowana", CreateBlankOf<TNiezarejestrowana>};

void RegisterTestTypes() {
    static const bool done = [] {
        RegisterType(TKartka::kClass, 9001);
        RegisterType(TKartkaWysoka::kClass, 50000);
        RegisterType(TObcy::kClass, 9003);
        RegisterType(TPozycja::kClass, 9004);
        return true;
    }();
    (void)done;
}

std::string Hex(std::string_view text) {
    std::string out;
    int pending = -1;
    for (char c : text) {
        int v;
        if (c >= '0' && c <= '9') v = c - '0';
        else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        else if (c == ' ') continue;
        else throw std::invalid_argument("Hex: not a hex digit");
        if (pending < 0) {
            pending = v;
        } else {
            out.push_back(static_cast<char>(pending * 16 + v));
            pending = -1;
        }
    }
    if (pending >= 0) throw std::invalid_argument("Hex: odd number of digits");
    return out;
}

std::string Le16(int v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

std::string Le32(long long v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
            static_cast<char>((v >> 24) & 0xFF)};
}
