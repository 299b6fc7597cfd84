#pragma once
// The data-block checksum of the cabinet format.
//
// The sum is the XOR of the data taken as little-endian 32-bit words; the one
// to three bytes left over at the end form one more word with the first of
// them in the highest position used. A block's stored sum runs over its data
// and then, seeded with that, over the four bytes cbData and cbUncomp. A stored
// sum of 0 means "not computed".
#include <cstddef>
#include <cstdint>

uint32_t CabChecksum(const uint8_t* data, size_t size, uint32_t seed);

// The stored sum of one data block: data first, then its two size fields.
uint32_t CabBlockChecksum(const uint8_t* data, uint16_t cbData, uint16_t cbUncomp);
