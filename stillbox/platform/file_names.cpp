#include "file_names.h"

namespace kestrel::stillbox {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kReplacement = 0xFFFD;

// A stray byte is a low surrogate on its own; one after a high surrogate is
// the second half of a character beyond the basic plane.
bool IsEscapedByte(QStringView name, qsizetype at) {
  const char16_t unit = name[at].unicode();
  return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF && (at == 0 || !name[at - 1].isHighSurrogate());
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence starting at `at`, 0 when there is
// none (stray continuation bytes, overlong forms, surrogates, values beyond
// U+10FFFF, sequences cut short).
int SequenceLength(QByteArrayView bytes, qsizetype at, char32_t& codePoint) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  int length = 0;
  char32_t least = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    least = 0x80;
    codePoint = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    least = 0x800;
    codePoint = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    least = 0x10000;
    codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > bytes.size()) return 0;
  for (int i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[at + i]);
    if (!IsContinuation(byte)) return 0;
    codePoint = (codePoint << 6) | (byte & 0x3F);
  }
  if (codePoint < least || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

QString DecodeFileName(QByteArrayView bytes) {
  QString name;
  name.reserve(bytes.size());
  for (qsizetype at = 0; at < bytes.size();) {
    char32_t codePoint = 0;
    const int length = SequenceLength(bytes, at, codePoint);
    if (length == 0) {
      name.append(QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[at]))));
      ++at;
      continue;
    }
    if (QChar::requiresSurrogates(codePoint)) {
      name.append(QChar(QChar::highSurrogate(codePoint)));
      name.append(QChar(QChar::lowSurrogate(codePoint)));
    } else {
      name.append(QChar(static_cast<char16_t>(codePoint)));
    }
    at += length;
  }
  return name;
}

QByteArray EncodeFileName(const QString& name) {
  QByteArray bytes;
  bytes.reserve(name.size());
  qsizetype start = 0;  // the stretch of ordinary text not yet encoded
  const auto flush = [&](qsizetype end) { bytes.append(QStringView(name).mid(start, end - start).toUtf8()); };
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (IsEscapedByte(name, i)) {
      flush(i);
      bytes.append(static_cast<char>(name[i].unicode() - kEscapeBase));
      start = i + 1;
    }
  }
  flush(name.size());
  return bytes;
}

QString DisplayFileName(const QString& name) {
  QString shown = name;
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (!IsEscapedByte(name, i)) continue;
    const char16_t byte = name[i].unicode() - kEscapeBase;
    shown[i] = QChar(byte >= 0xA0 ? byte : kReplacement);
  }
  return shown;
}

}  // namespace kestrel::stillbox
