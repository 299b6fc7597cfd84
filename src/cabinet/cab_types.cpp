#include "cabinet/cab_types.h"

#include "cabinet/cab_format.h"

CabCompression CabCompression::FromCode(uint16_t typeCompress) {
    switch (typeCompress & cab::kMethodMask) {
        case cab::kMethodNone: return {CabMethod::None, 0};
        case cab::kMethodMszip: return {CabMethod::Mszip, 0};
        case cab::kMethodQuantum: return {CabMethod::Quantum, 0};
        case cab::kMethodLzx: return {CabMethod::Lzx, cab::LzxWindowBits(typeCompress)};
        default: return {CabMethod::Unknown, 0};
    }
}

std::wstring CompressionText(CabCompression compression) {
    switch (compression.method) {
        case CabMethod::None: return L"brak";
        case CabMethod::Mszip: return L"MSZIP";
        case CabMethod::Quantum: return L"Quantum";
        case CabMethod::Lzx: {
            const int bits = compression.lzxWindowBits;
            if (bits < 15 || bits > 21) return L"LZX";
            const int kib = 1 << (bits - 10);
            return L"LZX (okno " + (kib >= 1024 ? std::to_wstring(kib / 1024) + L" MB)" : std::to_wstring(kib) + L" KB)");
        }
        case CabMethod::Unknown: break;
    }
    return L"nieznana";
}
