// SPDX-License-Identifier: MIT
// Random sessions of what a user does, run on the window over its core against the in-memory
// Tarvik: edits, undo and redo, files, connects, submits, restores, library setups and the close
// question, with a device that answers late, refuses or stops answering, over a link that loses
// frames (one in N, or those that come too close), loses or mangles replies, or swallows a
// block's first submit, any of these together. The model beside the
// window holds what the device is known to hold (its replies), what the last file or setup
// holds and the editors' undo history. After every step: the unsaved marker shows exactly when
// the editors hold something nothing else holds; the window closes without a question only when
// nothing would be lost; undo and redo bring back what the model kept; "verified" is logged only
// when the device holds the file, and a confirmed submit only when it holds what was sent; the
// device changes only under an action that sends.
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

// The link between the program and the device, as the device's faults make it. The device's
// clock moves only as frames arrive, by the gaps in turn: the frames come that far apart, and no
// real time passes.
struct Link {
  SimFaults faults;
  std::vector<int> gaps{0};

  bool clean() const {
    return faults.dropFastMs == 0 && faults.loseFrameEvery == 0 && faults.loseReplyEvery == 0 &&
           faults.corruptReplyEvery == 0 && !faults.ignoreFirstSubmit;
  }
  // Each fault on in some links, several at once in others, at rates that a transfer of a few
  // hundred frames and a few thousand reply bytes meets, or now and then gets through.
  static Link bad() {
    Link link;
    link.faults.loseReplyEvery = *rc::gen::element(0, 0, 0, 0, 3, 30, 200);
    link.faults.loseFrameEvery = *rc::gen::element(0, 0, 0, 0, 40, 3000, 20000);
    link.faults.dropFastMs = *rc::gen::element(0, 0, 0, 0, 2, 3);
    link.faults.corruptReplyEvery = *rc::gen::element(0, 0, 0, 0, 1, 90, 6000, 30000);
    link.faults.ignoreFirstSubmit = *rc::gen::element(false, false, true);
    // Frames too close for the buffer all the time, never, or one in two or four.
    link.gaps = *rc::gen::element(std::vector{1}, std::vector{3}, std::vector{5}, std::vector{4, 0},
                                  std::vector{3, 3, 3, 1}, std::vector{2, 4});
    return link;
  }
  void show(std::ostream& os) const {
    os << "link: lose reply " << faults.loseReplyEvery << ", lose frame " << faults.loseFrameEvery
       << ", drop faster than " << faults.dropFastMs << " ms, corrupt " << faults.corruptReplyEvery
       << (faults.ignoreFirstSubmit ? ", ignore first submits" : "") << ", gaps";
    for (int gap : gaps) os << ' ' << gap;
  }
};

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
  // The link's faults, beside the device's own (fault).
  Link link;
  std::size_t nextGap = 0;
  std::int64_t linkMs = 0;
  // A confirmed submit of a block the device did not then hold as sent.
  std::optional<Block> wronglyConfirmed;

  Session() {
    rig.form->buildDeviceTabs();
    rig.form->library().open(dir.filePath(QStringLiteral("library.sqlite")));
    rig.button("libraryButton")->click();
    for (Block block : kBlocks) start[at(block)] = bytes(block);
    QObject::connect(&machine, &TransferMachine::received, rig.form.get(),
                     [this](Block block, const QByteArray&) { device[at(block)] = bytes(block); });
    QObject::connect(&machine, &TransferMachine::stored, rig.form.get(),
                     [this](Block block, const QByteArray& sent) {
                       device[at(block)] = sent;
                       // Worth only what the device holds at that moment.
                       if (held(block) != sent) wronglyConfirmed = block;
                     });
    rig.device().setClock([this] { return linkMs += link.gaps[nextGap++ % link.gaps.size()]; });
  }
  QByteArray held(Block block) {
    const TarvikContents& c = rig.device().contents();
    auto bytesOf = [](const auto& items) {
      return QByteArray(reinterpret_cast<const char*>(items.data()), qsizetype(items.size()));
    };
    switch (block) {
      case Block::Presets:
        return bytesOf(c.presets);
      case Block::CcMap:
        return bytesOf(c.ccMap);
      case Block::PcRemap:
        return bytesOf(c.pcRemap);
      case Block::Record:
        return bytesOf(c.configRecord);
    }
    return {};
  }
  // Over a bad link, settle() hands the replies over one by one: it must see what each led to.
  void applyFaults() {
    SimFaults faults = link.faults;
    faults.silent = fault == Fault::Silent;
    faults.submitStatus = fault == Fault::Refuses ? 0x00 : 0xFF;
    rig.device().setFaults(faults);
    rig.tarvik().holdReplies(fault == Fault::Late || !link.clean());
  }
  // Runs what the event loop holds now, and what that posts in turn, without waiting for any
  // timer: a reply handed over is dealt with once this returns.
  static void runPosted() {
    for (int pass = 0; pass < 2; ++pass) {
      QEventLoop loop;
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
      loop.exec();
    }
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
  // the program deals with it as it comes (a late identify reply resumes the handshake). Over a
  // bad link each reply goes over when it is due, and a wait for a reply the device does not
  // hold runs out at once: the device answers as the command arrives, so none is coming.
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
    const bool stepwise = fault != Fault::Late && !link.clean();
    auto awaitsDevice = [&] {
      return std::any_of(std::begin(timers), std::end(timers),
                         [](QTimer* timer) { return timer->isActive(); });
    };
    for (int round = 0; round < 400 && (waiting() || tarvik.pendingReplies() > 0); ++round) {
      if (!waiting() || (stepwise && tarvik.pendingReplies() > 0)) {
        tarvik.releaseHeld();
        stepwise ? runPosted() : QCoreApplication::processEvents();
        continue;
      }
      if (stepwise) {
        // What the last reply led to comes first: a chain of a restore starts the next one from
        // the event loop.
        runPosted();
        if (!waiting() || tarvik.pendingReplies() > 0 || !awaitsDevice()) continue;
      }
      QEventLoop loop;
      if (stepwise || fault == Fault::Late || fault == Fault::Silent) {
        for (QTimer* timer : timers) {
          if (!timer->isActive()) continue;
          QObject::connect(timer, &QTimer::timeout, &loop, &QEventLoop::quit);
          timer->start(0);
        }
      }
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
int restoresOverBadLinks = 0;
int verifiedOverBadLinks = 0;

// A step the user takes; `sends` steps may change the device, no other may.
template <bool sends>
struct Step : Command {
  void run(const Model&, Session& s) const override {
    ++stepsRun;
    const TarvikContents device = s.rig.device().contents();
    const Snapshot before = s.snapshot();
    act(s, before);
    if (s.wronglyConfirmed) {
      // What the device made of the commands, beside what the window said of them; the bytes it
      // skipped outside a command only counted.
      RC_LOG() << "confirmed block " << at(*s.wronglyConfirmed) << "; the device's log:\n";
      int skipped = 0;
      for (const std::string& line : s.rig.device().log()) {
        if (line.starts_with("ignored byte")) {
          ++skipped;
          continue;
        }
        if (skipped > 0) RC_LOG() << "  (" << std::exchange(skipped, 0) << " bytes skipped)\n";
        RC_LOG() << "  " << line << '\n';
      }
      for (const QString& line : s.rig.logMessages()) RC_LOG() << line.toStdString() << '\n';
    }
    RC_ASSERT(!s.wronglyConfirmed);
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
    QPushButton* connect = s.rig.button("Button1");
    if (!connect->isEnabled()) {
      // Once an identify named other firmware (as a mangled reply may), only the firmware tab
      // is offered, for good: the press does nothing, and asks nothing.
      const std::size_t asked = s.rig.dialogs.saveQuestions.size();
      connect->click();
      RC_ASSERT(s.rig.dialogs.saveQuestions.size() == asked);
      RC_ASSERT(!s.rig.core->busy());
      return;
    }
    if (!ask(s, [&] { connect->click(); })) return;
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
    bool failed = false;
    for (const QString& line : s.rig.logMessages().mid(lines)) {
      RC_LOG() << line.toStdString() << std::endl;
      verified = verified || line.contains(QStringLiteral("verified"));
      failed = failed || line.startsWith(QStringLiteral("Restore failed"));
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
    const bool reached = s.rig.form->portsOpened();
    if (s.link.clean()) {
      RC_ASSERT(verified == (s.fault == Fault::None && reached));
    } else {
      // A bad link may cost the restore, never its word: it ends one way or the other.
      RC_ASSERT(!verified || reached);
      if (reached) RC_ASSERT(verified != failed);
      restoresOverBadLinks += reached ? 1 : 0;
      verifiedOverBadLinks += verified ? 1 : 0;
    }
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
    s.fault = fault;
    s.applyFaults();
  }
  void show(std::ostream& os) const override { os << "device fault " << static_cast<int>(fault); }
};

// A bad link, or a good one again.
struct SetLink : Step<false> {
  Link link = *rc::gen::arbitrary<bool>() ? Link::bad() : Link();
  void act(Session& s, const Snapshot&) const override {
    s.link = link;
    s.applyFaults();
  }
  void show(std::ostream& os) const override { link.show(os); }
};

// The suite's run: a few seconds under the sanitizers. The soak's: longer sessions, more of them.
constexpr std::uint64_t kSuiteSeed = 20261209;
constexpr int kSuiteSessions = 25;
constexpr int kSuiteSteps = 60;
constexpr int kSoakSessions = 50;
constexpr int kSoakSteps = 80;

// What the sessions of a run may do.
template <typename... Ts>
struct Steps {};
constexpr Steps<EditCell, EditSetting, Rename, DeselectAll, UndoRedo, UndoRedo, SaveFile, LoadFile,
                Connect, Submit, RestoreFile, RestoreFile, StoreSetup, OpenSetup, Close, SetFault,
                SetLink>
    kEveryStep;
// The transfers alone, which sessions of every step bring to a bad link too seldom in a short
// run: edits for something to send, a file to restore.
constexpr Steps<EditCell, EditSetting, SaveFile, Connect, Submit, RestoreFile, RestoreFile,
                RestoreFile, SetFault, SetLink>
    kTransfers;

// Runs on `seed` and prints it with the outcome: RapidCheck's own "Using configuration" line
// names its default seed, which this run does not use.
template <typename... Ts>
bool checkSessions(Steps<Ts...>, const std::string& name, std::uint64_t seed, int sessions,
                   int maxSteps) {
  rc::detail::TestParams params;
  params.seed = seed;
  params.maxSuccess = sessions;
  params.maxSize = maxSteps;
  rc::detail::TestMetadata metadata;
  metadata.id = metadata.description = name;
  const rc::detail::TestResult result = rc::detail::checkTestable(
      [] {
        ++sessionsRun;
        Session session;
        // Half the sessions start on a bad link, which a session may change as it goes on.
        if (*rc::gen::arbitrary<bool>()) {
          session.link = Link::bad();
          RC_LOG() << "start on a ";
          session.link.show(RC_LOG());
          RC_LOG() << std::endl;
          session.applyFaults();
        }
        rc::state::check(Model{}, session, rc::state::gen::execOneOfWithArgs<Ts...>());
      },
      metadata, params);
  rc::detail::printResultMessage(result, std::cerr);
  std::cerr << " (" << name << ", seed " << seed << "; " << sessionsRun << " sessions, " << stepsRun
            << " steps, " << restoresOverBadLinks << " restores over a bad link of which "
            << verifiedOverBadLinks << " verified so far)" << std::endl;
  return result.template is<rc::detail::SuccessResult>();
}

// The suite's fixed seed; TARVIK_SESSION_SEED=N the soak's run of seed N; TARVIK_SOAK_MINUTES=N
// random seeds for that long.
template <typename... Ts>
void runSessions(Steps<Ts...> steps, const std::string& name) {
  const QByteArray minutes = qgetenv("TARVIK_SOAK_MINUTES");
  const QByteArray seed = qgetenv("TARVIK_SESSION_SEED");
  if (!seed.isEmpty()) {
    QVERIFY(checkSessions(steps, name, seed.toULongLong(), kSoakSessions, kSoakSteps));
  } else if (minutes.isEmpty()) {
    QVERIFY(checkSessions(steps, name, kSuiteSeed, kSuiteSessions, kSuiteSteps));
  }
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(minutes.toInt());
  while (std::chrono::steady_clock::now() < end) {
    const std::uint64_t random = QRandomGenerator::global()->generate64();
    std::cerr << "seed " << random << std::endl;
    if (!checkSessions(steps, name, random, kSoakSessions, kSoakSteps)) {
      QFAIL(qPrintable(QStringLiteral("fails with seed %1: TARVIK_SESSION_SEED=%1 %2")
                           .arg(random)
                           .arg(QCoreApplication::applicationFilePath())));
    }
  }
}

}  // namespace

class UserSessionsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase() {
    // Closing the window is one step of a session, not the end of the test.
    QApplication::setQuitOnLastWindowClosed(false);
    // The offscreen platform's word on every Library window shown says nothing here.
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
          if (!text.startsWith(QStringLiteral("This plugin does not support"))) {
            previous(type, context, text);
          }
        });
  }
  void sessionsKeepTheUsersWork() { runSessions(kEveryStep, "user sessions"); }
  void transfersKeepTheirWordOverBadLinks() { runSessions(kTransfers, "transfers"); }
};

QTEST_MAIN(UserSessionsTest)
#include "test_user_sessions.moc"
