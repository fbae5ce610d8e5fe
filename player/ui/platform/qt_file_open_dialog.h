#pragma once

#include "file_open_dialog.h"

namespace kestrel {

// Qt's file dialog, the desktop's own where the platform theme offers one.
class CQtFileOpenDialog final : public IFileOpenDialog {
 public:
  std::optional<QString> Ask(QWidget* owner, const FileOpenRequest& request) override;
};

}  // namespace kestrel
