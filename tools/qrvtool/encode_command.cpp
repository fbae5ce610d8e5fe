#include "encode_command.h"

#include <memory>

#include "audio_input.h"
#include "command_line.h"
#include "message_writer.h"
#include "ordered_work.h"
#include "picture_source.h"
#include "reporter.h"
#include "video_encoder.h"

namespace kestrel::tool {

namespace {

const CommandSpec kEncode = {
    "encode",
    "--audio=IN [--video=DIR|IN.y4m] [--fps=1-5] -o OUT.qrv [OPTION]...",
    "Records a message from any sound file libsndfile reads (mixed to mono and\n"
    "resampled to 8000 Hz as it is read) and, optionally, a folder of pictures\n"
    "(PNG, JPEG, BMP, in name order, one per picture) or a Y4M video (its frames\n"
    "repeated or dropped to the chosen rate), each scaled to 320 x 240. Inputs\n"
    "may be pipes. The message is written under a temporary name beside OUT and\n"
    "put in place when it is complete.",
    {{"audio", 0, "IN", "the sound (1000 to 768000 samples a second)"},
     {"video", 0, "IN", "a folder of pictures or a Y4M stream (8-bit, up to 8192 x 8192)"},
     {"fps", 0, "N", "pictures per second, 1 to 5 (default 5)"},
     {"output", 'o', "OUT", "the message file to write (not '-': its header is written last)"},
     ThreadsOption("encode pictures on N threads, one encoder each (default: one per core); the message is the "
                   "same with any number")},
    0,
    0,
    true,
    nullptr};

constexpr long kRecordMilliseconds = 200;

// One picture on its way through an encoder.
struct PictureJob {
  std::vector<std::uint8_t> picture;
  PictureSource::Finish finish;  // the rest of the picture's making, done by the encoder's thread
  std::vector<std::uint8_t> payload;
};

void EncodePicture(CVideoEncoder& encoder, PictureJob& job) {
  if (job.finish) job.finish(job.picture);
  job.payload = encoder.Encode(job.picture.data());
}

}  // namespace

int RunEncode(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  if (auto status = ParseCommandLine(kEncode, args, parsed, out, err)) return *status;
  const auto audioPath = parsed.Value("audio");
  const auto outPath = parsed.Value("output");
  if (!audioPath) return UsageError(kEncode, err, "--audio is missing");
  if (!outPath) return UsageError(kEncode, err, "-o is missing");
  if (*outPath == "-") return UsageError(kEncode, err, "-o needs a file: the header is completed last");
  if (*audioPath == "-" && parsed.Value("video") == "-")
    return UsageError(kEncode, err, "the sound and the pictures cannot both come from standard input");
  long fps = 5;
  if (auto text = parsed.Value("fps"); text && !ParseWholeNumber(*text, 1, 5, fps))
    return UsageError(kEncode, err, "--fps takes 1 to 5, not '" + *text + "'");
  unsigned threads = 1;
  if (auto status = ThreadsValue(kEncode, parsed, err, threads)) return *status;

  Reporter report(out, err, StderrIsTerminal() && !parsed.quiet);
  std::string why;
  AudioInput audio;
  if (const int status = audio.Open(*audioPath, &why); status != kExitOk) return report.Fail(status, why);
  std::vector<FileIdentity> inputs = {audio.Identity()};
  std::unique_ptr<PictureSource> pictures;
  if (const auto videoPath = parsed.Value("video")) {
    int status = kExitOk;
    pictures = OpenPictureSource(*videoPath, static_cast<int>(fps), status, &why);
    if (!pictures) return report.Fail(status, why);
    const auto more = pictures->Inputs();
    inputs.insert(inputs.end(), more.begin(), more.end());
  }
  if (const int status = CheckOutputs({{*outPath, false}}, inputs, parsed.noClobber, report); status != kExitOk)
    return status;

  // The first record of sound and the first picture are read before the
  // message is created, so that an empty input leaves nothing behind.
  std::vector<std::int16_t> sound(kSamplesPerAudioRecord);
  std::size_t got = 0;
  if (!audio.Read(sound.data(), sound.size(), got, &why)) return report.Fail(kExitBadInput, why);
  if (got == 0) return report.Fail(kExitBadInput, *audioPath, "no sound in the file");
  // The pictures are read ahead of the writing and encoded meanwhile, one
  // encoder per thread, two pictures in hand per encoder.
  std::vector<std::unique_ptr<CVideoEncoder>> encoders;
  std::vector<CVideoEncoder*> workers;
  for (unsigned i = 0; pictures && i < threads; ++i) {
    encoders.push_back(std::make_unique<CVideoEncoder>());
    workers.push_back(encoders.back().get());
  }
  OrderedWork<CVideoEncoder, PictureJob> encoding(workers, EncodePicture, 2 * workers.size());
  bool sourceEnded = !pictures;
  // Fills every free slot from the source; the status of the reading.
  auto readAhead = [&]() -> int {
    while (!sourceEnded && !encoding.Full()) {
      PictureJob& job = encoding.Next();
      if (const int status = pictures->Take(job.picture, job.finish, sourceEnded, &why); status != kExitOk)
        return status;
      if (!sourceEnded) encoding.Submit();
    }
    return kExitOk;
  };
  if (pictures) {
    if (const int status = readAhead(); status != kExitOk) return report.Fail(status, why);
    if (encoding.Empty()) return report.Fail(kExitBadInput, *parsed.Value("video"), "no frames");
  }

  MessageFileWriter writer;
  if (!writer.Open(*outPath, static_cast<std::uint8_t>(pictures ? fps : 0), parsed.noClobber, &why))
    return report.Fail(kExitIoError, why);
  AudioRecordEncoder encoder;
  if (!encoder.Ok()) return report.Fail(kExitIoError, "out of memory for the sound encoder");
  report.StartProgress("encoding");
  // Record j covers 200 j .. 200 j + 200 ms. Picture k is due at 1000 k / fps
  // ms and goes before the first record that starts at or after that time.
  // The sound is padded with silence to whole records and to the end of the
  // last picture.
  long long nextPicture = 0;
  bool soundEnded = got < sound.size();
  for (std::size_t j = 0;; ++j) {
    while (!encoding.Empty() && nextPicture * 1000 <= static_cast<long long>(j) * kRecordMilliseconds * fps) {
      const bool written = writer.WriteVideo(encoding.Oldest()->payload);
      encoding.Release();
      if (!written) break;
      ++nextPicture;
      if (const int status = readAhead(); status != kExitOk) return report.Fail(status, why);
    }
    // Reading ahead keeps a picture in hand until the source has ended.
    const bool picturesEnded = encoding.Empty();
    const bool picturesCovered =
        picturesEnded && static_cast<long long>(j) * kRecordMilliseconds * fps >= nextPicture * 1000;
    if (soundEnded && got == 0 && picturesCovered) break;
    if (j >= kMostAudioRecords)
      return report.Fail(kExitBadInput, "the message would be longer than a message file holds");
    std::fill(sound.begin() + static_cast<std::ptrdiff_t>(got), sound.end(), 0);
    if (!writer.WriteAudio(encoder.Encode(sound.data()))) break;
    got = 0;
    if (!soundEnded) {
      if (!audio.Read(sound.data(), sound.size(), got, &why)) return report.Fail(kExitBadInput, why);
      soundEnded = got < sound.size();
    }
    report.Progress(audio.Fraction());
  }
  if (!writer.Commit(&why)) return report.Fail(kExitIoError, why);
  report.CompleteProgress();
  if (!parsed.quiet)
    report.Out() << *outPath << ": " << writer.AudioRecords() * 10 * 0.02 << " s, " << writer.AudioRecords()
                 << " audio records, " << writer.VideoRecords() << " pictures\n";
  return kExitOk;
}

}  // namespace kestrel::tool
