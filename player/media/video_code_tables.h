// The five code tables of the video payload, built once from the fixed frequencies.
#pragma once

#include <array>
#include <vector>

#include "code_table.h"
#include "frequency_tables.h"

namespace kestrel {

struct VideoCodeTables {
  std::array<CodeTable, kCodeTableCount> tables;
  const CodeTable& operator[](CodeTableId id) const { return tables[static_cast<int>(id)]; }
};

// Builds the tables in the order LumaBase, UBase, VBase, CoarseDetail, FineDetail.
VideoCodeTables BuildVideoCodeTables();

// The code of every symbol of every table, for writing payloads.
struct VideoCodeBook {
  std::array<std::vector<SymbolCode>, kCodeTableCount> codes;
  const std::vector<SymbolCode>& operator[](CodeTableId id) const { return codes[static_cast<int>(id)]; }
};
VideoCodeBook BuildVideoCodeBook(const VideoCodeTables& tables);

}  // namespace kestrel
