// `qrvtool thumbnail FILE OUT.png [SIZE]`: the first picture of a message (a
// waveform for a sound-only one), scaled to fit SIZE, for file managers.
// Needs no display; writes only OUT.png.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "qrvtool.h"

namespace kestrel::tool {

int RunThumbnail(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A 320 x 240 upright R, G, B picture of the samples' waveform: a green trace
// of each column's smallest and largest sample on black, with a centre line.
std::vector<std::uint8_t> DrawWaveform(const std::vector<std::int16_t>& samples);

}  // namespace kestrel::tool
