#include "info_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "command_line.h"
#include "message_stats.h"
#include "qt_services.h"
#include "video_code_tables.h"

namespace kestrel::tool {

namespace {

const CommandSpec kInfo = {"info",
                           "FILE [OPTION]...",
                           "Prints the header fields of a message (FILE, or '-' for standard input), its\n"
                           "duration, the number of audio and video records and of passed-over bytes, the\n"
                           "sizes of the video payloads and whether the file is well formed.",
                           {{"json", 0, nullptr, "one JSON object instead of text"}},
                           1,
                           1,
                           false,
                           "In JSON, a file name that is not valid UTF-8 is given in \"file\" with U+FFFD\n"
                           "for each byte that does not decode, and exactly in \"path_bytes\",\n"
                           "percent-encoded (every byte but letters, digits, '-', '.', '_', '~' and '/'\n"
                           "as %XX).\n"};

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

void CollectStats(MessageInput& message, MessageStats& stats) {
  const VideoCodeTables tables = BuildVideoCodeTables();
  auto symbols = std::make_unique<VideoSymbols>();
  std::size_t payloadTotal = 0;
  ScanCallbacks callbacks;
  callbacks.onRecord = [&](const Record& record, const std::uint8_t* payload) {
    if (record.CutShort()) ++stats.cutShortRecords;
    switch (record.kind) {
      case RecordKind::Audio:
        ++stats.audioRecords;
        break;
      case RecordKind::PassedOver:
        ++stats.passedOverBytes;
        break;
      case RecordKind::OversizeVideo:
        ++stats.oversizeRecords;
        break;
      case RecordKind::Video: {
        const std::size_t size = record.bytesRead;
        stats.smallestPayload = stats.videoRecords == 0 ? size : std::min(stats.smallestPayload, size);
        stats.largestPayload = std::max(stats.largestPayload, size);
        payloadTotal += size;
        ++stats.videoRecords;
        if (!ParseVideoFrame(tables, payload, size, *symbols).WellFormed()) ++stats.malformedPayloads;
        break;
      }
      case RecordKind::EndOfData:
        break;
    }
  };
  ScanMessage(message, callbacks);
  stats.frameRate = message.file.FrameRate();
  stats.audioFrameCount = message.file.AudioFrameCount();
  if (stats.videoRecords)
    stats.meanPayload = static_cast<double>(payloadTotal) / static_cast<double>(stats.videoRecords);
}

void PrintStatsText(std::ostream& out, const std::string& name, const MessageStats& s) {
  out << "file:               " << name << "\n"
      << "frame rate:         " << int(s.frameRate) << (s.frameRate == 0 ? " (sound only)" : " pictures/s") << "\n"
      << "audio frame count:  " << s.audioFrameCount << "\n"
      << "duration:           " << Fixed(s.DurationSeconds(), 2) << " s\n"
      << "audio records:      " << s.audioRecords
      << (s.CountMatchesRecords() ? "" : " (the frame count expects ten frames per record)") << "\n"
      << "video records:      " << s.videoRecords << "\n"
      << "passed-over bytes:  " << s.passedOverBytes << "\n"
      << "oversize records:   " << s.oversizeRecords << "\n"
      << "cut-short records:  " << s.cutShortRecords << "\n"
      << "malformed payloads: " << s.malformedPayloads << "\n";
  if (s.videoRecords)
    out << "video payload:      smallest " << s.smallestPayload << ", mean " << Fixed(s.meanPayload, 1) << ", largest "
        << s.largestPayload << " bytes\n";
  out << "well formed:        " << (s.WellFormed() ? "yes" : "no") << "\n";
}

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  if (auto status = ParseCommandLine(kInfo, args, parsed, out, err)) return *status;
  Reporter report(out, err, false);
  // JSON is written with Qt's.
  const QtServices* qt = nullptr;
  if (std::string why; parsed.Flag("json") && !(qt = LoadQtServices(&why))) return report.Fail(kExitIoError, why);
  MessageInput message;
  if (const int status = message.Open(parsed.operands[0], report); status != kExitOk) return status;
  MessageStats stats;
  CollectStats(message, stats);
  if (qt)
    report.Out() << qt->statsJson(parsed.operands[0], stats) << "\n";
  else
    PrintStatsText(report.Out(), message.name, stats);
  return kExitOk;
}

}  // namespace kestrel::tool
