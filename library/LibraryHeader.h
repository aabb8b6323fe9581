// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

namespace tarvik {

// What the first bytes of an existing file say about it, read before SQLite opens it. SQLite
// writes to a database it opens as soon as it finds one to recover, so whether a file is this
// program's library at all is decided here, from the bytes alone: the SQLite header, the
// application id at offset 68 and the layout version (user_version) at offset 60.
class LibraryHeader {
  Q_DECLARE_TR_FUNCTIONS(LibraryHeader)

 public:
  static constexpr int kSize = 100;

  // Why a file starting with `header` (its first kSize bytes, or all of a shorter file) is not a
  // library this program may open; empty when it is one, as far as the header can tell.
  static QString refusal(const QByteArray& header);
};

}  // namespace tarvik
