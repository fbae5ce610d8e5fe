// Huffman code trees of the video payload: construction, decoding and the
// inverse (each symbol's code) for writing payloads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bit_reader.h"

namespace kestrel {

// Nodes are numbered from 1: 1 .. n are the leaves (node j is symbol j-1),
// n+1 .. 2n-1 the inner nodes. Only what decoding needs is kept.
struct CodeTable {
  std::uint32_t symbolCount = 0;     // n
  std::uint32_t root = 0;            // node 2n-1
  std::vector<std::uint16_t> left;   // child on bit 0, indexed by node - n - 1
  std::vector<std::uint16_t> right;  // child on bit 1

  bool IsLeaf(std::uint32_t node) const { return node <= symbolCount; }
};

// Builds the tree by the heap procedure whose tie-breaks fix every code. The
// frequencies must all be non-zero (the five fixed tables are), and n >= 2.
CodeTable BuildCodeTable(const std::uint32_t* frequencies, std::size_t n);

// Walks from the root one bit at a time (1 = right) to a leaf and returns its
// symbol 0 .. n-1. Past the end of the payload the reader supplies zero bits,
// so this always ends after at most the tree's depth.
inline std::uint32_t DecodeSymbol(const CodeTable& table, BitReader& bits) {
  std::uint32_t node = table.root;
  const std::uint32_t firstInner = table.symbolCount + 1;
  while (!table.IsLeaf(node)) {
    const std::uint32_t index = node - firstInner;
    node = bits.ReadBit() ? table.right[index] : table.left[index];
  }
  return node - 1;
}

// One symbol's code: `length` bits, the first bit to be written in bit 0.
struct SymbolCode {
  std::uint32_t bits = 0;
  std::uint8_t length = 0;
};

// The code of every symbol, indexed by symbol.
std::vector<SymbolCode> CodesFromTable(const CodeTable& table);

}  // namespace kestrel
