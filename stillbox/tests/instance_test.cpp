// The single-instance guard: what the first and a later copy do over the
// channel, and what the running copy does for a later one.
#include "browser_events.h"
#include "fake_instance_channel.h"
#include "instance_guard.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace kestrel::stillbox {

namespace {

using kestrel::IInstanceChannel;
using kestrel::testing::CFakeInstanceChannel;
using kestrel::testing::CFakeInstanceName;

// A top-level window that counts the refresh requests it receives.
class RefreshCounter : public QWidget {
 public:
  int refreshes = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == EventTypeForMessage(WM_REFRESH_FRAMES)) {
      ++refreshes;
      return true;
    }
    return QWidget::event(event);
  }
};

TEST(InstanceGuard, TheFirstCopyServesALaterCopysRefreshAndAnsweredCopiesEnd) {
  CFakeInstanceName name;
  RefreshCounter window;
  window.setWindowTitle("Kestrel Frames Browser");
  window.show();
  {
    CFakeInstanceChannel firstChannel(name);
    CInstanceGuard first(firstChannel);
    EXPECT_TRUE(first.Claim(WM_REFRESH_FRAMES));
    EXPECT_EQ(name.claimedAs, "Talvio Frames Browser SingleInstance Mutex");
    EXPECT_TRUE(first.HoldsName());

    CFakeInstanceChannel laterChannel(name);
    CInstanceGuard later(laterChannel);
    EXPECT_FALSE(later.Claim(WM_REFRESH_FRAMES)) << "a later copy ends";
    EXPECT_EQ(name.sent, std::vector<int>{0x464});
    EXPECT_EQ(window.refreshes, 1) << "the running copy refreshed before the later one went on";
    EXPECT_FALSE(later.HoldsName());
  }
  EXPECT_EQ(name.releases, 1) << "the name is given up when the first guard goes";
}

TEST(InstanceGuard, ACopyThatCannotExamineTheNameRunsUnguarded) {
  CFakeInstanceName name;
  name.unreadable = true;
  {
    CFakeInstanceChannel channel(name);
    CInstanceGuard guard(channel);
    EXPECT_TRUE(guard.Claim(WM_REFRESH_FRAMES));
    EXPECT_FALSE(guard.HoldsName());
  }
  EXPECT_EQ(name.releases, 0);
}

TEST(InstanceGuard, HandOverRestoresTheWindowTitledLikeTheBrowserAndRefreshesIt) {
  RefreshCounter window;
  window.setWindowTitle("Kestrel Frames Browser");
  window.showMinimized();
  ASSERT_TRUE(window.isMinimized());
  RefreshCounter other;
  other.setWindowTitle("Kestrel Frames Browser (old)");
  other.show();

  CInstanceGuard::HandOver(WM_REFRESH_FRAMES);
  EXPECT_FALSE(window.isMinimized());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.refreshes, 1) << "sent, so handled before HandOver returns";
  EXPECT_EQ(other.refreshes, 0) << "only an exact title counts";

  CInstanceGuard::HandOver(0);
  EXPECT_EQ(window.refreshes, 1) << "message 0 sends nothing";
}

}  // namespace

}  // namespace kestrel::stillbox
