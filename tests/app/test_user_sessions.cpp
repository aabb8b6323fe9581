// SPDX-License-Identifier: MIT
// Random sessions of what a user does, run on the window over its core against the in-memory
// Tarvik: edits, undo and redo, files, connects, submits, restores, library setups and the close
// question, with a device that answers late, refuses or stops answering. The model beside the
// window holds what the device is known to hold (its replies), what the last file or setup
// holds and the editors' undo history. After every step: the unsaved marker shows exactly when
// the editors hold something nothing else holds; the window closes without a question only when
// nothing would be lost; undo and redo bring back what the model kept; "verified" is logged only
// when the device holds what was sent; the device changes only under an action that sends.
//
// The suite runs a fixed seed for a bounded count; TARVIK_SOAK_MINUTES=N runs random seeds for
// that long and prints the seed of any failure (./configurator soak).
#include <rapidcheck.h>
#include <rapidcheck/state.h>

#include <QEventLoop>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTreeView>
#include <chrono>
#include <iostream>

#include "WindowRig.h"
#include "app/EditTracking.h"
#include "app/LibraryHolder.h"
#include "app/LibraryWindow.h"
#include "config/ConfigBytes.h"
#include "core/CoreParts.h"

using namespace tarvik;
using namespace tarvik::testing;

namespace {

using Answer = Dialogs::SaveAnswer;
using Snapshot = EditHistory::Snapshot;
enum class Fault { None, Late, Refuses, Silent };
constexpr Block kBlocks[] = {Block::Presets, Block::CcMap, Block::PcRemap, Block::Record};
constexpr std::size_t at(Block block) { return static_cast<std::size_t>(block); }
using Blocks = std::array<std::optional<QByteArray>, 4>;

// The window, its core and the device, and the model of what each holds.
struct Session {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("session.tvk"));
  WindowRig rig;
  Configuration& editors = rig.core->configuration();
  TransferMachine& machine = CoreParts::machine(*rig.core);
  Fault fault = Fault::None;
  Blocks device;  // what the device's replies said it holds, per block
  Blocks saved;   // what the last file or setup holds, per block
  std::array<QByteArray, 4> start;
  PresetNames savedNames;
  // What the file on disk holds: the tables, and with the settings its names when it is a backup.
  std::optional<Blocks> onDisk;
  PresetNames namesOnDisk;
  bool setupStored = false;
  std::vector<Snapshot> past, future;
  bool historyKnown = true;  // false after a step whose undo steps the model does not count

  Session() {
    rig.form->buildDeviceTabs();
    rig.form->library().open(dir.filePath(QStringLiteral("library.sqlite")));
    rig.button("libraryButton")->click();
    for (Block block : kBlocks) start[at(block)] = bytes(block);
    QObject::connect(&machine, &TransferMachine::received, rig.form.get(),
                     [this](Block block, const QByteArray&) { device[at(block)] = bytes(block); });
    QObject::connect(&machine, &TransferMachine::stored, rig.form.get(),
                     [this](Block block, const QByteArray& sent) { device[at(block)] = sent; });
  }
  QByteArray bytes(Block block) const { return ChangeMarks::wireBytes(editors, block); }
  Snapshot snapshot() const { return {editors.tables(), editors.record(), editors.names()}; }
  void holdAll(std::initializer_list<Block> blocks) {
    for (Block block : blocks) saved[at(block)] = bytes(block);
  }

  // The block differs from the device (or the device is unknown) and from the last file; with
  // no file yet, the start state counts as saved only while the device is unknown.
  bool unsaved(Block block) const {
    const QByteArray now = bytes(block);
    const std::optional<QByteArray>& dev = device[at(block)];
    const std::optional<QByteArray>& file = saved[at(block)];
    const bool differsFromFile = file ? now != *file : dev.has_value() || now != start[at(block)];
    return (!dev || now != *dev) && differsFromFile;
  }
  bool unsaved() const {
    bool any = editors.names() != savedNames;
    for (Block block : kBlocks) any = any || unsaved(block);
    return any;
  }
  // A file written with the tables, and as a backup with the settings and names too.
  void wroteFile(bool backup) {
    holdAll({Block::Presets, Block::CcMap, Block::PcRemap});
    if (backup) {
      holdAll({Block::Record});
      savedNames = editors.names();
    }
    onDisk = saved;
    if (!backup) {
      (*onDisk)[at(Block::Record)].reset();
    } else {
      // A backup holds the settings as a restore sends them (the start state's Pin-20 function
      // without a selection is written as 0), while the marks measure the editors as they were.
      ConfigBytes::Settings record{};
      const QByteArray held = bytes(Block::Record);
      std::copy(held.begin(), held.end(), record.begin());
      const ConfigBytes::Settings kept = ConfigBytes::keptSettings(record);
      (*onDisk)[at(Block::Record)] = bytesOf(kept);
    }
    namesOnDisk = backup ? editors.names() : PresetNames();
  }
  // "Save" in the unsaved-work question: a backup when the settings or the names are unsaved.
  void savedFromQuestion() { wroteFile(unsaved(Block::Record) || editors.names() != savedNames); }
  // A file loaded or restored: the marks now measure against what it holds.
  void tookFile() {
    for (Block block : kBlocks)
      if ((*onDisk)[at(block)]) saved[at(block)] = (*onDisk)[at(block)];
    savedNames = namesOnDisk;
  }
  // Serves the event loop until nothing waits for the device. A device that does not answer in
  // time has the wait run out at once; one that answers late then sends what it held back, and
  // the program deals with it as it comes (a late identify reply resumes the handshake).
  void settle() {
    InProcessTarvik& tarvik = rig.tarvik();
    auto waiting = [&] { return rig.core->busy() || machine.connectTimer().isActive(); };
    // start(0) keeps 0 as the timer's interval: the program's own waits come back afterwards, or
    // the next connect or restore would give up at once on a device that answers.
    QTimer* const timers[] = {&machine.connectTimer(), &machine.replyWatchdog()};
    const int intervals[] = {timers[0]->interval(), timers[1]->interval()};
    const auto restoreIntervals = qScopeGuard([&] {
      for (int i = 0; i < 2; ++i)
        if (!timers[i]->isActive()) timers[i]->setInterval(intervals[i]);
    });
    for (int round = 0; round < 100 && (waiting() || tarvik.pendingReplies() > 0); ++round) {
      if (!waiting()) {
        tarvik.releaseHeld();
        QCoreApplication::processEvents();
        continue;
      }
      if (fault == Fault::Late || fault == Fault::Silent) {
        for (QTimer* timer : timers)
          if (timer->isActive()) timer->start(0);
      }
      QEventLoop loop;
      QObject::connect(rig.core.get(), &ConfiguratorCore::busyChanged, &loop, &QEventLoop::quit);
      QObject::connect(&machine, &TransferMachine::connectTimedOut, &loop, &QEventLoop::quit);
      QObject::connect(&machine, &TransferMachine::chainRunningChanged, &loop, &QEventLoop::quit);
      QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
      loop.exec();
    }
    RC_ASSERT(!waiting());
    RC_ASSERT(tarvik.pendingReplies() == 0);
  }
  void noteStep(const Snapshot& before) {
    if (snapshot() == before) return;
    past.push_back(before);
    future.clear();
  }
  void check() const { RC_ASSERT(rig.form->isWindowModified() == unsaved()); }
};

struct Model {
  bool fileWritten = false;
  bool setupStored = false;
};
using Command = rc::state::Command<Model, Session>;

// How much was run, for the report at the end.
int sessionsRun = 0;
int stepsRun = 0;

// A step the user takes; `sends` steps may change the device, no other may.
template <bool sends>
struct Step : Command {
  void run(const Model&, Session& s) const override {
    ++stepsRun;
    const TarvikContents device = s.rig.device().contents();
    const Snapshot before = s.snapshot();
    act(s, before);
    if (!sends) RC_ASSERT(s.rig.device().contents() == device);
    s.check();
  }
  virtual void act(Session& s, const Snapshot& before) const = 0;
};

Answer anAnswer() { return *rc::gen::element(Answer::Save, Answer::Discard, Answer::Cancel); }

struct EditCell : Step<false> {
  int row = *rc::gen::inRange(0, 4);
  int cc = *rc::gen::inRange(0, PresetTables::kCcItems);
  void act(Session& s, const Snapshot& before) const override {
    s.editors.chooseCc(row, cc);
    s.noteStep(before);
  }
  void show(std::ostream& os) const override { os << "edit CC of preset " << row << " to " << cc; }
};

struct EditSetting : Step<false> {
  void act(Session& s, const Snapshot& before) const override {
    ConfigRecord record = s.editors.record();
    record.omniMode = !record.omniMode;
    s.editors.editRecord(record);
    s.noteStep(before);
  }
  void show(std::ostream& os) const override { os << "toggle omni mode"; }
};

struct Rename : Step<false> {
  QString name = *rc::gen::element(QStringLiteral("Lead"), QStringLiteral("Clean"), QString());
  void act(Session& s, const Snapshot& before) const override {
    RC_ASSERT(s.editors.renamePreset(1, name).isEmpty());
    s.noteStep(before);
  }
  void show(std::ostream& os) const override {
    os << "name preset 1 '" << name.toStdString() << "'";
  }
};

struct DeselectAll : Step<false> {
  void act(Session& s, const Snapshot& before) const override {
    s.editors.deselectAll();
    s.noteStep(before);
  }
  void show(std::ostream& os) const override { os << "deselect all"; }
};

struct UndoRedo : Step<false> {
  bool undo = *rc::gen::arbitrary<bool>();
  void act(Session& s, const Snapshot& before) const override {
    (undo ? s.rig.form->edits().undoAction() : s.rig.form->edits().redoAction())->trigger();
    if (!s.historyKnown) return;
    std::vector<Snapshot>& from = undo ? s.past : s.future;
    std::vector<Snapshot>& to = undo ? s.future : s.past;
    if (from.empty()) return RC_ASSERT(s.snapshot() == before);
    to.push_back(before);
    RC_ASSERT(s.snapshot() == from.back());
    from.pop_back();
  }
  void show(std::ostream& os) const override { os << (undo ? "undo" : "redo"); }
};

struct SaveFile : Step<false> {
  void apply(Model& m) const override { m.fileWritten = true; }
  void act(Session& s, const Snapshot&) const override {
    s.rig.dialogs.nextFileName = s.file;
    s.rig.button("Button8")->click();
    s.wroteFile(false);
  }
  void show(std::ostream& os) const override { os << "save as file"; }
};

// Steps behind the unsaved-work question: whether they went ahead, as the model expects.
struct Asking {
  Answer answer = anAnswer();
  bool chooseFile = *rc::gen::arbitrary<bool>();
  // True when the step goes ahead; a save writes the file first.
  bool ask(Session& s, const std::function<void()>& step) const {
    const bool unsaved = s.unsaved();
    const std::size_t asked = s.rig.dialogs.saveQuestions.size();
    s.rig.dialogs.saveAnswer = answer;
    // One name answers the save dialog and then the open dialog of a load or restore, which
    // thus reads what the save wrote.
    s.rig.dialogs.nextFileName =
        unsaved && answer == Answer::Save && !chooseFile ? QString() : s.file;
    const bool proceeds =
        !unsaved || answer == Answer::Discard || (answer == Answer::Save && chooseFile);
    if (unsaved && answer == Answer::Save && chooseFile) s.savedFromQuestion();
    step();
    RC_ASSERT(s.rig.dialogs.saveQuestions.size() == asked + (unsaved ? 1 : 0));
    return proceeds;
  }
  void describe(std::ostream& os) const {
    os << " (answer " << static_cast<int>(answer) << (chooseFile ? ", file chosen)" : ")");
  }
};

struct LoadFile : Step<false>, Asking {
  void checkPreconditions(const Model& m) const override { RC_PRE(m.fileWritten); }
  void act(Session& s, const Snapshot& before) const override {
    if (!ask(s, [&] { s.rig.button("Button9")->click(); })) {
      RC_ASSERT(s.snapshot() == before);
      return;
    }
    for (const auto& box : s.rig.dialogs.errors) RC_LOG() << box.text.toStdString() << std::endl;
    s.tookFile();
    for (Block block : kBlocks) {
      if (!(*s.onDisk)[at(block)]) continue;
      RC_LOG() << "block " << at(block) << ": " << (*s.onDisk)[at(block)]->toHex().toStdString()
               << std::endl;
      RC_ASSERT(s.bytes(block) == *(*s.onDisk)[at(block)]);
    }
    RC_ASSERT(s.editors.names() == s.namesOnDisk);
    s.noteStep(before);
  }
  void show(std::ostream& os) const override {
    os << "load the file";
    describe(os);
  }
};

struct Connect : Step<false>, Asking {
  void act(Session& s, const Snapshot& before) const override {
    if (!ask(s, [&] { s.rig.button("Button1")->click(); })) return;
    s.settle();
    s.noteStep(before);
  }
  void show(std::ostream& os) const override {
    os << "connect";
    describe(os);
  }
};

struct Submit : Step<true> {
  bool presets = *rc::gen::arbitrary<bool>();
  void act(Session& s, const Snapshot&) const override {
    s.rig.button(presets ? "Button3" : "Button2")->click();
    s.settle();
  }
  void show(std::ostream& os) const override {
    os << (presets ? "submit presets" : "submit settings");
  }
};

struct RestoreFile : Step<true>, Asking {
  void checkPreconditions(const Model& m) const override { RC_PRE(m.fileWritten); }
  void act(Session& s, const Snapshot&) const override {
    if (!s.onDisk) return;
    const int lines = s.rig.logMessages().size();
    if (!ask(s, [&] { s.rig.button("restoreButton")->click(); })) return;
    const Blocks source = *s.onDisk;
    s.tookFile();
    s.settle();
    s.historyKnown = false;
    bool verified = false;
    for (const QString& line : s.rig.logMessages().mid(lines)) {
      RC_LOG() << line.toStdString() << std::endl;
      verified = verified || line.contains(QStringLiteral("verified"));
    }
    const TarvikContents held = s.rig.device().contents();
    auto bytesOf = [](const auto& items) {
      return QByteArray(reinterpret_cast<const char*>(items.data()), qsizetype(items.size()));
    };
    if (verified) {
      RC_ASSERT(bytesOf(held.presets) == *source[at(Block::Presets)]);
      RC_ASSERT(bytesOf(held.ccMap) == *source[at(Block::CcMap)]);
      RC_ASSERT(bytesOf(held.pcRemap) == *source[at(Block::PcRemap)]);
      if (source[at(Block::Record)])
        RC_ASSERT(bytesOf(held.configRecord) == *source[at(Block::Record)]);
    }
    // A restore reaches the device through the ports a connect opened.
    RC_ASSERT(verified == (s.fault == Fault::None && s.rig.form->portsOpened()));
  }
  void show(std::ostream& os) const override {
    os << "restore the file";
    describe(os);
  }
};

struct StoreSetup : Step<false> {
  void apply(Model& m) const override { m.setupStored = true; }
  void act(Session& s, const Snapshot&) const override {
    if (s.rig.core->busy()) return;
    s.rig.dialogs.textAnswers = {QStringLiteral("Live")};
    if (!s.setupStored) s.rig.dialogs.textAnswers.push_back(QString());
    s.rig.dialogs.confirmAnswer = true;
    s.rig.form->library().window()->findChild<QPushButton*>(QStringLiteral("storeButton"))->click();
    s.holdAll({Block::Presets, Block::CcMap, Block::PcRemap, Block::Record});
    s.savedNames = s.editors.names();
    s.setupStored = true;
  }
  void show(std::ostream& os) const override { os << "store the setup"; }
};

struct OpenSetup : Step<false>, Asking {
  void checkPreconditions(const Model& m) const override { RC_PRE(m.setupStored); }
  void act(Session& s, const Snapshot& before) const override {
    LibraryWindow* window = s.rig.form->library().window();
    auto* view = window->findChild<QTreeView*>(QStringLiteral("setupList"));
    view->selectionModel()->setCurrentIndex(
        view->model()->index(window->setupModel().rowOf(QStringLiteral("Live")), 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!ask(s, [&] { window->findChild<QPushButton*>(QStringLiteral("openButton"))->click(); }))
      return;
    s.holdAll({Block::Presets, Block::CcMap, Block::PcRemap, Block::Record});
    s.savedNames = s.editors.names();
    s.noteStep(before);
  }
  void show(std::ostream& os) const override {
    os << "open the setup";
    describe(os);
  }
};

struct Close : Step<false> {
  Answer answer = anAnswer();
  bool chooseFile = *rc::gen::arbitrary<bool>();
  void act(Session& s, const Snapshot& before) const override {
    const bool unsaved = s.unsaved();
    const std::size_t asked = s.rig.dialogs.saveQuestions.size();
    s.rig.dialogs.saveAnswer = answer;
    s.rig.dialogs.nextFileName = chooseFile ? s.file : QString();
    const bool closes =
        !unsaved || answer == Answer::Discard || (answer == Answer::Save && chooseFile);
    RC_ASSERT(s.rig.form->close() == closes);
    RC_ASSERT(s.rig.dialogs.saveQuestions.size() == asked + (unsaved ? 1 : 0));
    RC_ASSERT(s.snapshot() == before);
    if (unsaved && answer == Answer::Save && chooseFile) s.savedFromQuestion();
    // The program would end here; the session goes on with the window shown again.
    if (closes) s.rig.form->show();
  }
  void show(std::ostream& os) const override {
    os << "close the window (answer " << static_cast<int>(answer)
       << (chooseFile ? ", file chosen)" : ")");
  }
};

struct SetFault : Step<false> {
  Fault fault = *rc::gen::element(Fault::None, Fault::Late, Fault::Refuses, Fault::Silent);
  void act(Session& s, const Snapshot&) const override {
    SimFaults faults;
    faults.silent = fault == Fault::Silent;
    faults.submitStatus = fault == Fault::Refuses ? 0x00 : 0xFF;
    s.rig.device().setFaults(faults);
    s.rig.tarvik().holdReplies(fault == Fault::Late);
    s.fault = fault;
  }
  void show(std::ostream& os) const override { os << "device fault " << static_cast<int>(fault); }
};

// The suite's run: a few seconds under the sanitizers. The soak's: longer sessions, more of them.
constexpr std::uint64_t kSuiteSeed = 20261209;
constexpr int kSuiteSessions = 25;
constexpr int kSuiteSteps = 40;
constexpr int kSoakSessions = 50;
constexpr int kSoakSteps = 80;

// Runs on `seed` and prints it with the outcome: RapidCheck's own "Using configuration" line
// names its default seed, which this run does not use.
bool checkSessions(std::uint64_t seed, int sessions, int maxSteps) {
  rc::detail::TestParams params;
  params.seed = seed;
  params.maxSuccess = sessions;
  params.maxSize = maxSteps;
  rc::detail::TestMetadata metadata;
  metadata.id = metadata.description = "user sessions";
  const rc::detail::TestResult result = rc::detail::checkTestable(
      [] {
        ++sessionsRun;
        Session session;
        rc::state::check(
            Model{}, session,
            rc::state::gen::execOneOfWithArgs<
                EditCell, EditSetting, Rename, DeselectAll, UndoRedo, UndoRedo, SaveFile, LoadFile,
                Connect, Submit, RestoreFile, StoreSetup, OpenSetup, Close, SetFault>());
      },
      metadata, params);
  rc::detail::printResultMessage(result, std::cerr);
  std::cerr << " (seed " << seed << "; " << sessionsRun << " sessions, " << stepsRun
            << " steps so far)" << std::endl;
  return result.template is<rc::detail::SuccessResult>();
}

}  // namespace

class UserSessionsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void sessionsKeepTheUsersWork() {
    // Closing the window is one step of a session, not the end of the test.
    QApplication::setQuitOnLastWindowClosed(false);
    // The offscreen platform's word on every Library window shown says nothing here.
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
          if (!text.startsWith(QStringLiteral("This plugin does not support"))) {
            previous(type, context, text);
          }
        });
    const QByteArray minutes = qgetenv("TARVIK_SOAK_MINUTES");
    const QByteArray seed = qgetenv("TARVIK_SESSION_SEED");
    if (!seed.isEmpty()) {
      QVERIFY(checkSessions(seed.toULongLong(), kSoakSessions, kSoakSteps));
    } else if (minutes.isEmpty()) {
      QVERIFY(checkSessions(kSuiteSeed, kSuiteSessions, kSuiteSteps));
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(minutes.toInt());
    while (std::chrono::steady_clock::now() < end) {
      const std::uint64_t random = QRandomGenerator::global()->generate64();
      std::cerr << "seed " << random << std::endl;
      if (!checkSessions(random, kSoakSessions, kSoakSteps)) {
        QFAIL(qPrintable(QStringLiteral("fails with seed %1: TARVIK_SESSION_SEED=%1 %2")
                             .arg(random)
                             .arg(QCoreApplication::applicationFilePath())));
      }
    }
  }
};

QTEST_MAIN(UserSessionsTest)
#include "test_user_sessions.moc"
