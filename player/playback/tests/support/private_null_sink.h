// A null sink of the test's own on the sound server, so that what it plays
// and records does not meet the sound of other tests running at the same
// time. Unloaded again when destroyed.
#pragma once

#include <cstdint>
#include <string>

namespace kestrel::testing {

class CPrivateNullSink {
 public:
  // Loads an 8000 Hz mono 16-bit null sink named `name` on the server of
  // PULSE_SERVER; Loaded() tells whether that worked.
  explicit CPrivateNullSink(std::string name);
  ~CPrivateNullSink();
  CPrivateNullSink(const CPrivateNullSink&) = delete;
  CPrivateNullSink& operator=(const CPrivateNullSink&) = delete;

  bool Loaded() const { return module_ != kNoModule; }
  const std::string& Name() const { return name_; }
  std::string Monitor() const { return name_ + ".monitor"; }

 private:
  static constexpr std::uint32_t kNoModule = 0xFFFFFFFFu;
  // Runs one module command on a short-lived connection.
  static std::uint32_t Command(const std::string& moduleArguments, std::uint32_t unloadIndex);

  std::string name_;
  std::uint32_t module_ = kNoModule;
};

// A sink name no other running test uses.
std::string UniqueSinkName(const std::string& stem);

}  // namespace kestrel::testing
