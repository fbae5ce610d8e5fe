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

#include <QApplication>
#include <QDir>

CBrowserApp::CBrowserApp(int& argc, char** argv)
    : m_application(std::make_unique<QApplication>(argc, argv)) {
  QCoreApplication::setOrganizationName(QLatin1String(res::kCompanyName));
  QCoreApplication::setApplicationName(QStringLiteral("stillbox"));
  QCoreApplication::setApplicationVersion(QLatin1String(res::kDottedVersion));
  m_keyFilter = std::make_unique<kestrel::CKeyFilter>();
  m_application->installEventFilter(m_keyFilter.get());
  m_channel = std::make_unique<kestrel::CLocalInstanceChannel>();
  m_guard = std::make_unique<CInstanceGuard>(*m_channel);
}

CBrowserApp::~CBrowserApp() {
  // The window goes before the services it uses, the guard last.
  delete m_mainWindow.data();
  m_saveDialog.reset();
  m_shell.reset();
  m_search.reset();
  m_guard.reset();
  m_channel.reset();
  m_application->removeEventFilter(m_keyFilter.get());
}

bool CBrowserApp::InitInstance() {
  if (!m_guard->Claim(WM_REFRESH_FRAMES)) return false;

  // The frames directory is taken from where the program was started, once.
  const QString startDirectory = QDir::currentPath();
  m_search = std::make_unique<CLocalDirectorySearch>();
  m_shell = std::make_unique<CDesktopShellFileOps>();
  m_saveDialog = std::make_unique<CFileSaveDialog>(startDirectory);
  m_mainWindow = new CBrowserDlg(BrowserServices{*m_search, *m_shell, *m_saveDialog}, startDirectory);
  if (!m_mainWindow) return false;
  m_mainWindow->show();
  m_mainWindow->repaint();
  return true;
}

int CBrowserApp::Run() {
  if (!InitInstance()) return 0;
  return QApplication::exec();
}
