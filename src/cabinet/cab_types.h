#pragma once
// What the reader finds in a cabinet: its folders and its files.
#include <cstdint>
#include <string>

enum class CabMethod { None, Mszip, Quantum, Lzx, Unknown };

struct CabCompression {
    CabMethod method = CabMethod::None;
    int lzxWindowBits = 0;  // 15..21 for LZX

    static CabCompression FromCode(uint16_t typeCompress);
    bool operator==(const CabCompression&) const = default;
};

// "brak", "MSZIP", "LZX (okno 2 MB)", "Quantum", "nieznana".
std::wstring CompressionText(CabCompression compression);

struct CabFolder {
    uint32_t dataOffset = 0;     // first CFDATA record
    uint16_t blockCount = 0;
    uint16_t typeCompress = 0;   // as stored
    CabCompression compression;
};

struct CabEntry {
    std::string storedName;      // bytes as stored
    std::wstring name;           // decoded: UTF-8 when flagged, Windows-1250 otherwise
    uint32_t size = 0;
    uint32_t folderOffset = 0;   // start in the folder's uncompressed stream
    uint16_t folder = 0;         // index, or one of the continuation markers
    uint16_t date = 0;           // DOS date and time words, local time
    uint16_t time = 0;
    uint16_t attributes = 0;

    // The file starts or ends in another cabinet of a set.
    bool Spans() const { return folder >= 0xFFFD; }
};
