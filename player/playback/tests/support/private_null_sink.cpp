#include "private_null_sink.h"

#include <pulse/pulseaudio.h>
#include <unistd.h>

#include <atomic>
#include <utility>

namespace kestrel::testing {

namespace {

struct Call {
  pa_threaded_mainloop* loop = nullptr;
  std::uint32_t index = PA_INVALID_INDEX;
  bool done = false;
};

void OnState(pa_context*, void* call) { pa_threaded_mainloop_signal(static_cast<Call*>(call)->loop, 0); }

void OnIndex(pa_context*, std::uint32_t index, void* data) {
  auto* call = static_cast<Call*>(data);
  call->index = index;
  call->done = true;
  pa_threaded_mainloop_signal(call->loop, 0);
}

void OnSuccess(pa_context*, int, void* data) {
  auto* call = static_cast<Call*>(data);
  call->done = true;
  pa_threaded_mainloop_signal(call->loop, 0);
}

}  // namespace

std::uint32_t CPrivateNullSink::Command(const std::string& moduleArguments, std::uint32_t unloadIndex) {
  Call call;
  call.loop = pa_threaded_mainloop_new();
  pa_context* context = pa_context_new(pa_threaded_mainloop_get_api(call.loop), "kestrel test sink");
  pa_context_set_state_callback(context, &OnState, &call);
  pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
  pa_threaded_mainloop_start(call.loop);
  pa_threaded_mainloop_lock(call.loop);
  while (PA_CONTEXT_IS_GOOD(pa_context_get_state(context)) && pa_context_get_state(context) != PA_CONTEXT_READY) {
    pa_threaded_mainloop_wait(call.loop);
  }
  if (pa_context_get_state(context) == PA_CONTEXT_READY) {
    pa_operation* operation =
        unloadIndex == kNoModule
            ? pa_context_load_module(context, "module-null-sink", moduleArguments.c_str(), &OnIndex, &call)
            : pa_context_unload_module(context, unloadIndex, &OnSuccess, &call);
    if (operation) {
      while (!call.done && pa_operation_get_state(operation) == PA_OPERATION_RUNNING) {
        pa_threaded_mainloop_wait(call.loop);
      }
      pa_operation_unref(operation);
    }
  }
  pa_threaded_mainloop_unlock(call.loop);
  pa_threaded_mainloop_stop(call.loop);
  pa_context_disconnect(context);
  pa_context_unref(context);
  pa_threaded_mainloop_free(call.loop);
  return call.index == PA_INVALID_INDEX ? kNoModule : call.index;
}

CPrivateNullSink::CPrivateNullSink(std::string name) : name_(std::move(name)) {
  module_ = Command("sink_name=" + name_ + " rate=8000 channels=1 format=s16le", kNoModule);
}

CPrivateNullSink::~CPrivateNullSink() {
  if (Loaded()) Command(std::string(), module_);
}

std::string UniqueSinkName(const std::string& stem) {
  static std::atomic<int> serial{0};
  return stem + "_" + std::to_string(getpid()) + "_" + std::to_string(serial++);
}

}  // namespace kestrel::testing
