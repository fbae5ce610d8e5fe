#include "instance_guard.h"

#include "browser_events.h"
#include "instance_channel.h"
#include "res/resource_ids.h"
#include "res/string_table.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace kestrel::stillbox {

using kestrel::IInstanceChannel;

CInstanceGuard::CInstanceGuard(IInstanceChannel& channel) : channel_(channel) {}

CInstanceGuard::~CInstanceGuard() {
  if (holdsName_) channel_.Release();
}

bool CInstanceGuard::Claim(int message) {
  const QString name = res::LoadString(res::IDS_INSTANCE_MUTEX);
  switch (channel_.Claim(name)) {
    case IInstanceChannel::ClaimResult::First:
      holdsName_ = channel_.Listen(message, [message] { HandOver(message); });
      return true;
    case IInstanceChannel::ClaimResult::Failed:
      return true;
    case IInstanceChannel::ClaimResult::AlreadyClaimed:
      // Whether or not the running copy answers, this copy ends silently.
      channel_.Send(message);
      return false;
  }
  return true;
}

QWidget* CInstanceGuard::FindRunningWindow() {
  const QString title = res::LoadString(res::IDS_WINDOW_TITLE);
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowTitle() == title) return widget;
  }
  return nullptr;
}

void CInstanceGuard::HandOver(int message) {
  QWidget* window = FindRunningWindow();
  if (!window) return;
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->showNormal();
  window->raise();
  window->activateWindow();
  if (message != 0) {
    QEvent event(EventTypeForMessage(message));
    QCoreApplication::sendEvent(window, &event);
  }
}

}  // namespace kestrel::stillbox
