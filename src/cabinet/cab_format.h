#pragma once
// The on-disk layout of a cabinet file, shared by the reader and the writer.
//
// A cabinet is a header (CFHEADER), a table of folders (CFFOLDER), a table of
// files (CFFILE) and the data blocks (CFDATA). A folder is one compressed
// stream cut into blocks of at most 32 KiB uncompressed; a file is a range of
// its folder's uncompressed stream. All numbers are little-endian.
//
//   CFHEADER  "MSCF", reserved, cbCabinet, reserved, coffFiles, reserved,
//             minor 3, major 1, cFolders, cFiles, flags, setID, iCabinet
//             [cbCFHeader u16, cbCFFolder u8, cbCFData u8, header reserve]
//             [previous cabinet and disk names] [next cabinet and disk names]
//   CFFOLDER  coffCabStart u32, cCFData u16, typeCompress u16, reserve
//   CFFILE    cbFile u32, uoffFolderStart u32, iFolder u16, date u16,
//             time u16, attribs u16, name (NUL-terminated)
//   CFDATA    csum u32, cbData u16, cbUncomp u16, reserve, data
#include <cstdint>
#include <cstring>

namespace cab {

inline constexpr uint8_t kSignature[4] = {'M', 'S', 'C', 'F'};
inline constexpr size_t kHeaderSize = 36;
inline constexpr size_t kFolderSize = 8;
inline constexpr size_t kFileFixedSize = 16;
inline constexpr size_t kDataHeaderSize = 8;

// Where the fields of each record are, for the reader and the writer alike.
namespace header {
inline constexpr size_t kCabinetSize = 8;   // cbCabinet u32
inline constexpr size_t kFilesOffset = 16;  // coffFiles u32
inline constexpr size_t kVersionMinor = 24; // u8
inline constexpr size_t kVersionMajor = 25; // u8
inline constexpr size_t kFolderCount = 26;  // cFolders u16
inline constexpr size_t kFileCount = 28;    // cFiles u16
inline constexpr size_t kFlags = 30;        // u16
inline constexpr size_t kSetId = 32;        // u16
inline constexpr size_t kCabinetIndex = 34; // iCabinet u16
// With kFlagReservePresent, right after the fixed header:
inline constexpr size_t kReserveHeader = 0; // cbCFHeader u16
inline constexpr size_t kReserveFolder = 2; // cbCFFolder u8
inline constexpr size_t kReserveData = 3;   // cbCFData u8
inline constexpr size_t kReserveFieldsSize = 4;
}  // namespace header
namespace folder {
inline constexpr size_t kDataOffset = 0;    // coffCabStart u32
inline constexpr size_t kBlockCount = 4;    // cCFData u16
inline constexpr size_t kTypeCompress = 6;  // u16
}  // namespace folder
namespace file {
inline constexpr size_t kSize = 0;          // cbFile u32
inline constexpr size_t kFolderOffset = 4;  // uoffFolderStart u32
inline constexpr size_t kFolder = 8;        // iFolder u16
inline constexpr size_t kDate = 10;         // u16
inline constexpr size_t kTime = 12;         // u16
inline constexpr size_t kAttributes = 14;   // attribs u16
}  // namespace file
namespace data {
inline constexpr size_t kChecksum = 0;      // csum u32
inline constexpr size_t kCompressed = 4;    // cbData u16
inline constexpr size_t kUncompressed = 6;  // cbUncomp u16
}  // namespace data

// The format version a cabinet states: 1.3.
inline constexpr uint8_t kVersionMinor = 3;
inline constexpr uint8_t kVersionMajor = 1;

inline constexpr uint16_t kFlagPrevCabinet = 0x0001;
inline constexpr uint16_t kFlagNextCabinet = 0x0002;
inline constexpr uint16_t kFlagReservePresent = 0x0004;

inline constexpr uint16_t kAttrReadOnly = 0x01;
inline constexpr uint16_t kAttrHidden = 0x02;
inline constexpr uint16_t kAttrSystem = 0x04;
inline constexpr uint16_t kAttrArchive = 0x20;
inline constexpr uint16_t kAttrNameIsUtf = 0x80;
// The attributes a writer copies from the source file.
inline constexpr uint16_t kAttrStoredMask = 0x27;

// Folder indexes of files that continue across cabinets of a set.
inline constexpr uint16_t kFolderContinuedFromPrev = 0xFFFD;
inline constexpr uint16_t kFolderContinuedToNext = 0xFFFE;
inline constexpr uint16_t kFolderContinuedPrevAndNext = 0xFFFF;

inline constexpr uint16_t kMethodMask = 0x000F;
inline constexpr uint16_t kMethodNone = 0;
inline constexpr uint16_t kMethodMszip = 1;
inline constexpr uint16_t kMethodQuantum = 2;
inline constexpr uint16_t kMethodLzx = 3;

inline constexpr size_t kBlockSize = 32768;        // uncompressed bytes per data block
inline constexpr size_t kMaxNameBytes = 255;       // without the terminating NUL
inline constexpr uint32_t kMaxCabinetSize = 0x7FFFFFFF;
inline constexpr size_t kMaxCount = 0xFFFF;        // folders, files, blocks per folder

inline constexpr uint16_t LzxCode(int windowBits) {
    return static_cast<uint16_t>(kMethodLzx | (windowBits << 8));
}
inline constexpr int LzxWindowBits(uint16_t code) { return (code >> 8) & 0x1F; }

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace cab
