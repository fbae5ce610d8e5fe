#include "scope_sample_sink.h"

#include <gtest/gtest.h>

#include "waveform_scope.h"

namespace kestrel {
namespace {

// Where the scope draws its range's ends and middle is the scope's own test;
// here, that the sound's full scale lands exactly on them.
TEST(ScopeSampleSink, FullScaleSpansTheScopesRangeWithSilenceInTheMiddle) {
  EXPECT_EQ(ScopeValueOf(-32768), kScopeLower);
  EXPECT_EQ(ScopeValueOf(0), (kScopeLower + kScopeUpper) / 2);
  EXPECT_EQ(ScopeValueOf(16384), 1.5f);
  EXPECT_LT(ScopeValueOf(32767), kScopeUpper);
  EXPECT_GT(ScopeValueOf(32767), 1.9999f);
}

// The reader's samples wait in the scope for the buffers they belong to be
// heard; a scope not drained drops what does not fit instead of waiting.
// (No painting here: these tests run under ThreadSanitizer.)
TEST(ScopeSampleSink, SamplesWaitInTheScopeAndAFullScopeDropsTheRest) {
  CWaveformScope scope;
  CScopeSampleSink sink(scope);
  for (int i = 0; i < 40; ++i) sink.OnSample(static_cast<std::int16_t>(i * 800));
  EXPECT_EQ(scope.PendingSamples(), 40);
  for (int i = 0; i < CWaveformScope::kSampleCapacity; ++i) sink.OnSample(0);
  EXPECT_EQ(scope.PendingSamples(), CWaveformScope::kSampleCapacity);
  scope.ClearSamples();
  sink.OnSample(-1);
  EXPECT_EQ(scope.PendingSamples(), 1);
}

}  // namespace
}  // namespace kestrel
