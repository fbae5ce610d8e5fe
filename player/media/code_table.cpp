#include "code_table.h"

#include <utility>

namespace kestrel {

namespace {

// The heap holds node numbers ordered by weight; indices are 1-based.
struct HuffmanHeap {
  std::vector<std::uint32_t>& weight;
  std::vector<std::uint32_t> items;  // items[0] unused
  std::size_t fill = 0;

  void SiftDown(std::size_t i) {
    const std::uint32_t x = items[i];
    while (i <= fill / 2) {
      std::size_t t = 2 * i;
      // On equal weights the left child is taken.
      if (t < fill && weight[items[t]] > weight[items[t + 1]]) ++t;
      // An item stays above a child of equal weight.
      if (weight[x] <= weight[items[t]]) break;
      items[i] = items[t];
      i = t;
    }
    items[i] = x;
  }
};

}  // namespace

CodeTable BuildCodeTable(const std::uint32_t* frequencies, std::size_t n) {
  CodeTable table;
  table.symbolCount = static_cast<std::uint32_t>(n);
  table.left.assign(n - 1, 0);
  table.right.assign(n - 1, 0);

  std::vector<std::uint32_t> weight(2 * n, 0);
  HuffmanHeap heap{weight, std::vector<std::uint32_t>(n + 1, 0)};
  for (std::size_t j = 1; j <= n; ++j) {
    weight[j] = frequencies[j - 1];
    if (weight[j] != 0) heap.items[++heap.fill] = static_cast<std::uint32_t>(j);
  }
  for (std::size_t i = heap.fill; i >= 1; --i) heap.SiftDown(i);

  std::size_t k = n;
  while (heap.fill > 1) {
    const std::uint32_t a = heap.items[1];
    heap.items[1] = heap.items[heap.fill];
    --heap.fill;
    heap.SiftDown(1);

    ++k;
    const std::uint32_t b = heap.items[1];  // the lightest node left, replaced rather than removed
    weight[k] = weight[b] + weight[a];
    table.left[k - n - 1] = static_cast<std::uint16_t>(a);
    table.right[k - n - 1] = static_cast<std::uint16_t>(b);
    heap.items[1] = static_cast<std::uint32_t>(k);
    heap.SiftDown(1);
  }
  table.root = static_cast<std::uint32_t>(k);
  return table;
}

std::vector<SymbolCode> CodesFromTable(const CodeTable& table) {
  std::vector<SymbolCode> codes(table.symbolCount);
  // Depth-first walk with an explicit stack; depth is bounded by n.
  std::vector<std::pair<std::uint32_t, SymbolCode>> stack;
  stack.push_back({table.root, SymbolCode{}});
  while (!stack.empty()) {
    auto [node, code] = stack.back();
    stack.pop_back();
    if (table.IsLeaf(node)) {
      codes[node - 1] = code;
      continue;
    }
    const std::uint32_t index = node - table.symbolCount - 1;
    SymbolCode zero = code, one = code;
    zero.length = one.length = static_cast<std::uint8_t>(code.length + 1);
    one.bits |= 1u << code.length;
    stack.push_back({table.left[index], zero});
    stack.push_back({table.right[index], one});
  }
  return codes;
}

}  // namespace kestrel
