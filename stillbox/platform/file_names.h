#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kestrel::stillbox {

// File names are bytes; a name saved by a program that did not write UTF-8
// ("caf\xE9.bmp") must still be found, read, deleted and copied. These turn
// any bytes into a QString and back without loss: valid UTF-8 decodes as
// usual, and each byte that is not part of valid UTF-8 becomes the lone
// surrogate U+DC00 + byte, which no valid name can contain. Such a QString
// is passed only to the native file functions of this program, never to Qt's
// file classes, which would turn the stray bytes into U+FFFD.
QString DecodeFileName(QByteArrayView bytes);
QByteArray EncodeFileName(const QString& name);

// The name as the user sees it: the stray bytes shown as the Latin-1
// characters a Windows program most likely meant (U+FFFD for the C1 control
// range, which has no visible character).
QString DisplayFileName(const QString& name);

}  // namespace kestrel::stillbox
