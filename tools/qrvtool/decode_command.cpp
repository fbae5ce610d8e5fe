#include "decode_command.h"

#include "command_line.h"
#include "decode_outputs.h"
#include "message_scan.h"

namespace kestrel::tool {

namespace {

const CommandSpec kDecode = {
    "decode",
    "FILE [OPTION]...",
    "Decodes the sound (8000 Hz, mono, 16-bit) and every picture of a message\n"
    "(FILE, or '-' for standard input), in file order, as the player does.\n"
    "Every output may be '-' for standard output (only one of them).",
    {{"pcm", 0, "OUT", "raw 16-bit little-endian samples"},
     {"bgr", 0, "OUT", "raw pictures as decoded: 320 x 240, B G R, bottom row first"},
     {"wav", 0, "OUT", "the sound as WAV (a streaming header on a pipe)"},
     {"png", 0, "DIR", "each picture as DIR/frame-00001.png, ... (not '-')"},
     {"y4m", 0, "OUT", "the pictures as a YUV4MPEG2 stream"},
     {"md5", 0, nullptr, "print 'pcm md5 HEX' and 'bgr md5 HEX' of the raw sound and pictures"},
     {"verify", 0, "DIGESTS",
      "compare with DIGESTS ('PCM:BGR' in hex, or a file holding the --md5 lines); exit status 3 and a line for "
      "each that differs"},
     ThreadsOption("decode pictures on N threads, one decoder each (default: one per core); the output is the same "
                   "with any number")},
    1,
    1,
    true,
    "Outputs are written under temporary names beside their targets and put in\n"
    "place only when the whole message has been decoded.\n"};

}  // namespace

int DecodeMessage(MessageInput& message, const DecodeRequest& request, Reporter& report) {
  std::vector<OutputTarget> targets;
  for (const auto* target : {&request.pcm, &request.bgr, &request.wav, &request.y4m})
    if (*target) targets.push_back({**target, false});
  if (request.png) targets.push_back({*request.png, true});
  if (const int status = CheckOutputs(targets, {message.identity}, request.noClobber, report); status != kExitOk)
    return status;

  DecodeOutputs outputs;
  std::string why;
  if (!outputs.Open(request, message.file.FrameRate(), &why)) return report.Fail(kExitIoError, why);
  report.StartProgress("decoding");
  ScanCallbacks callbacks;
  callbacks.onAudioFrame = [&](const std::int16_t* samples) { outputs.Samples(samples); };
  if (outputs.WantsPictures()) {
    callbacks.preparePicture = [&outputs](const std::uint8_t* picture, std::vector<std::uint8_t>& prepared) {
      outputs.Prepare(picture, prepared);
    };
    callbacks.onPicture = [&](const std::uint8_t* picture, const PayloadCheck&,
                              const std::vector<std::uint8_t>& prepared) { outputs.Picture(picture, prepared); };
  }
  callbacks.onProgress = [&](double fraction) { report.Progress(fraction); };
  // A failed output ends the work: nothing of it will be kept.
  callbacks.done = [&] { return outputs.Failed(); };
  if (ScanMessage(message, callbacks, request.threads).decoderFailed)
    return report.Fail(kExitIoError, "out of memory for the decoders");
  if (const int status = outputs.Commit(message.identity, &why); status != kExitOk) return report.Fail(status, why);
  report.CompleteProgress();

  const std::string pcm = outputs.PcmDigest(), bgr = outputs.BgrDigest();
  if (request.md5)
    report.Out() << "pcm md5 " << pcm << "\n"
                 << "bgr md5 " << bgr << "\n";
  if (!request.verify) return kExitOk;
  int status = kExitOk;
  if (pcm != request.verify->pcm)
    status =
        report.Fail(kExitDigestsDiffer, message.name, "pcm md5 differs: " + pcm + ", expected " + request.verify->pcm);
  if (bgr != request.verify->bgr)
    status =
        report.Fail(kExitDigestsDiffer, message.name, "bgr md5 differs: " + bgr + ", expected " + request.verify->bgr);
  return status;
}

int RunDecode(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  if (auto status = ParseCommandLine(kDecode, args, parsed, out, err)) return *status;
  DecodeRequest request;
  request.pcm = parsed.Value("pcm");
  request.bgr = parsed.Value("bgr");
  request.wav = parsed.Value("wav");
  request.png = parsed.Value("png");
  request.y4m = parsed.Value("y4m");
  request.md5 = parsed.Flag("md5");
  request.noClobber = parsed.noClobber;
  if (auto status = ThreadsValue(kDecode, parsed, err, request.threads)) return *status;
  if (request.png == "-") return UsageError(kDecode, err, "--png writes a folder of pictures; it cannot be '-'");
  const bool toStandardOutput = request.pcm == "-" || request.bgr == "-" || request.wav == "-" || request.y4m == "-";
  if (request.md5 && toStandardOutput)
    return UsageError(kDecode, err, "--md5 prints on standard output, which already carries an output");
  const std::string& path = parsed.operands[0];

  Reporter report(out, err, StderrIsTerminal() && !parsed.quiet);
  if (auto digests = parsed.Value("verify")) {
    DecodedDigests expected;
    std::string why;
    if (const int status = ReadExpectedDigests(*digests, expected, &why); status != kExitOk) {
      if (status == kExitBadInput) return UsageError(kDecode, err, why);
      return report.Fail(status, why);
    }
    request.verify = expected;
  }
  MessageInput message;
  if (const int status = message.Open(path, report); status != kExitOk) return status;
  return DecodeMessage(message, request, report);
}

}  // namespace kestrel::tool
