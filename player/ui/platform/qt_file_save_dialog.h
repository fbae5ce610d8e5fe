#pragma once

#include "file_save_dialog.h"

namespace kestrel {

// Qt's file dialog in its save form, the desktop's own where the platform
// theme offers one.
class CQtFileSaveDialog final : public IFileSaveDialog {
 public:
  std::optional<QString> Ask(QWidget* owner, const FileSaveRequest& request) override;
};

}  // namespace kestrel
