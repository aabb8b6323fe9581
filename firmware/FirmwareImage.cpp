// SPDX-License-Identifier: MIT
#include "firmware/FirmwareImage.h"

#include <QCryptographicHash>
#include <algorithm>

#include "firmware/TextLines.h"

namespace tarvik {

namespace {

bool isUpperHexDigit(QChar c) {
  return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
         (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// The device reads back every page as 256 upper-case digits, so nothing else can verify. A
// 257th character is never sent and does not matter.
bool isFlashablePageLine(const QString& line) {
  if (line.size() < FirmwareImage::kPageDigits || line.size() > FirmwareImage::kPageDigits + 1) {
    return false;
  }
  return std::all_of(line.begin(), line.begin() + FirmwareImage::kPageDigits, isUpperHexDigit);
}

FirmwarePage pageFromLine(const QString& line) {
  // The line was checked to spell 128 bytes in upper case; a 257th character is not part of it.
  return FirmwarePage{QByteArray::fromHex(line.left(FirmwareImage::kPageDigits).toLatin1())};
}

}  // namespace

QString FirmwareImage::digestOf(const QStringList& pageLines) {
  QCryptographicHash md5(QCryptographicHash::Md5);
  for (const QString& line : pageLines) {
    md5.addData(line.toLatin1());
    md5.addData(QByteArrayView("\r\n"));
  }
  return QString::fromLatin1(md5.result().toHex().toUpper());
}

void FirmwareImage::reject(const QString& reason) {
  problem_ = Problem::Rejected;
  errorText_ = tr("Firmware file rejected: %1").arg(reason);
  pages_.clear();
}

FirmwareImage FirmwareImage::fromBody(const QByteArray& body) {
  FirmwareImage image;
  QStringList lines = splitLines(lfToCrLf(bodyText(body)));
  if (lines.isEmpty()) {
    image.reject(tr("the file is empty"));
    return image;
  }
  const QString expectedDigest = lines.takeLast();
  if (digestOf(lines) != expectedDigest) {
    image.problem_ = Problem::DigestMismatch;
    image.errorText_ = tr("Download failed!");
    return image;
  }
  if (lines.isEmpty()) {
    image.reject(tr("it holds no flash page"));
    return image;
  }
  if (lines.size() > kMaxPages) {
    image.reject(tr("it holds %1 flash pages, at most %2 fit").arg(lines.size()).arg(kMaxPages));
    return image;
  }
  for (qsizetype k = 0; k < lines.size(); ++k) {
    if (!isFlashablePageLine(lines[k])) {
      image.reject(tr("page %1 is not 256 upper-case hexadecimal digits").arg(k));
      return image;
    }
  }
  image.pages_.reserve(static_cast<std::size_t>(lines.size()));
  for (const QString& line : lines) {
    image.pages_.push_back(pageFromLine(line));
  }
  return image;
}

}  // namespace tarvik
