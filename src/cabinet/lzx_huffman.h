#pragma once
// Huffman code construction for the LZX encoder.
//
// Code lengths come from the classic two-queue Huffman construction over the
// symbols sorted by frequency (O(n log n) for the sort, linear after). When
// the deepest code exceeds the format's limit, the frequencies are halved
// (keeping every used symbol above zero) and the tree is built again: cheaper
// to write than package-merge and within a fraction of a percent of optimal
// for the alphabets here, which rarely hit the limit.
//
// Every code built here is complete, because decoders reject incomplete
// codes: an alphabet with a single used symbol gets a second, unused one.
#include <cstdint>

namespace lzx {

// lens[i] = 0 for unused symbols (freq[i] == 0). n <= kMaxMainSymbols.
void BuildCodeLengths(const uint32_t* freq, int n, int maxLen, uint8_t* lens);

// Canonical codes: shorter codes first, equal lengths in symbol order.
void AssignCodes(const uint8_t* lens, int n, uint16_t* codes);

}  // namespace lzx
