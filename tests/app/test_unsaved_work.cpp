// SPDX-License-Identifier: MIT
// The window's side of the user's work: marks against the device, the submit buttons' counts,
// the modified marker, the question before work is lost, and undo over a download.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>

#include "WindowRig.h"
#include "app/EditTracking.h"
#include "config/TvkFile.h"
#include "config/ui/EditHistory.h"
#include "config/ui/PresetMatrixTab.h"
#include "config/ui/PresetSelectorDelegate.h"
#include "core/CoreParts.h"

using namespace tarvik;
using namespace tarvik::testing;

namespace {

using Answer = Dialogs::SaveAnswer;

PresetMatrixModel& matrix(WindowRig& rig) {
  return rig.form->findChild<PresetMatrixTab*>()->model();
}

// A click on a loop box; false when the rule kept it as it was (a ticked interlock box).
bool toggleLoop(WindowRig& rig, int row, int column) {
  PresetMatrixModel& model = matrix(rig);
  const QModelIndex cell = model.index(row, column);
  const auto was = cell.data(Qt::CheckStateRole).value<Qt::CheckState>();
  model.setData(cell, was == Qt::Checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
  return cell.data(Qt::CheckStateRole).value<Qt::CheckState>() != was;
}

// A loop outside the interlock group, whose box always toggles.
int freeLoop(WindowRig& rig) {
  const std::uint8_t group = rig.core->configuration().record().lockMask;
  for (int loop = 0; loop < PresetTables::kLoops; ++loop) {
    if (((group >> loop) & 1U) == 0) return loop;
  }
  return -1;
}

void chooseCc(WindowRig& rig, int row, int index) {
  PresetMatrixModel& model = matrix(rig);
  model.setData(model.index(row, PresetMatrixModel::kCcColumn), index, Qt::EditRole);
}

bool changed(WindowRig& rig, int row, int column) {
  return matrix(rig).index(row, column).data(PresetMatrixModel::ChangedRole).toBool();
}

// Presses a button that starts a chain and waits for the chain's end.
bool runChain(WindowRig& rig, const char* button) {
  QSignalSpy finished(rig.core.get(), &ConfiguratorCore::transferFinished);
  QTest::mouseClick(rig.button(button), Qt::LeftButton);
  return finished.wait(kWaitMs);
}

struct State {
  PresetTables tables;
  ConfigRecord record;
  bool operator==(const State&) const = default;
};

State state(WindowRig& rig) {
  return {rig.core->configuration().tables(), rig.core->configuration().record()};
}

}  // namespace

class UnsavedWorkTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void marksFollowEditsAndConfirmedSubmits() {
    WindowRig rig;
    rig.form->buildDeviceTabs();
    QPushButton* submit = rig.button("Button3");
    // Before any download nothing is marked, but the edit is held nowhere else.
    QVERIFY(toggleLoop(rig, 0, 0));
    QVERIFY(!changed(rig, 0, 0));
    QCOMPARE(submit->text(), QStringLiteral("Submit to Tarvik"));
    QVERIFY(rig.form->isWindowModified());
    QVERIFY(toggleLoop(rig, 0, 0));
    QVERIFY(!rig.form->isWindowModified());

    QVERIFY(runChain(rig, "Button1"));
    QCOMPARE(submit->text(), QStringLiteral("Submit to Tarvik"));
    const int cc = rig.core->configuration().tables().cc(3);
    const int loop = freeLoop(rig);
    QVERIFY(toggleLoop(rig, 3, loop));
    chooseCc(rig, 3, (cc + 1) % PresetTables::kCcItems);
    QVERIFY(changed(rig, 3, loop));
    QVERIFY(!changed(rig, 3, (loop + 1) % PresetTables::kLoops));
    QVERIFY(changed(rig, 3, PresetMatrixModel::kCcColumn));
    QVERIFY(matrix(rig)
                .index(3, PresetMatrixModel::kCcColumn)
                .data(Qt::FontRole)
                .value<QFont>()
                .bold());
    QCOMPARE(submit->text(), QStringLiteral("Submit to Tarvik (2 changes)"));
    QVERIFY(rig.form->isWindowModified());

    // A changed box in the interlock group's red column keeps a tint of its own.
    auto* lockBox = rig.find<QCheckBox>(qPrintable(QStringLiteral("lockCB%1").arg(loop + 1)));
    lockBox->click();
    const QColor tint = matrix(rig).index(3, loop).data(Qt::BackgroundRole).value<QBrush>().color();
    QVERIFY(tint.isValid() && tint != QColor(Qt::red));
    lockBox->click();

    chooseCc(rig, 3, cc);
    QCOMPARE(submit->text(), QStringLiteral("Submit to Tarvik (1 change)"));
    QVERIFY(runChain(rig, "Button3"));
    QVERIFY(!changed(rig, 3, loop));
    QCOMPARE(submit->text(), QStringLiteral("Submit to Tarvik"));
    QVERIFY(!rig.form->isWindowModified());
  }

  // Presets and settings refused with status 0x00 stay marked; the two tables confirmed by
  // reply 19 do not.
  void refusedSubmitsKeepTheirMarks() {
    WindowRig rig;
    rig.form->buildDeviceTabs();
    QVERIFY(runChain(rig, "Button1"));
    SimFaults faults;
    faults.submitStatus = 0x00;
    rig.device().setFaults(faults);
    const int loop = freeLoop(rig);
    QVERIFY(toggleLoop(rig, 0, loop));
    chooseCc(rig, 0, (rig.core->configuration().tables().cc(0) + 1) % PresetTables::kCcItems);
    auto* omni = rig.find<QCheckBox>("CheckBox1");
    omni->click();
    QCOMPARE(rig.button("Button2")->text(), QStringLiteral("Submit to Tarvik (1 change)"));
    QVERIFY(omni->font().bold());
    QVERIFY(!rig.find<QCheckBox>("CheckBox3")->font().bold());

    QVERIFY(runChain(rig, "Button3"));
    QVERIFY(changed(rig, 0, loop));
    QVERIFY(!changed(rig, 0, PresetMatrixModel::kCcColumn));
    QCOMPARE(rig.button("Button3")->text(), QStringLiteral("Submit to Tarvik (1 change)"));
    QVERIFY(runChain(rig, "Button2"));
    QVERIFY(omni->font().bold());
    QCOMPARE(rig.dialogs.warnings.size(), std::size_t{2});

    rig.device().setFaults(SimFaults{});
    QVERIFY(runChain(rig, "Button2"));
    QVERIFY(!omni->font().bold());
    QCOMPARE(rig.button("Button2")->text(), QStringLiteral("Submit to Tarvik"));
  }

  void closingAsksAndFollowsTheAnswer_data() {
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("chooseFile");
    QTest::addColumn<bool>("closes");
    QTest::newRow("cancel keeps the window") << Answer::Cancel << true << false;
    QTest::newRow("discard closes") << Answer::Discard << true << true;
    QTest::newRow("save writes the tables, then closes") << Answer::Save << true << true;
    QTest::newRow("save cancelled in the file dialog keeps the window")
        << Answer::Save << false << false;
  }
  void closingAsksAndFollowsTheAnswer() {
    QFETCH(Answer, answer);
    QFETCH(bool, chooseFile);
    QFETCH(bool, closes);
    WindowRig rig;
    rig.form->buildDeviceTabs();
    QVERIFY(runChain(rig, "Button1"));
    chooseCc(rig, 1, (rig.core->configuration().tables().cc(1) + 1) % PresetTables::kCcItems);
    const State edited = state(rig);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("evening.tvk"));
    rig.dialogs.saveAnswer = answer;
    rig.dialogs.nextFileName = chooseFile ? path : QString();

    QCOMPARE(rig.form->close(), closes);
    QCOMPARE(rig.dialogs.saveQuestions.size(), std::size_t{1});
    QCOMPARE(rig.form->isVisible(), !closes);
    QVERIFY(state(rig) == edited);
    const bool saved = answer == Answer::Save && chooseFile;
    QCOMPARE(QFile::exists(path), saved);
    if (saved) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.readAll(), TvkFile::serialize(edited.tables));
    }
  }

  // The device keeps no names: a rename is work held nowhere else until undone.
  void aRenameIsUnsavedUntilUndone() {
    WindowRig rig;
    rig.form->buildDeviceTabs();
    QVERIFY(runChain(rig, "Button1"));
    PresetMatrixModel& model = matrix(rig);
    QVERIFY(model.setData(model.index(4, PresetMatrixModel::kNameColumn), QStringLiteral("Crunch"),
                          Qt::EditRole));
    QVERIFY(rig.form->isWindowModified());
    rig.dialogs.saveAnswer = Answer::Cancel;
    QVERIFY(!rig.form->close());
    QCOMPARE(rig.dialogs.saveQuestions.size(), std::size_t{1});

    QAction* undo = rig.form->edits().undoAction();
    undo->trigger();
    QVERIFY(!rig.form->isWindowModified());
    rig.form->edits().redoAction()->trigger();
    QVERIFY(rig.form->isWindowModified());
    undo->trigger();
    QVERIFY(rig.form->close());
    QCOMPARE(rig.dialogs.saveQuestions.size(), std::size_t{1});
  }

  // A double click on a loop's heading names it: one undo step, unsaved work like a preset's
  // name, shown under the heading and in the CC map's items.
  void namingALoopIsOneUndoStep_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("label");  // empty: refused
    QTest::newRow("a name") << "Delay"
                            << "Delay";
    QTest::newRow("spaces at either end dropped") << "  Delay "
                                                  << "Delay";
    QTest::newRow("a turn of the writing direction refused")
        << QString::fromUtf8("Delay\u202E") << "";
  }
  void namingALoopIsOneUndoStep() {
    QFETCH(QString, typed);
    QFETCH(QString, label);
    WindowRig rig;
    rig.form->buildDeviceTabs();
    QVERIFY(runChain(rig, "Button1"));
    auto* tab = rig.form->findChild<PresetMatrixTab*>();
    PresetMatrixModel& model = tab->model();
    auto* selector = qobject_cast<PresetSelectorDelegate*>(
        tab->view()->itemDelegateForColumn(PresetMatrixModel::kCcColumn));
    // The loop preset 1's CC entry switches, so that its cell shows the label too.
    const int loop = rig.core->configuration().tables().cc(0) - 1;
    QVERIFY(loop >= 0 && loop < PresetTables::kLoops);
    const QString device = QStringLiteral("LOOP%1").arg(loop + 1);
    const QString item = QStringLiteral("LOOP %1").arg(loop + 1);
    const QUndoStack& steps = rig.form->edits().history().stack();
    const int stepsBefore = steps.count();

    rig.dialogs.textAnswers.push_back(typed);
    QHeaderView* headings = tab->view()->horizontalHeader();
    QTest::mouseDClick(
        headings->viewport(), Qt::LeftButton, {},
        QPoint(headings->sectionViewportPosition(loop) + headings->sectionSize(loop) / 2,
               headings->height() / 2));
    QCOMPARE(rig.dialogs.textQuestions.size(), std::size_t{1});
    const QString named = label.isEmpty() ? item : QStringLiteral("%1 (%2)").arg(item, label);
    QCOMPARE(model.headerData(loop, Qt::Horizontal).toString(),
             label.isEmpty() ? device : device + u'\n' + label);
    QCOMPARE(selector->items().at(loop + 1), named);
    QCOMPARE(model.index(0, PresetMatrixModel::kCcColumn).data().toString(), named);
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{label.isEmpty() ? 1U : 0U});
    QCOMPARE(steps.count(), stepsBefore + (label.isEmpty() ? 0 : 1));
    QCOMPARE(rig.form->isWindowModified(), !label.isEmpty());
    if (label.isEmpty()) return;

    rig.form->edits().undoAction()->trigger();
    QCOMPARE(model.headerData(loop, Qt::Horizontal).toString(), device);
    QCOMPARE(selector->items().at(loop + 1), item);
    QVERIFY(!rig.form->isWindowModified());
  }

  void noQuestionWhenNothingWouldBeLost() {
    {
      WindowRig fresh;
      QVERIFY(fresh.form->close());
    }
    WindowRig rig;
    rig.form->buildDeviceTabs();
    QVERIFY(runChain(rig, "Button1"));
    // Saved to a file: loading and connecting lose nothing.
    chooseCc(rig, 2, (rig.core->configuration().tables().cc(2) + 1) % PresetTables::kCcItems);
    QTemporaryDir dir;
    rig.dialogs.nextFileName = dir.filePath(QStringLiteral("kept.tvk"));
    QTest::mouseClick(rig.button("Button8"), Qt::LeftButton);
    QVERIFY(!rig.form->isWindowModified());
    QTest::mouseClick(rig.button("Button9"), Qt::LeftButton);
    // Sent to the device: connecting brings back the same.
    QVERIFY(toggleLoop(rig, 2, freeLoop(rig)));
    QVERIFY(rig.form->isWindowModified());
    QVERIFY(runChain(rig, "Button3"));
    QVERIFY(!rig.form->isWindowModified());
    QVERIFY(runChain(rig, "Button1"));
    QVERIFY(rig.form->close());
    QVERIFY(rig.dialogs.saveQuestions.empty());
  }

  void connectAndLoadAskFirstAndCancelLeavesEverything() {
    WindowRig rig;
    rig.form->buildDeviceTabs();
    QVERIFY(runChain(rig, "Button1"));
    chooseCc(rig, 7, (rig.core->configuration().tables().cc(7) + 1) % PresetTables::kCcItems);
    const State edited = state(rig);
    const std::size_t commands = rig.device().log().size();
    const int filesAsked = rig.dialogs.fileFilters.size();
    rig.dialogs.saveAnswer = Answer::Cancel;

    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    QTest::mouseClick(rig.button("Button9"), Qt::LeftButton);
    QTest::mouseClick(rig.button("restoreButton"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.saveQuestions.size(), std::size_t{3});
    QVERIFY(!rig.core->busy());
    QCOMPARE(rig.device().log().size(), commands);
    QCOMPARE(rig.dialogs.fileFilters.size(), filesAsked);
    QVERIFY(state(rig) == edited);
    QVERIFY(changed(rig, 7, PresetMatrixModel::kCcColumn));
  }

  // Edits made before connecting come back with one undo of the download, and are marked
  // against what the device holds.
  void undoAfterADownloadRestoresThePreviousEditors() {
    WindowRig rig;
    rig.form->buildDeviceTabs();
    QVERIFY(toggleLoop(rig, 2, 4));
    rig.find<QCheckBox>("CheckBox1")->click();
    const State before = state(rig);
    QVERIFY(runChain(rig, "Button1"));
    QCOMPARE(rig.dialogs.saveQuestions.size(), std::size_t{1});  // answered Discard
    const State downloaded = state(rig);
    QVERIFY(!(downloaded == before));

    rig.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.form.get()));
    QTest::keyClick(rig.form.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(state(rig) == before);
    QVERIFY(rig.find<QCheckBox>("CheckBox1")->isChecked());
    // Marked is what the device holds otherwise.
    for (int row = 0; row < PresetTables::kRows; ++row) {
      for (int loop = 0; loop < PresetTables::kLoops; ++loop) {
        QCOMPARE(changed(rig, row, loop),
                 before.tables.loopOn(row, loop) != downloaded.tables.loopOn(row, loop));
      }
    }
    QCOMPARE(rig.find<QCheckBox>("CheckBox1")->font().bold(),
             before.record.omniMode != downloaded.record.omniMode);
    QVERIFY(rig.form->isWindowModified());

    QTest::keyClick(rig.form.get(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(state(rig) == downloaded);
    QCOMPARE(rig.button("Button3")->text(), QStringLiteral("Submit to Tarvik"));
    rig.find<QToolButton>("undoButton")->click();
    QVERIFY(state(rig) == before);
    QTest::keyClick(rig.form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(state(rig) == downloaded);
    QVERIFY(!rig.form->isWindowModified());
  }
};

QTEST_MAIN(UnsavedWorkTest)
#include "test_unsaved_work.moc"
