// What qrvtool does with Qt's image and JSON code: reading picture files,
// scaling pictures, writing JSON. Mapping and linking Qt's libraries takes
// longer than decoding a short message, so this code is a module of its own
// (libqrvtool-qt.so), loaded by the commands that need it the first time they
// do: decode and export never map Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "message_stats.h"

namespace kestrel::tool {

struct ScaledPicture {
  std::vector<std::uint8_t> rgb;  // upright R, G, B rows without padding
  int width = 0, height = 0;
};

struct QtServices {
  // A PNG, JPEG or BMP file (its format found from its content, turned as
  // its orientation says) fitted as fitToPicture fits; false with the
  // reader's reason.
  bool (*pictureFromFile)(const std::uint8_t* bytes, std::size_t size, std::vector<std::uint8_t>& picture,
                          std::string& why);
  // Upright R, G, B (any size) scaled to fit 320 x 240 keeping its aspect,
  // centred on black, in the decoded-picture layout.
  std::vector<std::uint8_t> (*fitToPicture)(const std::uint8_t* rgb, int width, int height);
  // Upright R, G, B scaled smoothly to fit `size` x `size`, keeping its aspect.
  ScaledPicture (*scaleToFit)(const std::uint8_t* rgb, int width, int height, int size);
  // The statistics of the message at `path` as one compact JSON object,
  // valid whatever bytes `path` holds: a name that is not UTF-8 is given as
  // "file" with U+FFFD for each undecodable byte and, exactly, as
  // "path_bytes", percent-encoded.
  std::string (*statsJson)(const std::string& path, const MessageStats& stats);
};

// The module's services, loaded on the first call; null, with the reason,
// when the module cannot be loaded.
const QtServices* LoadQtServices(std::string* why);

}  // namespace kestrel::tool

// The module's one entry point.
// NOLINTNEXTLINE(readability-identifier-naming): a C symbol, looked up by this name.
extern "C" const void* kestrel_qrvtool_qt_services();
