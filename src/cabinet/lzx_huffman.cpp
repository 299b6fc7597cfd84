#include "cabinet/lzx_huffman.h"

#include <algorithm>

#include "cabinet/lzx_format.h"

namespace lzx {

namespace {

// One Huffman construction; returns the deepest code length.
int HuffmanDepths(const uint32_t* freq, const uint16_t* order, int m, uint8_t* depthOfLeaf) {
    // Nodes 0..m-1 are the leaves in order, m.. the internal nodes in the
    // order they are made (nondecreasing weight).
    uint32_t weight[2 * kMaxMainSymbols];
    uint16_t parent[2 * kMaxMainSymbols];
    uint8_t depth[2 * kMaxMainSymbols];
    for (int i = 0; i < m; ++i) weight[i] = freq[order[i]];
    int leaf = 0, inner = m, made = m;
    auto takeSmallest = [&]() {
        if (leaf < m && (inner >= made || weight[leaf] <= weight[inner])) return leaf++;
        return inner++;
    };
    for (; made < 2 * m - 1; ++made) {
        int a = takeSmallest();
        int b = takeSmallest();
        weight[made] = weight[a] + weight[b];
        parent[a] = parent[b] = static_cast<uint16_t>(made);
    }
    int root = 2 * m - 2;
    depth[root] = 0;
    int deepest = 0;
    for (int i = root - 1; i >= 0; --i) {
        depth[i] = static_cast<uint8_t>(std::min(depth[parent[i]] + 1, 255));
        if (i < m) {
            depthOfLeaf[i] = depth[i];
            deepest = std::max(deepest, static_cast<int>(depth[i]));
        }
    }
    return deepest;
}

}  // namespace

void BuildCodeLengths(const uint32_t* freqIn, int n, int maxLen, uint8_t* lens) {
    uint32_t freq[kMaxMainSymbols];
    uint16_t order[kMaxMainSymbols];
    int m = 0;
    for (int i = 0; i < n; ++i) {
        freq[i] = freqIn[i];
        lens[i] = 0;
        if (freq[i]) order[m++] = static_cast<uint16_t>(i);
    }
    if (m == 0) return;
    if (m == 1) {
        lens[order[0]] = 1;
        lens[order[0] == 0 ? 1 : 0] = 1;
        return;
    }
    uint8_t depthOfLeaf[kMaxMainSymbols];
    for (;;) {
        std::sort(order, order + m, [&](uint16_t a, uint16_t b) {
            return freq[a] != freq[b] ? freq[a] < freq[b] : a < b;
        });
        if (HuffmanDepths(freq, order, m, depthOfLeaf) <= maxLen) break;
        for (int i = 0; i < m; ++i) freq[order[i]] = (freq[order[i]] >> 1) | 1;
    }
    for (int i = 0; i < m; ++i) lens[order[i]] = depthOfLeaf[i];
}

void AssignCodes(const uint8_t* lens, int n, uint16_t* codes) {
    uint16_t count[kMaxCodeLength + 1] = {};
    for (int i = 0; i < n; ++i) ++count[lens[i]];
    count[0] = 0;
    uint16_t next[kMaxCodeLength + 1];
    uint32_t code = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = static_cast<uint16_t>(code);
    }
    for (int i = 0; i < n; ++i)
        if (lens[i]) codes[i] = next[lens[i]]++;
}

}  // namespace lzx
