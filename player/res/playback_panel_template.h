// Dialog template 136, the playback panel: its size and controls in dialog units.
#pragma once

#include <span>

namespace kestrel {

inline constexpr int IDD_PLAYBACK_PANEL = 136;
inline constexpr int IDC_PROGRESS = 1005;
inline constexpr int IDC_DISPLAY_FRAME = 1006;
inline constexpr int IDC_TOTAL_CAPTION = 1007;
inline constexpr int IDC_TOTAL_TIME = 1008;
inline constexpr int IDC_CURRENT_CAPTION = 1010;
inline constexpr int IDC_CURRENT_TIME = 1011;

enum class ControlKind {
  ProgressBar,  // bordered and sunken
  Frame,        // static, bordered and sunken
  Caption,      // static text, vertically centred
  Value,        // static text, sunken, right-aligned, vertically centred
};

struct ControlTemplate {
  int id;
  ControlKind kind;
  int x, y, width, height;
  const char* text;
};

inline constexpr int kPlaybackPanelWidth = 231;
inline constexpr int kPlaybackPanelHeight = 192;

std::span<const ControlTemplate> PlaybackPanelControls();

}  // namespace kestrel
