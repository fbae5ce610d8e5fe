#include "instance_request.h"

#include <algorithm>

namespace kestrel {

QByteArray InstanceRequestLine(int request) { return QByteArray::number(request) + '\n'; }

RequestVerdict JudgeRequest(QByteArrayView received, QByteArrayView expectedLine) {
  const QByteArrayView head = received.first(std::min(received.size(), kMaxInstanceRequestBytes));
  const qsizetype end = head.indexOf('\n');
  if (end < 0) return head.size() < kMaxInstanceRequestBytes ? RequestVerdict::Wait : RequestVerdict::HangUp;
  return head.first(end + 1) == expectedLine ? RequestVerdict::Handle : RequestVerdict::HangUp;
}

}  // namespace kestrel
