#pragma once

#include "browser_dlg.h"

#include <QPointer>

#include <memory>

class CDesktopShellFileOps;
class CFileSaveDialog;
class CInstanceGuard;
class CLocalDirectorySearch;
class QApplication;

namespace kestrel {
class CKeyFilter;
class CLocalInstanceChannel;
}  // namespace kestrel

// The browser's application object: it owns the Qt application, the
// single-instance guard, the key filter, the platform services and, once
// created, the main window.
class CBrowserApp {
 public:
  CBrowserApp(int& argc, char** argv);
  ~CBrowserApp();
  CBrowserApp(const CBrowserApp&) = delete;
  CBrowserApp& operator=(const CBrowserApp&) = delete;

  // Start-up: false when another copy runs (it has been handed over to) and
  // this one is to end at once, when the command line names no usable folder
  // (the reason is printed), or when the window could not be created.
  bool InitInstance();
  // InitInstance, then the event loop until the main window is gone; the
  // exit status.
  int Run();

  CBrowserDlg* MainWindow() const { return m_mainWindow; }

 private:
  std::unique_ptr<QApplication> m_application;
  std::unique_ptr<kestrel::CKeyFilter> m_keyFilter;
  std::unique_ptr<kestrel::CLocalInstanceChannel> m_channel;
  std::unique_ptr<CInstanceGuard> m_guard;
  std::unique_ptr<CLocalDirectorySearch> m_search;
  std::unique_ptr<CDesktopShellFileOps> m_shell;
  std::unique_ptr<CFileSaveDialog> m_saveDialog;
  QPointer<CBrowserDlg> m_mainWindow;
  int m_exitStatus = 0;
};
