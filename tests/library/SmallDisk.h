// SPDX-License-Identifier: MIT
// A disk of the test's own, to fill or to make read-only under a library.
#pragma once

#include <sys/mount.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

namespace tarvik::test {

// A small disk of its own (tmpfs), which the test fills or makes read-only. Needs the right to
// mount, which the tests have as root; without it the test is skipped and says so.
class SmallDisk {
 public:
  SmallDisk() {
    if (!dir_.isValid()) {
      problem_ = QStringLiteral("no temporary folder");
    } else if (::mount("tarvik-test", path().toLocal8Bit().constData(), "tmpfs", 0, "size=2m") !=
               0) {
      problem_ = QStringLiteral("cannot mount a small tmpfs here (%1)")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
  }
  ~SmallDisk() {
    if (problem_.isEmpty()) ::umount2(path().toLocal8Bit().constData(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  const QString& problem() const { return problem_; }
  QString path() const { return dir_.path(); }
  QString file(const QString& name) const { return dir_.filePath(name); }

  // Writes a file until no byte more fits.
  bool fill() {
    QFile filler(file(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    const QByteArray block(4096, '\0');
    while (filler.write(block) == block.size()) {
    }
    return true;
  }
  void empty() { QFile::remove(file(QStringLiteral("filler"))); }
  bool setReadOnly(bool readOnly) {
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return ::mount("tarvik-test", path().toLocal8Bit().constData(), "tmpfs", flags, "size=2m") == 0;
  }

 private:
  QTemporaryDir dir_;
  QString problem_;
};

}  // namespace tarvik::test
