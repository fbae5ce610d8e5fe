// The About box (template 100), shown modally from the Help menu; it ends
// through its "Close" button or its close box.
#pragma once

#include "about_box.h"

namespace kestrel {

class CAboutDlg : public CAboutBox {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace kestrel
