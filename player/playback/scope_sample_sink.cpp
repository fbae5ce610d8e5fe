#include "scope_sample_sink.h"

#include "waveform_scope.h"

namespace kestrel {

// The scope's queue takes values from any thread and drops them, never
// waiting, when full.
void CScopeSampleSink::OnSample(std::int16_t sample) { scope_.AppendSample(ScopeValueOf(sample)); }

}  // namespace kestrel
