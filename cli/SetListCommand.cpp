// SPDX-License-Identifier: MIT
#include <QHash>
#include <memory>

#include "cli/ChartModule.h"
#include "cli/CliRun.h"
#include "cli/LibraryFileCommand.h"
#include "config/UserFile.h"
#include "library/SetList.h"

namespace tarvik::cli {

// `setlist store NAME FILE`, `setlist list`, `setlist show NAME` and `setlist chart NAME FILE`:
// the library file alone, with no MIDI port, all done before the MIDI system is reached. A
// library that cannot be opened, a refused line and a set list that is not there end with exit 2
// and a one-line reason; a store takes all of its lines or none.
class SetListCommand : public LibraryFileCommand {
  Q_OBJECT
 public:
  SetListCommand(const CliOptions& options, Output output) : LibraryFileCommand(options, output) {}

 protected:
  void run(SetupLibrary& library) override {
    switch (options_.setListAction) {
      case SetListAction::Store:
        return store(library);
      case SetListAction::List:
        return list(library);
      case SetListAction::Show:
        return show(library);
      case SetListAction::Chart:
        return chart(library);
      case SetListAction::Arrange:
      case SetListAction::Follow:
        break;
    }
    fail(ExitCode::UsageOrFile, tr("setlist: that command needs a source"));
  }

 private:
  // The song of one line, or why the line is none.
  static Result<SetSong> songOf(const QString& line, const SetupLibrary& library,
                                QHash<QString, Setup>& setups) {
    const QStringList fields = line.split(u'\t');
    if (fields.size() != 3) {
      return Result<SetSong>::failed(
          tr("%1 fields where SONG, SETUP and PRESET, separated by tabs, belong")
              .arg(fields.size()));
    }
    bool isNumber = false;
    const int preset = fields[2].toInt(&isNumber);
    if (!isNumber || preset < 1 || preset > kTableSize) {
      return Result<SetSong>::failed(
          tr("the preset \"%1\" is not one of 1..%2").arg(fields[2]).arg(kTableSize));
    }
    if (!setups.contains(fields[1])) {
      const Result<Setup> setup = library.setups().setup(fields[1]);
      if (!setup.ok()) return Result<SetSong>::failed(setup.error);
      setups.insert(fields[1], *setup.value);
    }
    const Setup& setup = setups[fields[1]];
    const PresetTables tables = setup.bytes.tables();
    const int row = preset - 1;
    return {SetSong{fields[0],
                    {},
                    {tables.mask(row), tables.pcRemap(row), setup.names.name(row)},
                    setup.name,
                    preset,
                    SetSong::labelLines(setup.labels)},
            {}};
  }

  // The songs of `text`, one a line: SONG, a tab, a setup of `library`, a tab, its preset
  // (1..128). Refused with "line N: why" for the first line that cannot be a song.
  static Result<QList<SetSong>> readSongs(const QByteArray& text, const SetupLibrary& library) {
    QList<SetSong> songs;
    QHash<QString, Setup> setups;
    QStringList lines = QString::fromUtf8(text).split(u'\n');
    // The line end of the last line is no further line.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (int i = 0; i < lines.size(); ++i) {
      QString line = lines[i];
      if (line.endsWith(u'\r')) line.chop(1);
      Result<SetSong> song = songOf(line, library, setups);
      QString why = song.error;
      if (song.ok()) {
        why = SetListStore::problem({QStringLiteral("set"), {*song.value}});
        if (why.isEmpty()) {
          songs.append(*song.value);
          continue;
        }
      }
      return Result<QList<SetSong>>::failed(tr("line %1: %2").arg(i + 1).arg(why));
    }
    return {songs, {}};
  }

  void store(SetupLibrary& library) {
    const UserFile::Read read =
        options_.fileIsStandardStream()
            ? (in() != nullptr ? UserFile::read(*in(), tr("standard input"))
                               : UserFile::Read{std::nullopt, tr("no standard input")})
            : UserFile::read(options_.file);
    if (refused(read)) return;
    const Result<QList<SetSong>> songs = readSongs(*read.bytes, library);
    if (!songs.ok()) {
      const QString file =
          options_.fileIsStandardStream() ? tr("standard input") : UserFile::shown(options_.file);
      fail(ExitCode::UsageOrFile, file + QStringLiteral(": ") + songs.error);
      return;
    }
    const Outcome stored =
        library.setLists().save({options_.setListName, *songs.value},
                                options_.replace ? IfExists::Replace : IfExists::Refuse);
    if (refused(stored)) return;
    out() << tr("stored %1").arg(options_.setListName) << '\n';
    finish(ExitCode::Ok);
  }

  void list(SetupLibrary& library) {
    const Result<QList<SetListSummary>> lists = library.setLists().list();
    if (refused(lists)) return;
    for (const SetListSummary& setList : *lists.value)
      out() << setList.name << '\t' << setList.songs << '\n';
    finish(ExitCode::Ok);
  }

  void show(SetupLibrary& library) {
    const Result<SetList> setList = library.setLists().setList(options_.setListName);
    if (refused(setList)) return;
    int position = 0;
    for (const SetSong& song : setList.value->songs) {
      out() << ++position << '\t' << song.name << '\t' << song.source << '\t' << song.sourcePreset
            << '\n';
    }
    finish(ExitCode::Ok);
  }

  void chart(SetupLibrary& library) {
    const Result<SetList> setList = library.setLists().setList(options_.setListName);
    if (refused(setList)) return;
    QString error;
    const std::optional<QByteArray> pdf = ChartModule::pdf(*setList.value, error);
    if (!pdf) {
      fail(ExitCode::UsageOrFile, error);
      return;
    }
    if (!UserFile::write(options_.file, *pdf, &error)) {
      fail(ExitCode::UsageOrFile, tr("cannot write %1").arg(error));
      return;
    }
    out() << tr("set chart written to %1").arg(UserFile::shown(options_.file)) << '\n';
    finish(ExitCode::Ok);
  }
};

std::unique_ptr<CliCommand> makeSetListCommand(MidiPorts&, const CliOptions& options,
                                               Output output) {
  return std::make_unique<SetListCommand>(options, output);
}

}  // namespace tarvik::cli

#include "SetListCommand.moc"
