#include "about_dlg.h"

#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace kestrel::stillbox {

CAboutDlg::CAboutDlg(QWidget* parent)
    : CAboutBox(
          *res::FindDialogTemplate(res::IDD_ABOUTBOX),
          [](const DialogControl& control, qreal) { return res::LoadPicture(control.picture); },
          PicturePlacement::OwnSizeAtTopLeft, parent) {}

}  // namespace kestrel::stillbox
