// SPDX-License-Identifier: MIT
#pragma once

#include <sys/resource.h>
#include <sys/stat.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <csignal>

namespace tarvik::testing {

// A full disk without a full disk: a file size limit makes every write past `bytes` fail (EFBIG)
// for this process, root included, and a write that crosses it end short, as on a file system
// that fills up in the middle of a file. SIGXFSZ, which would end the process, is ignored while
// the limit holds.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved_;
    tight.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &tight);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*handler_)(int) = SIG_DFL;
};

inline QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

inline bool putFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A FIFO with no writer: opening it to read waits for ever.
inline bool makeFifo(const QString& path) { return ::mkfifo(QFile::encodeName(path), 0600) == 0; }

// A sparse file far larger than any configuration.
inline bool makeHugeFile(const QString& path, qint64 size) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.resize(size);
}

}  // namespace tarvik::testing
