// SPDX-License-Identifier: MIT
#include <QFileInfo>
#include <exception>
#include <memory>
#include <optional>

#include "cli/CliRun.h"
#include "cli/DeviceCommand.h"
#include "cli/FlashProgress.h"
#include "config/UserFile.h"
#include "core/ModuleLibrary.h"
#include "firmware/Flasher.h"
#include "firmware/UpdateServer.h"

namespace tarvik::cli {

// `flash FILE` or `flash --from-server`: the image is checked as the window checks it
// (FirmwareImage) before anything goes to the device; a refused file sends nothing. The flash
// reads every page back and succeeds only with the device's confirmation of the write. After
// the bootloader was entered, every failure tells the device to leave it (the Flasher does).
// A file is read and checked before the MIDI system is reached; the update server's client is
// loaded only when the download starts.
class FlashCommand : public DeviceCommand {
  Q_OBJECT
 public:
  FlashCommand(MidiPorts& ports, const CliOptions& options, Output output)
      : DeviceCommand(ports, options, output), progress_(output.err, output.errIsTerminal) {
    connect(&core(), &ConfiguratorCore::flashProgress, this, [this](int done, int count) {
      pagesVerified_ = done;
      pageCount_ = count;
      progress_.update(done, count);
    });
    connect(&core(), &ConfiguratorCore::flashFinished, this, &FlashCommand::onFinished);
  }

  // Before the write into flash the device is told to leave its bootloader, as after any other
  // failure, and the command ends as interrupted; while it writes, nothing may disturb it, so
  // the flash goes on and ends as it ends.
  void interrupt() override {
    if (!core().flashRunning()) {
      CliCommand::interrupt();
      return;
    }
    progress_.end();
    if (!core().cancelFlash()) {
      err() << kProgramName << ": "
            << tr("Tarvik is writing the firmware into flash; waiting for its confirmation")
            << Qt::endl;
    }
  }

 protected:
  void readFile() override {
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

  void begin() override {
    if (image_) {
      update(options().file);
      return;
    }
    // Qt Network, with the TLS and proxy code it brings, costs every start of the program
    // several milliseconds, and only this needs it. So the update server over HTTP lives in a
    // module of its own (network/NetworkEntry.cpp, tarvik-cli-network.so), loaded only here (a
    // few milliseconds) and kept until the program ends: what it made may live as long. The
    // module is TARVIK_CLI_NETWORK_MODULE when set (tests); else where the installed program
    // finds it from its own folder, which is also where the build puts it.
    const QString path = ModuleLibrary::path(
        "TARVIK_CLI_NETWORK_MODULE", QLatin1StringView(TARVIK_CLI_NETWORK_MODULE_FROM_BINDIR));
    QFunctionPointer create = nullptr;
    const QString reason = ModuleLibrary(path).load({{kCreateUpdateServerEntry, &create}});
    if (create == nullptr) {
      fail(ExitCode::DeviceFailure, tr("the update server cannot be reached: the program's module "
                                       "%1 could not be loaded (%2)")
                                        .arg(path, reason));
      return;
    }
    session().adoptUpdateServer(std::unique_ptr<UpdateServer>(
        reinterpret_cast<CreateUpdateServerEntry>(create)(options().updateUrl)));
    const QString origin =
        options().updateUrl.resolved(QUrl(QStringLiteral("firmware.txt"))).toString();
    session().log(tr("downloading %1").arg(origin));
    update(origin);
  }

 private:
  // The window's text for a digest that does not fit is about its download; a file named on the
  // command line needs the reason itself.
  static QString refusalOf(const FirmwareImage& image) {
    return image.problem() == FirmwareImage::Problem::DigestMismatch
               ? tr("its MD5 digest does not match its page lines")
               : image.errorText();
  }

  // The core's update of the image from `origin` (the file, or the server's firmware once it
  // is downloaded and checked): the ports are opened only for a sound image, and the setup goes
  // into the device history first (FirmwareBackup), which needs the library, unless
  // --no-backup says not to.
  void update(const QString& origin) {
    using Update = FirmwareUpdate;
    const auto refuse = [this](const QString& why) {
      fail(ExitCode::UsageOrFile,
           tr("no backup of the setup could be taken (%1); nothing was flashed (--no-backup "
              "flashes without one)")
               .arg(why));
    };
    connect(&core(), &ConfiguratorCore::firmwareDownloadFailed, this,
            [this, origin](const QString& text) {
              fail(ExitCode::DeviceFailure, QStringLiteral("%1: %2").arg(origin, text));
            });
    connect(&core(), &ConfiguratorCore::firmwareRefused, this,
            [this, origin](const FirmwareImage& image) {
              fail(ExitCode::UsageOrFile, tr("%1 refused: %2").arg(origin, refusalOf(image)));
            });
    connect(&core(), &ConfiguratorCore::firmwareBackingUp, this, [this](const QString& version) {
      session().log(tr("backing up the setup before firmware %1").arg(version));
    });
    connect(&core(), &ConfiguratorCore::backedUpBeforeFlash, this,
            [this](bool ok, const QString& text) {
              if (ok) out() << tr("backup before the firmware update: %1").arg(text) << Qt::endl;
            });
    connect(&core(), &ConfiguratorCore::firmwareFlashing, this,
            [this, origin](const FirmwareImage& image, Update::Backup) {
              session().log(tr("flashing %1 (%2 pages)").arg(origin).arg(image.pageCount()));
            });
    connect(&core(), &ConfiguratorCore::firmwareUpdateStopped, this,
            [this, refuse](Update::Stop why, const QString& text) {
              if (why == Update::Stop::Busy) refuse(busyText());
              if (why == Update::Stop::NoBackup) refuse(text);
            });
    Update::Plan plan;
    plan.image = image_;
    // A file names no version; its name is what the user knows it by.
    plan.version = QFileInfo(origin).fileName();
    plan.backup = !options().noBackup;
    plan.ready = [this, refuse](bool backingUp) -> std::optional<QString> {
      bool opened = false;
      openAndRun([&] { return opened = true; });
      if (!opened) return std::nullopt;
      if (backingUp && session().library() == nullptr) {
        refuse(session().libraryError());
        return std::nullopt;
      }
      return QString();
    };
    if (!core().updateFirmware(std::move(plan))) fail(ExitCode::DeviceFailure, busyText());
  }

  void onFinished(FlashEnd end, const QString& detail) {
    progress_.end();
    switch (end) {
      case FlashEnd::Flashed:
        out()
            << tr("firmware flashed: %1 pages verified and written; Tarvik reboots").arg(pageCount_)
            << Qt::endl;
        finish(ExitCode::Ok);
        return;
      case FlashEnd::VerifyFailed:
        fail(ExitCode::DeviceFailure,
             tr("page %1 read back differently; programming canceled, Tarvik was told "
                "to leave its bootloader")
                 .arg(pagesVerified_ + 1));
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

  FlashProgress progress_;
  std::optional<FirmwareImage> image_;  // the file's, once read and checked
  int pagesVerified_ = 0;
  int pageCount_ = 0;
};

std::unique_ptr<CliCommand> makeFlashCommand(MidiPorts& ports, const CliOptions& options,
                                             Output output) {
  return std::make_unique<FlashCommand>(ports, options, output);
}

}  // namespace tarvik::cli

#include "FlashCommand.moc"
