// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace tarvik {

// One flash page as it goes to the device; the device's read-back must equal these bytes.
struct FirmwarePage {
  QByteArray bytes;
};

// "firmware.txt" taken apart and checked: page lines, then the MD5 of the page lines (each
// followed by CR LF) as 32 upper-case hex digits. A file that could not be flashed to the end
// is refused here, before the device is touched.
class FirmwareImage {
  Q_DECLARE_TR_FUNCTIONS(FirmwareImage)

 public:
  static constexpr int kMaxPages = 256;  // the page number travels as one byte
  static constexpr int kPageDigits = 256;

  enum class Problem { None, DigestMismatch, Rejected };

  static FirmwareImage fromBody(const QByteArray& body);

  bool ok() const { return problem_ == Problem::None; }
  Problem problem() const { return problem_; }
  // "Download failed!" for a digest mismatch, a reason for a refused file, empty when ok.
  QString errorText() const { return errorText_; }
  const std::vector<FirmwarePage>& pages() const { return pages_; }
  int pageCount() const { return static_cast<int>(pages_.size()); }

  // MD5 of every line followed by CR LF, upper-case hex.
  static QString digestOf(const QStringList& pageLines);

 private:
  void reject(const QString& reason);

  Problem problem_ = Problem::None;
  QString errorText_;
  std::vector<FirmwarePage> pages_;
};

}  // namespace tarvik

Q_DECLARE_METATYPE(tarvik::FirmwareImage)
