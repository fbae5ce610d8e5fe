#include "encode_command.h"

#include <algorithm>
#include <memory>

#include "audio_input.h"
#include "command_line.h"
#include "message_writer.h"
#include "picture_source.h"
#include "progress.h"
#include "video_encoder.h"

namespace kestrel::tool {

namespace {

constexpr const char* kUsage = "usage: qrvtool encode --audio IN [--video DIR|IN.y4m] [--fps 1-5] -o OUT.qrv";
constexpr int kRecordMilliseconds = 200;

int Fail(std::ostream& err, int status, const std::string& why) {
  err << "qrvtool: " << why << "\n";
  return status;
}

}  // namespace

int RunEncode(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--audio", "--video", "--fps", "-o"}, {});
  const auto audioPath = parsed.Value("--audio");
  const auto outPath = parsed.Value("-o");
  if (!parsed.error.empty() || !parsed.positional.empty() || !audioPath || !outPath) {
    err << kUsage << (parsed.error.empty() ? "" : " (" + parsed.error + ")") << "\n";
    return kExitBadInput;
  }
  int fps = 5;
  if (auto text = parsed.Value("--fps")) {
    fps = std::atoi(text->c_str());
    if (*text != std::to_string(fps) || fps < 1 || fps > 5) return Fail(err, kExitBadInput, "--fps takes 1 to 5");
  }

  std::vector<std::int16_t> samples;
  std::string why;
  if (!LoadAudioAt8k(*audioPath, samples, &why)) return Fail(err, kExitBadInput, why);
  if (samples.empty()) return Fail(err, kExitBadInput, *audioPath + ": no sound in the file");

  std::unique_ptr<PictureSource> pictures;
  const auto videoPath = parsed.Value("--video");
  if (videoPath) {
    pictures = OpenPictureSource(*videoPath, fps, &why);
    if (!pictures) return Fail(err, kExitBadInput, why);
  }
  const int pictureCount = pictures ? pictures->Count() : 0;

  // Record j covers 200 j .. 200 j + 200 ms; the sound is padded with silence
  // to whole records and to the end of the last picture.
  std::size_t records = (samples.size() + kSamplesPerAudioRecord - 1) / kSamplesPerAudioRecord;
  if (pictures) records = std::max<std::size_t>(records, (pictureCount * 1000 / fps + kRecordMilliseconds - 1) / kRecordMilliseconds);
  samples.resize(records * kSamplesPerAudioRecord, 0);

  MessageFileWriter writer;
  if (!writer.Open(*outPath, static_cast<std::uint8_t>(pictures ? fps : 0), &why)) return Fail(err, kExitIoError, why);
  AudioRecordEncoder audio;
  if (!audio.Ok()) return Fail(err, kExitIoError, "out of memory for the sound encoder");
  CVideoEncoder video;
  Progress progress(err, "encoding", StderrIsTerminal());
  std::vector<std::uint8_t> picture;
  int nextPicture = 0;
  for (std::size_t j = 0; j < records; ++j) {
    // Picture k is due at 1000 k / fps ms and goes before the first record
    // that starts at or after that time.
    while (nextPicture < pictureCount && std::size_t(nextPicture) * 1000 <= j * kRecordMilliseconds * fps) {
      if (!pictures->Picture(nextPicture, picture, &why)) return Fail(err, kExitBadInput, why);
      if (!writer.WriteVideo(video.Encode(picture.data()))) return Fail(err, kExitIoError, *outPath + ": write failed");
      ++nextPicture;
    }
    if (!writer.WriteAudio(audio.Encode(samples.data() + j * kSamplesPerAudioRecord)))
      return Fail(err, kExitIoError, *outPath + ": write failed");
    progress.Update(double(j + 1) / double(records));
  }
  if (!writer.Commit(&why)) return Fail(err, kExitIoError, why);
  out << *outPath << ": " << records * 10 * 0.02 << " s, " << writer.AudioRecords() << " audio records, "
      << writer.VideoRecords() << " pictures\n";
  return kExitOk;
}

}  // namespace kestrel::tool
