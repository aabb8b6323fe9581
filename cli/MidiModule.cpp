// SPDX-License-Identifier: MIT
#include "cli/MidiModule.h"

#include "core/ModuleLibrary.h"

namespace tarvik::cli {

QString MidiModule::path() {
  return ModuleLibrary::path("TARVIK_CLI_MIDI_MODULE",
                             QLatin1StringView(TARVIK_CLI_MIDI_MODULE_FROM_BINDIR));
}

std::unique_ptr<PlatformMidiService> MidiModule::service(QString& problem) {
  QFunctionPointer create = nullptr;
  const QString file = path();
  const QString reason = ModuleLibrary(file).load({{kCreateMidiServiceEntry, &create}});
  if (create == nullptr) {
    problem = tr("no MIDI system can be reached: the program's module %1 could not be loaded (%2)")
                  .arg(file, reason);
    return nullptr;
  }
  return std::unique_ptr<PlatformMidiService>(reinterpret_cast<CreateMidiServiceEntry>(create)());
}

}  // namespace tarvik::cli
