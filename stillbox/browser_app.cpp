#include "browser_app.h"

#include "browser_dlg.h"
#include "browser_events.h"
#include "instance_guard.h"
#include "key_filter.h"
#include "local_instance_channel.h"
#include "platform/desktop_shell_file_ops.h"
#include "platform/file_save_dialog.h"
#include "platform/local_directory_search.h"
#include "res/version_info.h"
#include "start_folder.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace kestrel::stillbox {

CBrowserApp::CBrowserApp(int& argc, char** argv) : application_(std::make_unique<QApplication>(argc, argv)) {
  QCoreApplication::setOrganizationName(QLatin1String(res::kCompanyName));
  QCoreApplication::setApplicationName(QStringLiteral("stillbox"));
  QCoreApplication::setApplicationVersion(QLatin1String(res::kDottedVersion));
  // Desktop shells match the windows to the installed entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("kestrel-stillbox"));
  keyFilter_ = std::make_unique<kestrel::CKeyFilter>();
  application_->installEventFilter(keyFilter_.get());
  channel_ = std::make_unique<kestrel::CLocalInstanceChannel>();
  guard_ = std::make_unique<CInstanceGuard>(*channel_);
}

CBrowserApp::~CBrowserApp() {
  // The window goes before the services it uses, the guard last.
  delete mainWindow_.data();
  saveDialog_.reset();
  shell_.reset();
  search_.reset();
  guard_.reset();
  channel_.reset();
  application_->removeEventFilter(keyFilter_.get());
}

bool CBrowserApp::InitInstance() {
  // The frames directory is chosen once: the folder the command line names,
  // or where the program was started. A folder that cannot be used is
  // refused before any running copy is disturbed.
  const StartFolder start = ChooseStartFolder(QCoreApplication::arguments(), QDir::currentPath());
  if (!start.error.isEmpty()) {
    std::fprintf(stderr, "stillbox: %s\n", start.error.toLocal8Bit().constData());
    exitStatus_ = start.exitStatus;
    return false;
  }
  const QString startDirectory = start.directory;

  if (!guard_->Claim(WM_REFRESH_FRAMES)) return false;

  search_ = std::make_unique<CLocalDirectorySearch>();
  shell_ = std::make_unique<CDesktopShellFileOps>();
  saveDialog_ = std::make_unique<CFileSaveDialog>(startDirectory);
  mainWindow_ = new CBrowserDlg(BrowserServices{*search_, *shell_, *saveDialog_}, startDirectory);
  if (!mainWindow_) return false;
  mainWindow_->show();
  mainWindow_->repaint();
  return true;
}

int CBrowserApp::Run() {
  if (!InitInstance()) return exitStatus_;
  return QApplication::exec();
}

}  // namespace kestrel::stillbox
