#include "info_command.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "command_line.h"
#include "message_stats.h"
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

double Rounded(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(value * scale) / scale;
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

void PrintStatsJson(std::ostream& out, const std::string& path, const MessageStats& s) {
  QJsonObject json;
  const QByteArray bytes = QByteArray::fromStdString(path);
  QStringDecoder utf8(QStringDecoder::Utf8);
  json["file"] = QString(utf8.decode(bytes));
  if (utf8.hasError()) json["path_bytes"] = QString::fromLatin1(bytes.toPercentEncoding("/"));
  json["frame_rate"] = int(s.frameRate);
  json["audio_frame_count"] = static_cast<qint64>(s.audioFrameCount);
  json["duration_seconds"] = Rounded(s.DurationSeconds(), 2);
  json["audio_records"] = static_cast<qint64>(s.audioRecords);
  json["video_records"] = static_cast<qint64>(s.videoRecords);
  json["passed_over_bytes"] = static_cast<qint64>(s.passedOverBytes);
  json["oversize_records"] = static_cast<qint64>(s.oversizeRecords);
  json["cut_short_records"] = static_cast<qint64>(s.cutShortRecords);
  json["malformed_payloads"] = static_cast<qint64>(s.malformedPayloads);
  json["video_payload_bytes"] = QJsonObject{{"smallest", static_cast<qint64>(s.smallestPayload)},
                                            {"mean", Rounded(s.meanPayload, 1)},
                                            {"largest", static_cast<qint64>(s.largestPayload)}};
  json["count_matches_records"] = s.CountMatchesRecords();
  json["well_formed"] = s.WellFormed();
  out << QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString() << "\n";
}

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  if (auto status = ParseCommandLine(kInfo, args, parsed, out, err)) return *status;
  Reporter report(out, err, false);
  MessageInput message;
  if (const int status = message.Open(parsed.operands[0], report); status != kExitOk) return status;
  MessageStats stats;
  CollectStats(message, stats);
  if (parsed.Flag("json"))
    PrintStatsJson(report.Out(), parsed.operands[0], stats);
  else
    PrintStatsText(report.Out(), message.name, stats);
  return kExitOk;
}

}  // namespace kestrel::tool
