// Inverse CDF 9/7 transform of a coefficient plane, in place.
#pragma once

namespace kestrel {

// The plane is 320 x 240 floats with a stride of 320; `levels` (1 to 4) levels
// are synthesised from the coarsest, columns first, then rows. `line` is a
// scratch buffer of wavelet::kLineBufferSize floats for the reference form;
// the fast form takes `rows`, room for wavelet::kColumnScratchSize floats.
//
// Every output is computed in double precision in one fixed bracketing and
// rounded to float once. The fast form passes over lines whose high-pass half
// is zero with a shortened formula; it gives the same values (a zero may differ
// in sign only, which no later step can observe).
void SynthesizePlane(float* plane, int levels, float* rows);
void SynthesizePlaneReference(float* plane, int levels, float* line);

// One line of `n` (even) values at `stride`: low-pass half first, then high-pass.
void SynthesizeLineReference(float* values, int n, int stride, float* line);

}  // namespace kestrel
