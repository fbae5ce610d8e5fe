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

CBrowserApp::CBrowserApp(int& argc, char** argv) : m_application(std::make_unique<QApplication>(argc, argv)) {
  QCoreApplication::setOrganizationName(QLatin1String(res::kCompanyName));
  QCoreApplication::setApplicationName(QStringLiteral("stillbox"));
  QCoreApplication::setApplicationVersion(QLatin1String(res::kDottedVersion));
  // Desktop shells match the windows to the installed entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("kestrel-stillbox"));
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
  // The frames directory is chosen once: the folder the command line names,
  // or where the program was started. A folder that cannot be used is
  // refused before any running copy is disturbed.
  const StartFolder start = ChooseStartFolder(QCoreApplication::arguments(), QDir::currentPath());
  if (!start.error.isEmpty()) {
    std::fprintf(stderr, "stillbox: %s\n", start.error.toLocal8Bit().constData());
    m_exitStatus = start.exitStatus;
    return false;
  }
  const QString startDirectory = start.directory;

  if (!m_guard->Claim(WM_REFRESH_FRAMES)) return false;

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
  if (!InitInstance()) return m_exitStatus;
  return QApplication::exec();
}
