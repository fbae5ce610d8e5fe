#include "audio_frame.h"

#include "bit_reader.h"
#include "bit_writer.h"

namespace kestrel {

namespace {

constexpr std::array<std::uint8_t, kGsmParameterCount> MakeWidths() {
  std::array<std::uint8_t, kGsmParameterCount> widths{};
  constexpr std::uint8_t lar[8] = {6, 6, 5, 5, 4, 4, 3, 3};
  int k = 0;
  for (std::uint8_t w : lar) widths[k++] = w;
  for (int subframe = 0; subframe < 4; ++subframe) {
    widths[k++] = 7;                               // Nc
    widths[k++] = 2;                               // bc
    widths[k++] = 2;                               // Mc
    widths[k++] = 6;                               // xmaxc
    for (int i = 0; i < 13; ++i) widths[k++] = 3;  // xMc
  }
  return widths;
}

constexpr auto kWidths = MakeWidths();

}  // namespace

const std::array<std::uint8_t, kGsmParameterCount>& GsmParameterWidths() { return kWidths; }

GsmParameters UnpackAudioFrame(const std::uint8_t* frame) {
  BitReader bits(frame, kAudioFrameBytes);
  GsmParameters parameters{};
  for (int i = 0; i < kGsmParameterCount; ++i) parameters[i] = static_cast<std::int16_t>(bits.ReadBits(kWidths[i]));
  return parameters;
}

AudioFrameBytes PackAudioFrame(const GsmParameters& parameters) {
  BitWriter bits;
  for (int i = 0; i < kGsmParameterCount; ++i)
    bits.WriteBits(static_cast<std::uint16_t>(parameters[i]) & ((1u << kWidths[i]) - 1), kWidths[i]);
  AudioFrameBytes frame{};
  const auto& bytes = bits.Bytes();
  for (std::size_t i = 0; i < bytes.size() && i < frame.size(); ++i) frame[i] = bytes[i];
  return frame;
}

}  // namespace kestrel
