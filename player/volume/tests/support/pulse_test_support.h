// What the tests against the private sound server need: the server's own
// view of the test sink and of this process's playback streams, through
// pactl.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QStringList>

namespace kestrel::testing {

// Empty when the test services are running; otherwise why the test cannot run.
std::string MissingSoundServer();

#define REQUIRE_TEST_SOUND_SERVER()                                       \
  do {                                                                    \
    const std::string missing = ::kestrel::testing::MissingSoundServer(); \
    if (!missing.empty()) FAIL() << missing;                              \
  } while (0)

std::string TestSink();
// Runs pactl with `arguments`; its standard output, or nothing when it failed.
std::optional<std::string> Pactl(const QStringList& arguments);

// The test sink's volume (the server's value of its first channel) and mute.
std::optional<std::uint32_t> SinkVolume();
std::optional<bool> SinkMute();
bool SetSinkVolume(std::uint32_t serverVolume);
bool SetSinkMute(bool mute);

struct SinkInput {
  std::uint32_t index = 0;
  std::uint32_t volume = 0;
  bool mute = false;
};
// The playback streams of this process, as `pactl list sink-inputs` shows them.
std::vector<SinkInput> OwnSinkInputs();
// The record streams of this process, as `pactl list source-outputs` shows them.
std::size_t OwnRecordStreams();

}  // namespace kestrel::testing
