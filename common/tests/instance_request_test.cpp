// The holder's judgement of what a peer has sent so far: a request that
// arrives in pieces is waited for, and only the exact line is handled.
#include <gtest/gtest.h>

#include "instance_request.h"

namespace kestrel {
namespace {

TEST(InstanceRequestTest, TheExactLineIsHandledWhetherItArrivesWholeOrInPieces) {
  const QByteArray line = InstanceRequestLine(0x464);
  EXPECT_EQ(line, "1124\n");
  EXPECT_EQ(JudgeRequest("", line), RequestVerdict::Wait);
  EXPECT_EQ(JudgeRequest("11", line), RequestVerdict::Wait);
  EXPECT_EQ(JudgeRequest("1124", line), RequestVerdict::Wait);
  EXPECT_EQ(JudgeRequest("1124\n", line), RequestVerdict::Handle);
  // What follows the line is not looked at.
  EXPECT_EQ(JudgeRequest("1124\nmore", line), RequestVerdict::Handle);

  EXPECT_EQ(JudgeRequest("16\n", line), RequestVerdict::HangUp);
  EXPECT_EQ(JudgeRequest("-5\n", line), RequestVerdict::HangUp);
  EXPECT_EQ(JudgeRequest("01124\n", line), RequestVerdict::HangUp);
  EXPECT_EQ(JudgeRequest(QByteArray("1124\0\n", 6), line), RequestVerdict::HangUp);
  // Sixteen bytes without an end of line can no longer be the request.
  EXPECT_EQ(JudgeRequest(QByteArray(kMaxInstanceRequestBytes - 1, '1'), line), RequestVerdict::Wait);
  EXPECT_EQ(JudgeRequest(QByteArray(kMaxInstanceRequestBytes, '1'), line), RequestVerdict::HangUp);
  EXPECT_EQ(JudgeRequest(QByteArray(1 << 20, '1') + '\n', line), RequestVerdict::HangUp);
}

}  // namespace
}  // namespace kestrel
