#include <gtest/gtest.h>

#include <QString>

#include "detached_program_launcher.h"

namespace kestrel {
namespace {

TEST(DetachedProgramLauncher, StartsAProgramFromThePathAndFailsForOneThatIsNotThere) {
  CDetachedProgramLauncher launcher;
  EXPECT_TRUE(launcher.Start(QStringLiteral("true")));
  EXPECT_FALSE(launcher.Start(QStringLiteral("kestrel-no-such-volume-program")));
}

}  // namespace
}  // namespace kestrel
