#include "local_directory_search.h"

#include <QDir>
#include <QFileInfo>

bool CLocalDirectorySearch::Start(const QString& directory, const QString& pattern) {
  Finish();
  QDir dir(directory);
  if (!dir.exists() || !dir.isReadable()) return false;
  // No QDir::CaseSensitive: "*.bmp" also matches "*.BMP". Hidden and system
  // entries are reported so that the caller's own rules decide about them.
  m_iterator = std::make_unique<QDirIterator>(
      directory, QStringList{pattern},
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  return true;
}

bool CLocalDirectorySearch::Next(DirEntry& entry) {
  if (!m_iterator || !m_iterator->hasNext()) return false;
  m_iterator->next();
  const QFileInfo info = m_iterator->fileInfo();
  entry.name = info.fileName();
  entry.hidden = entry.name.startsWith(QLatin1Char('.'));
  entry.directory = info.isDir();
  entry.regularFile = info.isFile();  // follows links; false for pipes and sockets
  return true;
}

void CLocalDirectorySearch::Finish() { m_iterator.reset(); }
