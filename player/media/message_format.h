// Constants of the ".qrv" message file: header, records and payload sizes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel {

inline constexpr char kMessageMagic[8] = {'Q', 'R', 'V', '0', '1', '.', '0', '1'};
inline constexpr std::size_t kMessageMagicSize = 8;
inline constexpr std::size_t kMessageHeaderSize = 13;  // magic, rate byte, 32-bit count
inline constexpr std::uint8_t kMaxVideoFrameRate = 5;

inline constexpr std::uint8_t kAudioRecordType = 0;
inline constexpr std::uint8_t kVideoRecordType = 1;

inline constexpr std::size_t kAudioFrameBytes = 33;
inline constexpr std::size_t kAudioFramesPerRecord = 10;
inline constexpr std::size_t kAudioRecordBytes = kAudioFrameBytes * kAudioFramesPerRecord;  // 330

// The reader's payload buffer; a video record longer than this is never read into it.
inline constexpr std::size_t kPayloadBufferBytes = 16384;

inline constexpr int kSamplesPerAudioFrame = 160;  // one PCM block, 20 ms at 8000 Hz
inline constexpr int kSampleRate = 8000;
inline constexpr int kAudioFrameMilliseconds = 20;

inline constexpr int kPictureWidth = 320;
inline constexpr int kPictureHeight = 240;
inline constexpr std::size_t kPictureRowBytes = kPictureWidth * 3;               // 960
inline constexpr std::size_t kPictureBytes = kPictureRowBytes * kPictureHeight;  // 230400
inline constexpr std::size_t kDoublePictureBytes = kPictureBytes * 4;            // 921600

}  // namespace kestrel
