// SPDX-License-Identifier: MIT
// The platform module: the code that reaches the MIDI system (RtMidi over ALSA or JACK), the
// update server (Qt Network) and the printers (Qt Print Support). The window loads it once it is
// on screen, so that these libraries are not loaded and initialised before its first frame.
#include "app/platform/PlatformEntries.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <QtGlobal>
#include <type_traits>

#include "firmware/network/NetworkUpdateServer.h"
#include "library/chart/SetChart.h"
#include "library/chart/SetupSheet.h"
#include "midi/RtMidiService.h"

extern "C" Q_DECL_EXPORT tarvik::PlatformMidiService* tarvik_create_midi_service() {
  return new tarvik::RtMidiService(tarvik::RtMidiService::Start::Later);
}

extern "C" Q_DECL_EXPORT tarvik::UpdateServer* tarvik_create_update_server(const QUrl& baseUrl) {
  return new tarvik::NetworkUpdateServer(baseUrl);
}

extern "C" Q_DECL_EXPORT tarvik::ChartPrint tarvik_print_set_chart(QWidget* owner,
                                                                   const tarvik::SetList& setList) {
  QPrinter printer;
  printer.setDocName(setList.name);
  QPrintDialog dialog(&printer, owner);
  if (dialog.exec() != QDialog::Accepted) return tarvik::ChartPrint::Cancelled;
  return tarvik::SetChart::paint(printer, setList) ? tarvik::ChartPrint::Printed
                                                   : tarvik::ChartPrint::Failed;
}

extern "C" Q_DECL_EXPORT tarvik::ChartPrint tarvik_print_setup_sheet(
    QWidget* owner, const tarvik::SetupSheetContents& contents) {
  QPrinter printer;
  printer.setDocName(tarvik::SetupSheet::tr("Tarvik setup sheet"));
  QPrintDialog dialog(&printer, owner);
  if (dialog.exec() != QDialog::Accepted) return tarvik::ChartPrint::Cancelled;
  return tarvik::SetupSheet::paint(printer, contents) ? tarvik::ChartPrint::Printed
                                                      : tarvik::ChartPrint::Failed;
}

// A signature that drifts from what PlatformModule calls would crash at run time; here it stops
// the build.
static_assert(
    std::is_same_v<decltype(&tarvik_create_midi_service), tarvik::CreateMidiServiceEntry>);
static_assert(
    std::is_same_v<decltype(&tarvik_create_update_server), tarvik::CreateUpdateServerEntry>);
static_assert(std::is_same_v<decltype(&tarvik_print_set_chart), tarvik::PrintSetChartEntry>);
static_assert(std::is_same_v<decltype(&tarvik_print_setup_sheet), tarvik::PrintSetupSheetEntry>);
