// The bytes a peer sends to the holder of a single-instance name, as they
// arrive in pieces, judged against each program's request: the player's
// WM_CLOSE and stillbox's WM_REFRESH_FRAMES.
//
// The first input byte says where the bytes are cut into two arrivals. The
// holder waits only while its buffer is short and holds no end of line,
// handles only its own line, and never changes its mind once it has decided.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QByteArrayView>

#include "instance_request.h"

using namespace kestrel;

namespace {

constexpr int kPlayerRequest = 0x0010;   // WM_CLOSE
constexpr int kBrowserRequest = 0x0464;  // WM_REFRESH_FRAMES

void Check(QByteArrayView received, const QByteArray& line, qsizetype cut) {
  // What the holder buffers: never more than the longest request.
  const QByteArrayView buffered = received.first(std::min(received.size(), kMaxInstanceRequestBytes));
  const RequestVerdict whole = JudgeRequest(buffered, line);
  const RequestVerdict first = JudgeRequest(buffered.first(std::min(cut, buffered.size())), line);
  if (first != RequestVerdict::Wait && first != whole) std::abort();
  const qsizetype end = buffered.indexOf('\n');
  switch (whole) {
    case RequestVerdict::Wait:
      if (end >= 0 || buffered.size() >= kMaxInstanceRequestBytes) std::abort();
      break;
    case RequestVerdict::Handle:
      if (!received.startsWith(line)) std::abort();
      break;
    case RequestVerdict::HangUp:
      if (received.startsWith(line) || (end < 0 && buffered.size() < kMaxInstanceRequestBytes)) std::abort();
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const qsizetype cut = data[0];
  const QByteArrayView received(data + 1, static_cast<qsizetype>(size - 1));
  for (int request : {kPlayerRequest, kBrowserRequest}) Check(received, InstanceRequestLine(request), cut);
  return 0;
}
