// SPDX-License-Identifier: MIT
#include "app/ErrorBoxes.h"

#include "app/CarefulRetry.h"
#include "app/Dialogs.h"
#include "app/TForm1.h"
#include "core/ConfiguratorCore.h"

namespace tarvik {
namespace {

// Made when shown, in the language installed by then.
QString errorCaption() { return TForm1::tr("Error"); }

}  // namespace

void ErrorBoxes::error(const QString& text) {
  dialogs_.error(&owner_, TForm1::displayTitle(), text);
}

QStringList ErrorBoxes::midiDetail(const QStringList& tried) const {
  const QString system = core_.midiSystemName();
  QStringList detail{system.isEmpty() ? TForm1::tr("MIDI system: none reached")
                                      : TForm1::tr("MIDI system: %1").arg(system)};
  detail << tried;
  if (midiFailureDetail_) detail << midiFailureDetail_();
  return detail;
}

void ErrorBoxes::midiFailure(const QString& caption, const QString& text,
                             const QStringList& tried) {
  dialogs_.errorWithDetail(&owner_, caption, text, midiDetail(tried));
}

void ErrorBoxes::noTarvikFound() {
  const auto [input, output] = core_.linkPortNames();
  const QStringList detail =
      midiDetail({TForm1::tr("Identify was sent to the output \"%1\"; no reply came on the input "
                             "\"%2\" (nor on any other open input).")
                      .arg(output, input)});
  if (careful_ != nullptr) {
    careful_->error(TForm1::tr("Timeout!"), TForm1::tr("No Tarvik found :("), detail);
    return;
  }
  dialogs_.errorWithDetail(&owner_, TForm1::tr("Timeout!"), TForm1::tr("No Tarvik found :("),
                           detail);
}

void ErrorBoxes::transferAborted(ChainAbort why, const QString& activity, const QString& detail) {
  switch (why) {
    case ChainAbort::NoReply: {
      const QString text = TForm1::tr(
                               "The Tarvik did not answer while %1. The transfer was aborted; "
                               "please check the MIDI connection and try again.")
                               .arg(activity);
      if (careful_ != nullptr) {
        careful_->error(errorCaption(), text);
      } else {
        dialogs_.error(&owner_, errorCaption(), text);
      }
      return;
    }
    case ChainAbort::SendFailed:
      error(detail);
      return;
    case ChainAbort::PortGone:
      dialogs_.error(&owner_, errorCaption(),
                     TForm1::tr("The MIDI port %1 vanished while %2. The transfer was aborted; "
                                "connect again once the port is back.")
                         .arg(detail, activity));
      return;
  }
}

void ErrorBoxes::refused(Block block, std::uint8_t status) {
  dialogs_.warning(&owner_, TForm1::tr("Warning"), refusalText(block, status));
}

void ErrorBoxes::otherFirmware() {
  QString text = versionMismatchText();
  if (core_.awaitingCheckAfterFlash()) {
    const QString kept = TForm1::tr("The setup from before the firmware update is kept as %1.");
    text += QStringLiteral("\n\n") + kept.arg(core_.keptSetupWhere());
  }
  dialogs_.error(&owner_, errorCaption(), text);
}

}  // namespace tarvik
