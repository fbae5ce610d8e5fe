// Dialog template 137, the volume controls dialog: its size, title and
// controls in dialog units.
#pragma once

#include <span>

namespace kestrel {

inline constexpr int IDD_VOLUME_DIALOG = 137;
inline constexpr int IDC_SYSTEM_VOLUME = 1136;
inline constexpr int IDC_MASTER_SLIDER = 1139;
inline constexpr int IDC_MASTER_MUTE = 1140;
inline constexpr int IDC_WAVE_SLIDER = 1143;
inline constexpr int IDC_WAVE_MUTE = 1144;
inline constexpr int IDC_LEVEL_METER = 1145;
inline constexpr int IDC_DEVICE_NAME = 1158;
inline constexpr int IDC_STATIC = -1;

enum class VolumeControlKind {
  CentredText,     // static, centred horizontally and vertically
  Label,           // static, centred horizontally
  HorizontalRule,  // etched line
  VerticalRule,    // etched line
  VerticalSlider,  // trackbar, tick marks on both sides, tab stop
  CheckBox,        // automatic
  LevelMeter,      // sunken static painted by CLevelMeter
  PushButton,
};

struct VolumeControlTemplate {
  int id;
  VolumeControlKind kind;
  int x, y, width, height;
  const char* text;
};

inline constexpr const char* kVolumeDialogTitle = "Audio Volume Controls";
inline constexpr int kVolumeDialogWidth = 167;
inline constexpr int kVolumeDialogHeight = 154;

std::span<const VolumeControlTemplate> VolumeDialogControls();

}  // namespace kestrel
