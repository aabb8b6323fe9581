// SPDX-License-Identifier: MIT
#include "app/RememberedState.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "config/UserFile.h"
#include "core/ConfiguratorCore.h"

namespace tarvik {
namespace {

const QString kInputKey = QStringLiteral("ports/input");
const QString kOutputKey = QStringLiteral("ports/output");

// The whole number 0..most the file holds, or `otherwise`.
int numberIn(const QVariant& value, int most, int otherwise) {
  bool number = false;
  const int read = value.toString().toInt(&number);
  return number && read >= 0 && read <= most ? read : otherwise;
}

}  // namespace

RememberedState::RememberedState()
    : path_(QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarvik Audio"),
                      QStringLiteral("Tarvik Configurator"))
                .fileName()) {
  read();
}

RememberedState::RememberedState(const QString& path) : path_(path) { read(); }

RememberedState::~RememberedState() = default;

void RememberedState::read() {
  const QString unreadable = tr("The remembered settings in %1 cannot be "
                                "read; the program starts without them.")
                                 .arg(UserFile::shown(path_));
  // QSettings would wait on a FIFO and read a huge file whole, before the first frame.
  const QFileInfo info(path_);
  if (info.exists() && (!info.isFile() || info.size() > UserFile::kMaxSize)) {
    problem_ = unreadable;
    return;
  }
  const QSettings file(path_, QSettings::IniFormat);
  switch (file.status()) {
    case QSettings::NoError:
      for (const QString& key : file.allKeys()) values_.insert(key, file.value(key));
      return;
    case QSettings::AccessError:
      problem_ = unreadable;
      return;
    case QSettings::FormatError:
      // What a damaged file seemed to hold is not trusted.
      problem_ = tr("The remembered settings in %1 are damaged; the "
                    "program starts without them.")
                     .arg(UserFile::shown(path_));
      return;
  }
}

void RememberedState::setValue(const QString& key, const QVariant& value) {
  values_.insert(key, value);
  // Written at once: the program may be ended by a signal rather than closed.
  const bool written = write();
  if (!written && !writeFailed_ && reporter_) {
    reporter_(tr("The remembered settings cannot be written to %1; "
                 "the file stays as it was.")
                  .arg(UserFile::shown(path_)));
  }
  writeFailed_ = !written;
}

bool RememberedState::write() const {
  // QSettings writes its file through a buffered save that misses a failed write: on a full
  // disk it put a cut file in place of a whole one and reported no error. So it writes a scratch
  // copy beside the file, which is read back and compared, and only then do its bytes replace
  // the file, through the checked writer.
  const QString scratch = path_ + QStringLiteral(".writing");
  QFile::remove(scratch);
  {
    QSettings copy(scratch, QSettings::IniFormat);
    for (auto it = values_.begin(); it != values_.end(); ++it) copy.setValue(it.key(), it.value());
    copy.sync();
    if (copy.status() != QSettings::NoError) {
      QFile::remove(scratch);
      return false;
    }
  }
  const QSettings readBack(scratch, QSettings::IniFormat);
  bool same =
      readBack.status() == QSettings::NoError && readBack.allKeys().size() == values_.size();
  for (auto it = values_.begin(); same && it != values_.end(); ++it)
    same = readBack.value(it.key()) == it.value();
  const UserFile::Read bytes = UserFile::read(scratch);
  QFile::remove(scratch);
  return same && bytes.ok() && UserFile::write(path_, *bytes.bytes);
}

std::optional<std::pair<QString, QString>> RememberedState::ports() const {
  const QString input = value(kInputKey).toString();
  const QString output = value(kOutputKey).toString();
  if (input.isEmpty() || output.isEmpty()) return std::nullopt;
  return std::pair{input, output};
}

void RememberedState::setPorts(const QString& input, const QString& output) {
  setValue(kInputKey, input);
  setValue(kOutputKey, output);
}

std::optional<QPoint> RememberedState::windowPosition() const {
  const QVariant position = value(kWindowKey);
  if (!position.canConvert<QPoint>() || position.isNull()) return std::nullopt;
  return position.toPoint();
}

TransferCare RememberedState::transferCare() const {
  const TransferCare defaults;
  return {numberIn(value(kPaceKey), TransferCare::kMaxPaceMs, defaults.paceMs),
          numberIn(value(kRetriesKey), TransferCare::kMaxRetries, defaults.retries)};
}

void RememberedState::setTransferCare(const TransferCare& care) {
  setValue(kPaceKey, care.paceMs);
  setValue(kRetriesKey, care.retries);
}

}  // namespace tarvik
