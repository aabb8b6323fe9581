// SPDX-License-Identifier: MIT
#include "config/UserFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace tarvik {
namespace {

QString tooLarge() {
  return UserFile::tr("larger than %1 KiB, too large for a Tarvik file")
      .arg(UserFile::kMaxSize / 1024);
}

UserFile::Read refused(const QString& name, const QString& reason) {
  return {std::nullopt, QStringLiteral("%1: %2").arg(name, reason)};
}

// Characters that would end the line or move the cursor when printed.
bool breaksLine(QChar c) {
  return c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
         c == QChar::ParagraphSeparator;
}

}  // namespace

UserFile::Read UserFile::read(const QString& path) {
  // Looked at before opening: opening a FIFO waits for a writer, and the size of what is not a
  // regular file says nothing about what reading it would bring.
  const QFileInfo info(path);
  if (info.exists() && !info.isFile()) return refused(shown(path), tr("not a regular file"));
  if (info.size() > kMaxSize) return refused(shown(path), tooLarge());
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return refused(shown(path), file.errorString());
  // The file may have grown since it was looked at: one byte past the limit tells.
  QByteArray bytes = file.read(kMaxSize + 1);
  if (file.error() != QFileDevice::NoError) return refused(shown(path), file.errorString());
  if (bytes.size() > kMaxSize) return refused(shown(path), tooLarge());
  return {std::move(bytes), {}};
}

UserFile::Read UserFile::read(QIODevice& stream, const QString& name) {
  QByteArray bytes;
  char chunk[64 * 1024];
  while (bytes.size() <= kMaxSize) {
    const qint64 count = stream.read(chunk, sizeof chunk);
    if (count < 0) return refused(name, stream.errorString());
    if (count == 0) break;  // the end of the stream
    bytes.append(chunk, count);
  }
  if (bytes.size() > kMaxSize) return refused(name, tooLarge());
  return {std::move(bytes), {}};
}

bool UserFile::write(const QString& path, const QByteArray& bytes, QString* error) {
  QSaveFile file(path);
  const auto failed = [&](const QString& reason) {
    if (error != nullptr) *error = QStringLiteral("%1: %2").arg(shown(path), reason);
    return false;
  };
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failed(file.errorString());
  qint64 written = 0;
  while (written < bytes.size()) {
    const qint64 chunk = file.write(bytes.constData() + written, bytes.size() - written);
    if (chunk <= 0) break;
    written += chunk;
  }
  if (written != bytes.size() || file.size() != bytes.size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    file.commit();  // discards the temporary file; the old file is untouched
    return failed(reason);
  }
  // commit() flushes and syncs before it renames: a failure there too leaves the old file.
  if (!file.commit()) return failed(file.errorString());
  return true;
}

QString UserFile::shown(const QString& path) {
  if (std::none_of(path.begin(), path.end(), breaksLine)) return path;
  QString text = QStringLiteral("\"");
  for (const QChar c : path) {
    if (c == QLatin1Char('"') || c == QLatin1Char('\\')) {
      text += QLatin1Char('\\') + c;
    } else if (c == QLatin1Char('\n')) {
      text += QStringLiteral("\\n");
    } else if (c == QLatin1Char('\r')) {
      text += QStringLiteral("\\r");
    } else if (c == QLatin1Char('\t')) {
      text += QStringLiteral("\\t");
    } else if (breaksLine(c)) {
      text += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    } else {
      text += c;
    }
  }
  return text + QLatin1Char('"');
}

}  // namespace tarvik
