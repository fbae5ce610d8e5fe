#include "private_pulse_server.h"

#include <fcntl.h>
#include <pulse/simple.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace kestrel::testing {

CPrivatePulseServer::CPrivatePulseServer() {
  char folder[] = "/tmp/kestrel-private-pulse.XXXXXX";
  if (mkdtemp(folder)) folder_ = folder;
  address_ = "unix:" + folder_ + "/native";
}

CPrivatePulseServer::~CPrivatePulseServer() {
  Kill();
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

bool CPrivatePulseServer::Start() {
  if (folder_.empty()) return false;
  Kill();
  // The server's own folders, so that it meets no other server.
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    const std::string variable = *entry;
    if (variable.rfind("PULSE_", 0) == 0) continue;
    environment.push_back(variable);
  }
  environment.push_back("PULSE_RUNTIME_PATH=" + folder_);
  environment.push_back("PULSE_STATE_PATH=" + folder_ + "/state");
  const std::vector<std::string> arguments = {
      "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
      "--log-target=file:" + folder_ + "/log",
      // The sink before the socket: a client that can connect finds it.
      "-L", std::string("module-null-sink sink_name=") + kSinkName + " rate=8000 channels=1 format=s16le", "-L",
      "module-native-protocol-unix socket=" + folder_ + "/native auth-anonymous=1"};
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int failed = posix_spawnp(&pid_, "pulseaudio", &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    pid_ = -1;
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Answers()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

bool CPrivatePulseServer::Answers() const {
  pa_sample_spec format{};
  format.format = PA_SAMPLE_S16LE;
  format.rate = 8000;
  format.channels = 1;
  int error = 0;
  pa_simple* probe = pa_simple_new(address_.c_str(), "kestrel probe", PA_STREAM_RECORD, Monitor().c_str(), "probe",
                                   &format, nullptr, nullptr, &error);
  if (!probe) return false;
  pa_simple_free(probe);
  return true;
}

void CPrivatePulseServer::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
  // Its socket stays behind; the next start makes a new one.
  std::error_code ignored;
  std::filesystem::remove(folder_ + "/native", ignored);
}

void CPrivatePulseServer::Freeze() {
  if (pid_ > 0) kill(pid_, SIGSTOP);
}

void CPrivatePulseServer::Thaw() {
  if (pid_ > 0) kill(pid_, SIGCONT);
}

}  // namespace kestrel::testing
