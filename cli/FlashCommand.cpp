// SPDX-License-Identifier: MIT
#include "cli/FlashCommand.h"

#include <QFileInfo>
#include <exception>

#include "cli/NetworkModule.h"
#include "config/UserFile.h"
#include "firmware/ServerFile.h"

namespace tarvik::cli {

namespace {

// The window's text for a digest that does not fit is about its download; a file named on the
// command line needs the reason itself.
QString refusalOf(const FirmwareImage& image) {
  return image.problem() == FirmwareImage::Problem::DigestMismatch
             ? FlashCommand::tr("its MD5 digest does not match its page lines")
             : image.errorText();
}

}  // namespace

FlashCommand::FlashCommand(MidiPorts& ports, const CliOptions& options, Output output,
                           QObject* parent)
    : DeviceCommand(ports, options, output, parent),
      flasher_(core().flasher()),
      progress_(output.err, output.errIsTerminal) {
  connect(&flasher_, &Flasher::progress, this, [this](int done, int count) {
    pagesVerified_ = done;
    pageCount_ = count;
    progress_.update(done, count);
  });
  connect(&flasher_, &Flasher::finished, this, &FlashCommand::onFinished);
}

FlashCommand::~FlashCommand() = default;

void FlashCommand::readFile() {
  if (options().fromServer) return;
  const UserFile::Read file = UserFile::read(options().file);
  if (refused(file)) return;
  const FirmwareImage image = FirmwareImage::fromBody(*file.bytes);
  if (!image.ok()) {
    fail(ExitCode::UsageOrFile,
         tr("%1 refused: %2").arg(UserFile::shown(options().file), refusalOf(image)));
    return;
  }
  image_ = image;
}

void FlashCommand::begin() {
  if (image_) {
    flash(*image_, options().file);
    return;
  }
  QString problem;
  server_ =
      NetworkModule::createUpdateServer(NetworkModule::defaultPath(), options().updateUrl, problem);
  if (!server_) {
    fail(ExitCode::DeviceFailure, problem);
    return;
  }
  download_ = std::make_unique<ServerFile>(*server_, QStringLiteral("firmware.txt"));
  ServerFile* download = download_.get();
  const QString origin =
      options().updateUrl.resolved(QUrl(QStringLiteral("firmware.txt"))).toString();
  connect(download, &ServerFile::failed, this, [this, origin](const QString& text) {
    fail(ExitCode::DeviceFailure, QStringLiteral("%1: %2").arg(origin, text));
  });
  connect(download, &ServerFile::fetched, this, [this, origin](const QByteArray& body) {
    const FirmwareImage image = FirmwareImage::fromBody(body);
    if (!image.ok()) {
      fail(ExitCode::UsageOrFile, tr("%1 refused: %2").arg(origin, refusalOf(image)));
      return;
    }
    flash(image, origin);
  });
  session().log(tr("downloading %1").arg(origin));
  download->start();
}

void FlashCommand::interrupt() {
  if (!flasher_.running()) {
    CliCommand::interrupt();
    return;
  }
  progress_.end();
  if (!flasher_.cancel()) {
    err() << kProgramName << ": "
          << tr("Tarvik is writing the firmware into flash; waiting for its confirmation")
          << Qt::endl;
  }
}

void FlashCommand::flash(const FirmwareImage& image, const QString& origin) {
  openAndRun([&] {
    if (options().noBackup)
      startFlash(image, origin);
    else
      backUpThenFlash(image, origin);
    return true;
  });
}

void FlashCommand::backUpThenFlash(const FirmwareImage& image, const QString& origin) {
  const auto refuse = [this](const QString& why) {
    fail(ExitCode::UsageOrFile,
         tr("no backup of the setup could be taken (%1); nothing was flashed (--no-backup "
            "flashes without one)")
             .arg(why));
  };
  if (session().library() == nullptr) {
    refuse(session().libraryError());
    return;
  }
  FirmwareBackup& backup = session().core().firmwareBackup();
  connect(&backup, &FirmwareBackup::finished, this,
          [this, image, origin, refuse](bool ok, const QString& text) {
            if (!ok) {
              refuse(text);
              return;
            }
            out() << tr("backup before the firmware update: %1").arg(text) << Qt::endl;
            startFlash(image, origin);
          });
  // A file names no version; its name is what the user knows it by.
  const QString version = QFileInfo(origin).fileName();
  session().log(tr("backing up the setup before firmware %1").arg(version));
  if (!backup.start(version)) refuse(tr("the link is busy"));
}

void FlashCommand::startFlash(const FirmwareImage& image, const QString& origin) {
  session().log(tr("flashing %1 (%2 pages)").arg(origin).arg(image.pageCount()));
  flasher_.start(image);
}

void FlashCommand::onFinished(FlashEnd end, const QString& detail) {
  progress_.end();
  switch (end) {
    case FlashEnd::Flashed:
      out() << tr("firmware flashed: %1 pages verified and written; Tarvik reboots").arg(pageCount_)
            << Qt::endl;
      finish(ExitCode::Ok);
      return;
    case FlashEnd::VerifyFailed:
      fail(ExitCode::DeviceFailure,
           tr("page %1 read back differently; programming canceled, Tarvik was told "
              "to leave its bootloader")
               .arg(pagesVerified_));
      return;
    case FlashEnd::PortGone:
      fail(ExitCode::DeviceFailure,
           tr("MIDI port %1 vanished during the firmware update; Tarvik may still be "
              "in its bootloader: flash again")
               .arg(detail));
      return;
    case FlashEnd::Canceled:
      fail(ExitCode::Interrupted,
           tr("interrupted; programming canceled, Tarvik was told to leave its bootloader"));
      return;
    case FlashEnd::NoReply:
    case FlashEnd::SendFailed:
    case FlashEnd::WriteUnconfirmed:
      fail(ExitCode::DeviceFailure, detail);
      return;
  }
}

}  // namespace tarvik::cli
