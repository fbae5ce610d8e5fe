#include "playback_panel_template.h"

namespace kestrel {

namespace {
constexpr ControlTemplate kControls[] = {
    {IDC_PROGRESS, ControlKind::ProgressBar, 4, 4, 223, 11, ""},
    {IDC_DISPLAY_FRAME, ControlKind::Frame, 4, 16, 223, 157, ""},
    {IDC_TOTAL_CAPTION, ControlKind::Caption, 4, 177, 22, 10, "Total:"},
    {IDC_TOTAL_TIME, ControlKind::Value, 30, 177, 69, 10, ""},
    {IDC_CURRENT_CAPTION, ControlKind::Caption, 125, 177, 28, 10, "Current:"},
    {IDC_CURRENT_TIME, ControlKind::Value, 158, 177, 69, 10, ""},
};
}  // namespace

std::span<const ControlTemplate> PlaybackPanelControls() { return kControls; }

}  // namespace kestrel
