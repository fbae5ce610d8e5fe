#pragma once

#include "browser_dlg.h"

#include <QPointer>

#include <memory>

class QApplication;

namespace kestrel {
class CKeyFilter;
class CLocalInstanceChannel;
}  // namespace kestrel

namespace kestrel::stillbox {

class CDesktopShellFileOps;
class CFileSaveDialog;
class CInstanceGuard;
class CLocalDirectorySearch;

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

  CBrowserDlg* MainWindow() const { return mainWindow_; }

 private:
  std::unique_ptr<QApplication> application_;
  std::unique_ptr<kestrel::CKeyFilter> keyFilter_;
  std::unique_ptr<kestrel::CLocalInstanceChannel> channel_;
  std::unique_ptr<CInstanceGuard> guard_;
  std::unique_ptr<CLocalDirectorySearch> search_;
  std::unique_ptr<CDesktopShellFileOps> shell_;
  std::unique_ptr<CFileSaveDialog> saveDialog_;
  QPointer<CBrowserDlg> mainWindow_;
  int exitStatus_ = 0;
};

}  // namespace kestrel::stillbox
