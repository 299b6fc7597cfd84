#include "cabinet/checksum.h"

#include "cabinet/cab_format.h"

uint32_t CabChecksum(const uint8_t* data, size_t size, uint32_t seed) {
    // XOR is associative: two running words let the compiler use wide loads.
    uint32_t a = seed, b = 0;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        a ^= cab::Get32(data + i);
        b ^= cab::Get32(data + i + 4);
    }
    if (i + 4 <= size) {
        a ^= cab::Get32(data + i);
        i += 4;
    }
    uint32_t tail = 0;
    switch (size - i) {
        case 3: tail |= static_cast<uint32_t>(data[i++]) << 16; [[fallthrough]];
        case 2: tail |= static_cast<uint32_t>(data[i++]) << 8; [[fallthrough]];
        case 1: tail |= data[i++]; break;
        default: break;
    }
    return a ^ b ^ tail;
}

uint32_t CabBlockChecksum(const uint8_t* data, uint16_t cbData, uint16_t cbUncomp) {
    uint8_t sizes[4];
    cab::Put16(sizes, cbData);
    cab::Put16(sizes + 2, cbUncomp);
    return CabChecksum(sizes, 4, CabChecksum(data, cbData, 0));
}
