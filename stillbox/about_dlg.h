#pragma once

#include <QDialog>

// The About box of template 100. It has no behaviour of its own: its Close
// button and its close box end it.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};
