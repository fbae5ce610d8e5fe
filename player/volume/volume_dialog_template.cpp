#include "volume_dialog_template.h"

namespace kestrel {

namespace {
using K = VolumeControlKind;
constexpr VolumeControlTemplate kControls[] = {
    {IDC_DEVICE_NAME, K::CentredText, 7, 7, 153, 14, ""},
    {IDC_STATIC, K::Label, 7, 30, 71, 8, "Master Volume"},
    {IDC_STATIC, K::HorizontalRule, 7, 39, 72, 1, ""},
    {IDC_MASTER_SLIDER, K::VerticalSlider, 31, 42, 30, 69, ""},
    {IDC_MASTER_MUTE, K::CheckBox, 29, 113, 34, 10, "Mute"},
    {IDC_STATIC, K::VerticalRule, 83, 25, 1, 98, ""},
    {IDC_STATIC, K::Label, 89, 30, 71, 8, "Speakers Volume"},
    {IDC_STATIC, K::HorizontalRule, 89, 39, 71, 1, ""},
    {IDC_WAVE_SLIDER, K::VerticalSlider, 101, 42, 30, 69, ""},
    {IDC_LEVEL_METER, K::LevelMeter, 137, 47, 12, 60, ""},
    {IDC_WAVE_MUTE, K::CheckBox, 111, 113, 34, 10, "Mute"},
    {IDC_SYSTEM_VOLUME, K::PushButton, 28, 133, 112, 14, "System Volume Controls..."},
};
}  // namespace

std::span<const VolumeControlTemplate> VolumeDialogControls() { return kControls; }

}  // namespace kestrel
