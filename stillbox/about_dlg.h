#pragma once

#include "about_box.h"

namespace kestrel::stillbox {

// The About box of template 100. It has no behaviour of its own: its Close
// button and its close box end it.
class CAboutDlg : public CAboutBox {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace kestrel::stillbox
