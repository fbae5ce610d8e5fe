// Forward CDF 9/7 transform: the analysis that the decoder's synthesis inverts.
#pragma once

namespace kestrel {

// Transforms a 320 x 240 plane (stride 320) in place, `levels` levels from the
// finest: at each level every row, then every column, is split into its
// low-pass half followed by its high-pass half, with the same mirrored ends
// as the synthesis. Computed in double precision, stored as float.
void AnalysePlane(float* plane, int levels);

}  // namespace kestrel
