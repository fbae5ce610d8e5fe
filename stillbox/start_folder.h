#pragma once

#include <QString>
#include <QStringList>

namespace kestrel::stillbox {

// Where the browser looks for "Frames/": in the folder the command line names
// (the folder that holds Frames/, or the Frames folder itself), or else in the
// working directory the program was started in.
struct StartFolder {
  QString directory;   // absolute: the folder that holds (or would hold) Frames/
  QString error;       // the line to print when the command line is refused
  int exitStatus = 0;  // 1 for a folder the system refuses, 2 for a usage error
};

// arguments: the program's arguments with the program first and Qt's own
// options taken out; "--" ends the options.
StartFolder ChooseStartFolder(const QStringList& arguments, const QString& workingDirectory);

}  // namespace kestrel::stillbox
