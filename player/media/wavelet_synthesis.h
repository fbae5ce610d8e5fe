// Inverse CDF 9/7 transform of a coefficient plane, in place.
#pragma once

namespace kestrel {

// The plane is 320 x 240 floats with a stride of 320; `levels` (1 to 4) levels
// are synthesised from the coarsest, columns first, then rows, each line by
// the plain formula. `line` is a scratch buffer of wavelet::kLineBufferSize
// floats. Every output is computed in double precision in one fixed
// bracketing and rounded to float once.
void SynthesizePlaneReference(float* plane, int levels, float* line);

// One line of `n` (even) values at `stride`: low-pass half first, then high-pass.
void SynthesizeLineReference(float* values, int n, int stride, float* line);

}  // namespace kestrel
