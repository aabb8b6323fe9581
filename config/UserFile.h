// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <optional>

class QIODevice;

namespace tarvik {

// The one way the program reads and writes the user's files (configurations, backups, exports,
// firmware images, saved logs). A read takes only a regular file of at most kMaxSize bytes and
// checks that size before it reads a byte, so that a FIFO, a device such as /dev/zero or a huge
// file is refused instead of hanging the program or filling its memory. A write replaces the
// file whole or not at all.
class UserFile {
  Q_DECLARE_TR_FUNCTIONS(UserFile)

 public:
  // A whole configuration with every name and settings is below 20 KiB; a firmware image below
  // 100 KiB. Anything much larger is not one of the program's files.
  static constexpr qint64 kMaxSize = 1024 * 1024;

  struct Read {
    std::optional<QByteArray> bytes;  // empty when refused
    QString error;                    // "<path>: <reason>", one line; empty on success
    bool ok() const { return bytes.has_value(); }
  };

  static Read read(const QString& path);
  // A stream that has no size to check beforehand (standard input): read to its end, but
  // refused as soon as it passes kMaxSize. `name` stands for it in the error.
  static Read read(QIODevice& stream, const QString& name);

  // Replaces the file atomically through a temporary file in its folder, unbuffered, so that
  // a short write (disk full, file size limit) shows in write()'s result rather than being
  // found, or missed, at commit(). On any failure the previous file stays as it was and the
  // temporary file is removed; the reason is in `error` when given.
  static bool write(const QString& path, const QByteArray& bytes, QString* error = nullptr);

  // The path as an error line shows it: as it is when it is plain, otherwise in double quotes
  // with control characters, quotes and backslashes escaped as in C, so that a name with a
  // line break in it still makes one line.
  static QString shown(const QString& path);
};

}  // namespace tarvik
