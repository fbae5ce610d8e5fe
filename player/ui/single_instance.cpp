#include "single_instance.h"

#include <QApplication>
#include <QWidget>

#include "instance_channel.h"
#include "string_table.h"

namespace kestrel {

namespace {
constexpr int WM_CLOSE = 0x0010;
constexpr std::chrono::milliseconds kRetryStep{50};
}  // namespace

CSingleInstance::CSingleInstance(IInstanceChannel& channel, Sleep sleep)
    : channel_(channel), sleep_(std::move(sleep)), title_(LoadString(IDS_APP_TITLE)) {}

CSingleInstance::~CSingleInstance() {
  if (holdsName_) channel_.Release();
}

bool CSingleInstance::CloseRunningCopy() {
  const QString name = QString::fromLatin1(kName);
  IInstanceChannel::ClaimResult claim = channel_.Claim(name);
  if (claim == IInstanceChannel::ClaimResult::First) {
    Serve();
    return false;
  }
  if (claim == IInstanceChannel::ClaimResult::Failed) return false;  // runs unguarded

  const bool closed = channel_.Send(WM_CLOSE);
  if (closed) sleep_(kSettleTime);
  // The closed copy gives the name up as it ends; take it over, so that the
  // next copy finds and closes this one.
  for (std::chrono::milliseconds waited{0}; waited < kTakeOverTime; waited += kRetryStep) {
    claim = channel_.Claim(name);
    if (claim != IInstanceChannel::ClaimResult::AlreadyClaimed) break;
    sleep_(kRetryStep);
  }
  if (claim == IInstanceChannel::ClaimResult::First) Serve();
  return closed;
}

void CSingleInstance::Serve() {
  // A copy that cannot be reached gives the name up and runs unguarded.
  holdsName_ = channel_.Listen(WM_CLOSE, [title = title_] { CloseWindowTitled(title); });
}

void CSingleInstance::CloseWindowTitled(const QString& title) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    // Modal boxes carry the player's name as their caption too; the main
    // window is the one meant.
    if (!window->isVisible() || window->isModal() || !window->windowTitle().contains(title)) continue;
    // A modal box over it (a message, the About box) goes first, or its
    // loop would keep the program alive.
    while (QWidget* modal = QApplication::activeModalWidget()) {
      if (modal == window || !modal->close()) break;
    }
    window->close();
    return;
  }
}

}  // namespace kestrel
