#include "video_code_tables.h"

namespace kestrel {

VideoCodeTables BuildVideoCodeTables() {
  VideoCodeTables result;
  for (int i = 0; i < kCodeTableCount; ++i) {
    const FrequencyTable& f = FrequenciesFor(static_cast<CodeTableId>(i));
    result.tables[i] = BuildCodeTable(f.counts, f.size);
  }
  return result;
}

VideoCodeBook BuildVideoCodeBook(const VideoCodeTables& tables) {
  VideoCodeBook book;
  for (int i = 0; i < kCodeTableCount; ++i) book.codes[i] = CodesFromTable(tables.tables[i]);
  return book;
}

}  // namespace kestrel
