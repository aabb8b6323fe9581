// SPDX-License-Identifier: MIT
#include <QHash>
#include <memory>
#include <optional>

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
  // Where a store finds the songs' presets: in the library's setups, and for a source that is
  // no setup (the editors, a snapshot: `show` prints a song from there by the source it keeps)
  // in the copy a set list keeps of it. The set being stored comes first, so that `show`'s
  // lines, reordered or renamed, go back into their own set.
  class Sources {
   public:
    Sources(const SetupLibrary& library, const QString& storing)
        : library_(library), storing_(storing) {}

    Result<SetSong> song(const QString& name, const QString& source, int preset) {
      if (!setups_.contains(source)) {
        const Result<Setup> setup = library_.setups().setup(source);
        if (!setup.ok()) return kept(name, source, preset, setup.error);
        setups_.insert(source, *setup.value);
      }
      const Setup& setup = setups_[source];
      const PresetTables tables = setup.bytes.tables();
      const int row = preset - 1;
      return {SetSong{name,
                      {},
                      {tables.mask(row), tables.pcRemap(row), setup.names.name(row)},
                      setup.name,
                      preset,
                      SetSong::labelLines(setup.labels)},
              {}};
    }

   private:
    // The song of a set list that took `preset` from `source`, with the line's name; refused
    // with `noSetup` when no set list has one, and when the other set lists keep different
    // copies of it.
    Result<SetSong> kept(const QString& name, const QString& source, int preset,
                         const QString& noSetup) {
      if (!sets_) sets_ = setsInOrder();
      std::optional<SetSong> found;
      for (const SetList& set : *sets_) {
        for (const SetSong& song : set.songs) {
          if (song.source != source || song.sourcePreset != preset) continue;
          if (set.name == storing_) return copy(song, name);
          if (found && (found->preset != song.preset || found->loopLabels != song.loopLabels)) {
            return Result<SetSong>::failed(
                SetListCommand::tr(
                    "\"%1\" is no setup, and the set lists keep different copies of its preset %2")
                    .arg(source)
                    .arg(preset));
          }
          found = song;
        }
      }
      if (!found) return Result<SetSong>::failed(noSetup);
      return copy(*found, name);
    }
    static Result<SetSong> copy(SetSong song, const QString& name) {
      song.name = name;
      song.note.clear();
      return {song, {}};
    }
    QList<SetList> setsInOrder() const {
      QList<SetList> sets;
      const Result<QList<SetListSummary>> lists = library_.setLists().list();
      for (const SetListSummary& summary : lists.value.value_or(QList<SetListSummary>())) {
        const Result<SetList> set = library_.setLists().setList(summary.name);
        if (!set.ok()) continue;
        if (set.value->name == storing_) {
          sets.prepend(*set.value);
        } else {
          sets.append(*set.value);
        }
      }
      return sets;
    }

    const SetupLibrary& library_;
    QString storing_;
    QHash<QString, Setup> setups_;
    std::optional<QList<SetList>> sets_;
  };

  // The song of one line, or why the line is none. A line as `show` prints it, its position
  // first, is a song too; the songs keep the order of the lines.
  static Result<SetSong> songOf(const QString& line, Sources& sources) {
    QStringList fields = line.split(u'\t');
    bool positioned = false;
    if (fields.size() == 4) fields.first().toInt(&positioned);
    if (positioned) fields.removeFirst();
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
    return sources.song(fields[0], fields[1], preset);
  }

  // The songs of `text`, one a line: SONG, a tab, a setup of `library`, a tab, its preset
  // (1..128). Refused with "line N: why" for the first line that cannot be a song.
  Result<QList<SetSong>> readSongs(const QByteArray& text, const SetupLibrary& library) const {
    QList<SetSong> songs;
    Sources sources(library, options_.setListName);
    QStringList lines = QString::fromUtf8(text).split(u'\n');
    // The line end of the last line is no further line.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (int i = 0; i < lines.size(); ++i) {
      QString line = lines[i];
      if (line.endsWith(u'\r')) line.chop(1);
      Result<SetSong> song = songOf(line, sources);
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
    QString error = ChartModule::unavailable(ChartModule::Drawing::SetChart);
    if (!error.isEmpty()) {
      fail(ExitCode::UsageOrFile, error);
      return;
    }
    const Result<SetList> setList = library.setLists().setList(options_.setListName);
    if (refused(setList)) return;
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
