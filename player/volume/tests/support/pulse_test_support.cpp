#include "pulse_test_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>

namespace kestrel::testing {

std::string MissingSoundServer() {
  if (!std::getenv("PULSE_SERVER") || !std::getenv("KESTREL_TEST_SINK")) {
    return "PULSE_SERVER and KESTREL_TEST_SINK are not set: run these tests after sourcing "
           "scripts/test-services.sh, which starts the private sound server with its null sink";
  }
  return {};
}

std::string TestSink() {
  const char* sink = std::getenv("KESTREL_TEST_SINK");
  return sink ? sink : "";
}

std::optional<std::string> Pactl(const QStringList& arguments) {
  // Through the C library's popen rather than QProcess: ThreadSanitizer
  // follows its fork, not QProcess's clone. The arguments are the tests' own
  // names and numbers.
  std::string command = "pactl";
  for (const QString& argument : arguments) command += " '" + argument.toStdString() + "'";
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string output;
  char chunk[4096];
  while (const std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, got);
  if (pclose(pipe) != 0) return std::nullopt;
  return output;
}

namespace {

// "Volume: mono: 32768 /  50% / -18.06 dB": the first raw value.
std::optional<std::uint32_t> FirstVolume(const std::string& text) {
  static const std::regex kVolume(R"(Volume:\s*[^:\n]+:\s*(\d+)\s*/)");
  std::smatch match;
  if (!std::regex_search(text, match, kVolume)) return std::nullopt;
  return static_cast<std::uint32_t>(std::stoul(match[1]));
}

std::optional<bool> MuteOf(const std::string& text) {
  static const std::regex kMute(R"(Mute:\s*(yes|no))");
  std::smatch match;
  if (!std::regex_search(text, match, kMute)) return std::nullopt;
  return match[1] == "yes";
}

}  // namespace

std::optional<std::uint32_t> SinkVolume() {
  const auto text = Pactl({"get-sink-volume", QString::fromStdString(TestSink())});
  return text ? FirstVolume(*text) : std::nullopt;
}

std::optional<bool> SinkMute() {
  const auto text = Pactl({"get-sink-mute", QString::fromStdString(TestSink())});
  return text ? MuteOf(*text) : std::nullopt;
}

bool SetSinkVolume(std::uint32_t serverVolume) {
  return Pactl({"set-sink-volume", QString::fromStdString(TestSink()), QString::number(serverVolume)}).has_value();
}

bool SetSinkMute(bool mute) {
  return Pactl({"set-sink-mute", QString::fromStdString(TestSink()), mute ? "1" : "0"}).has_value();
}

namespace {

// The blocks of `pactl list WHAT` ("sink-inputs", "source-outputs") that
// belong to this process; each starts with `header` and its index.
std::vector<std::string> OwnBlocks(const QString& what, const std::string& header) {
  std::vector<std::string> blocks;
  const auto text = Pactl({"list", what});
  if (!text) return blocks;
  const std::string pid = "application.process.id = \"" + std::to_string(getpid()) + "\"";
  std::size_t at = text->find(header);
  while (at != std::string::npos) {
    const std::size_t next = text->find(header, at + 1);
    const std::string block = text->substr(at, next == std::string::npos ? std::string::npos : next - at);
    if (block.find(pid) != std::string::npos) blocks.push_back(block.substr(header.size()));
    at = next;
  }
  return blocks;
}

}  // namespace

std::vector<SinkInput> OwnSinkInputs() {
  std::vector<SinkInput> inputs;
  for (const std::string& block : OwnBlocks("sink-inputs", "Sink Input #")) {
    SinkInput input;
    input.index = static_cast<std::uint32_t>(std::stoul(block));
    input.volume = FirstVolume(block).value_or(0);
    input.mute = MuteOf(block).value_or(false);
    inputs.push_back(input);
  }
  return inputs;
}

std::size_t OwnRecordStreams() { return OwnBlocks("source-outputs", "Source Output #").size(); }

}  // namespace kestrel::testing
