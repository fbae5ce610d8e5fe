#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

// Bitmap files made byte by byte, for the tests and the demo folder: sound
// ones in the storages the browser reads, and damaged ones of every kind it
// must leave out.
namespace kestrel::stillbox::forge {

// A bitmap file of the given header fields, with `extra` (palette, or the
// bit-field masks) after the 40-byte header and then the pixel data.
QByteArray Bitmap(int width, int height, int bits, quint32 compression, int paletteEntries, const QByteArray& extra,
                  const QByteArray& pixels);
// A 24-bit bitmap of picture, bottom row first.
QByteArray Rgb24(const QImage& picture);
// An 8-bit bitmap with a palette of 256 grey levels (index i is grey i),
// run-length encoded: each row as runs of equal indices, then the end-of-line
// mark, and the end-of-bitmap mark after the last row.
QByteArray Rle8(const std::vector<std::uint8_t>& indices, int width, int height);

// The first `keep` bytes of file.
QByteArray Truncated(const QByteArray& file, qsizetype keep);
// file with other dimensions in its header; the pixels stay as they are.
QByteArray WithDeclaredSize(QByteArray file, int width, int height);
// file with bit `bit` of its first 54 bytes inverted.
QByteArray WithFlippedHeaderBit(QByteArray file, int bit);
// An 8-bit run-length bitmap whose first run is longer than its row.
QByteArray Rle8WithOverlongRun(int width, int height);

struct NamedFile {
  QString name;
  QByteArray bytes;
};
// count damaged 320 x 240 frames of every kind in turn: cut short, with a
// flipped header bit, run-length data that overruns its rows or ends
// without its mark, 60000 x 60000 declared, empty. Deterministic.
std::vector<NamedFile> DamagedFrames(int count);

}  // namespace kestrel::stillbox::forge
