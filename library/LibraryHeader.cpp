// SPDX-License-Identifier: MIT
#include "library/LibraryHeader.h"

#include <QtEndian>

#include "library/Schema.h"

namespace tarvik {
namespace {

const QByteArray kMagic("SQLite format 3\0", 16);

quint32 bigEndianAt(const QByteArray& header, int offset) {
  return qFromBigEndian<quint32>(header.constData() + offset);
}

}  // namespace

QString LibraryHeader::refusal(const QByteArray& header) {
  if (!header.startsWith(kMagic)) {
    return tr("not a setup library of this program (not an SQLite database)");
  }
  if (header.size() < kSize) {
    return tr("damaged setup library (the file ends inside its header)");
  }
  if (bigEndianAt(header, 68) != static_cast<quint32>(Schema::kApplicationId)) {
    return tr("not a setup library of this program (a database of another program)");
  }
  if (const quint32 version = bigEndianAt(header, 60); version > Schema::kVersion) {
    return tr("a setup library of a newer version of this program (layout %1; this version "
              "knows layouts up to %2)")
        .arg(version)
        .arg(Schema::kVersion);
  }
  return {};
}

}  // namespace tarvik
