// SPDX-License-Identifier: MIT
// The preset matrix's name column: the ways a user names a preset there, what the column
// refuses, and the lock while the device is busy.
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "config/Configuration.h"
#include "config/ui/EditHistory.h"
#include "config/ui/PresetMatrixTab.h"
#include "tests/config/PresetMatrixSupport.h"

using namespace tarvik;
using namespace tarvik::testing;

namespace {

constexpr int kName = PresetMatrixModel::kNameColumn;
// Generous: nothing waits this long unless the thing waited for never comes.
constexpr int kWaitMs = 20000;

// Counts the values the view hands the model for a name, taken or not.
class NameRequests : public QIdentityProxyModel {
 public:
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (index.column() == kName && role == Qt::EditRole) ++count;
    return QIdentityProxyModel::setData(index, value, role);
  }
  int count = 0;
};

}  // namespace

class PresetNamesColumnTest : public QObject, MatrixUser {
  Q_OBJECT

  // Opens the name editor of `row` as the user would; nullptr when none opened.
  static QLineEdit* openNameEditor(PresetMatrixTab& tab, int row, Opening opening) {
    QTableView* view = tab.view();
    const QModelIndex cell = view->model()->index(row, kName);
    view->scrollTo(cell);
    const QPoint centre = view->visualRect(cell).center();
    switch (opening) {
      case Opening::Click:
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
        break;
      case Opening::DoubleClick:
        // The first click of the two, then the second, which the platform reports as double.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
        break;
      case Opening::F2:
      case Opening::Enter:
        view->setCurrentIndex(cell);
        pressKey(opening == Opening::F2 ? Qt::Key_F2 : Qt::Key_Return);
        break;
      case Opening::Typing:
        view->setCurrentIndex(cell);
        pressKey(Qt::Key_C);
        break;
    }
    return qobject_cast<QLineEdit*>(view->indexWidget(cell));
  }

  // Return in the editor: the delegate hands the text over once the key has been handled, and
  // closes the editor right after.
  static bool commit(PresetMatrixTab& tab, QLineEdit* editor) {
    QSignalSpy closed(tab.view()->itemDelegateForColumn(kName),
                      &QAbstractItemDelegate::closeEditor);
    QTest::keyClick(editor, Qt::Key_Return);
    return !closed.isEmpty() || closed.wait(kWaitMs);
  }

 private Q_SLOTS:
  // Every way to open the editor, and what the typed text becomes: one undo step that undo
  // takes back, the cell showing the name all along.
  void aNameIsEditedOnPurpose_data() {
    QTest::addColumn<Opening>("opening");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::newRow("F2") << Opening::F2 << "Crunch"
                        << "Crunch";
    QTest::newRow("Enter") << Opening::Enter << "Crunch"
                           << "Crunch";
    QTest::newRow("double click") << Opening::DoubleClick << "Crunch"
                                  << "Crunch";
    QTest::newRow("typing starts the name with the key") << Opening::Typing << "runch"
                                                         << "crunch";
    QTest::newRow("spaces around the name are dropped") << Opening::F2 << "  Lead  "
                                                        << "Lead";
    QTest::newRow("typing stops at 40 characters")
        << Opening::F2 << QString(45, QLatin1Char('x')) << QString(40, QLatin1Char('x'));
  }
  void aNameIsEditedOnPurpose() {
    QFETCH(Opening, opening);
    QFETCH(QString, typed);
    QFETCH(QString, name);
    Configuration configuration;
    EditHistory history(configuration);
    PresetMatrixTab tab(configuration);
    showTab(tab);
    const int row = 4;

    QLineEdit* editor = openNameEditor(tab, row, opening);
    QVERIFY(editor != nullptr);
    QVERIFY(editor->hasFocus());
    QTest::keyClicks(editor, typed);
    QVERIFY(commit(tab, editor));

    QCOMPARE(configuration.names().name(row), name);
    QCOMPARE(tab.model().index(row, kName).data().toString(), name);
    QVERIFY(configuration.names().name(row - 1).isEmpty());
    QCOMPARE(history.stack().count(), 1);
    QCOMPARE(history.stack().undoText(), QStringLiteral("edit preset names"));
    history.undo();
    QVERIFY(configuration.names().isEmpty());
    QVERIFY(tab.model().index(row, kName).data().toString().isEmpty());
  }

  // A click only picks the row: an editor there would take the arrow keys meant for the grid.
  void aClickOpensNoNameEditor() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    showTab(tab);
    QVERIFY(openNameEditor(tab, 2, Opening::Click) == nullptr);
    QCOMPARE(tab.view()->currentIndex(), tab.model().index(2, kName));
  }

  // What the rename refuses, the column refuses: nothing changes and no step is recorded.
  void refusedNamesChangeNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("taken");
    QTest::newRow("a name of 40 characters") << QString(40, QLatin1Char('n')) << false << true;
    QTest::newRow("a name of 41 characters") << QString(41, QLatin1Char('n')) << false << false;
    QTest::newRow("a line break") << "Lead\nTone" << false << false;
    QTest::newRow("a tab") << "Lead\tTone" << false << false;
    QTest::newRow("any name while locked") << "Crunch" << true << false;
  }
  void refusedNamesChangeNothing() {
    QFETCH(QString, name);
    QFETCH(bool, locked);
    QFETCH(bool, taken);
    Configuration configuration;
    configuration.renamePreset(7, QStringLiteral("Clean"));
    EditHistory history(configuration);
    PresetMatrixModel model(configuration);
    model.setEditable(!locked);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    QCOMPARE(model.setData(model.index(7, kName), name), taken);
    QCOMPARE(configuration.names().name(7), taken ? name : QStringLiteral("Clean"));
    QCOMPARE(changed.count(), taken ? 1 : 0);
    QCOMPARE(history.stack().count(), taken ? 1 : 0);
  }

  // The editor cannot hold what the column would refuse, so a paste of it leaves the text be.
  void theEditorRefusesAPasteThatCannotBeAName_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a line break") << "Lead\nTone"
                                  << "Crunch";
    QTest::newRow("a control character") << QStringLiteral("Lead\x07") << "Crunch";
    QTest::newRow("more text than room")
        << QString(50, QLatin1Char('y')) << "Crunch" + QString(34, QLatin1Char('y'));
    QTest::newRow("plain text") << " Lead"
                                << "Crunch Lead";
  }
  void theEditorRefusesAPasteThatCannotBeAName() {
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    Configuration configuration;
    configuration.renamePreset(0, QStringLiteral("Crunch"));
    PresetMatrixTab tab(configuration);
    showTab(tab);
    QLineEdit* editor = openNameEditor(tab, 0, Opening::F2);
    QVERIFY(editor != nullptr);
    editor->end(false);
    editor->insert(pasted);
    QCOMPARE(editor->text(), shown);
    QVERIFY(commit(tab, editor));
    QCOMPARE(configuration.names().name(0), shown);
  }

  // Locking the matrix takes the focus from an open editor, which hands its text to the model
  // on the way out; the locked model must not take it.
  void aNameBeingTypedIsNotTakenOnceLocked() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    NameRequests requests;
    requests.setSourceModel(&tab.model());
    tab.view()->setModel(&requests);
    showTab(tab);
    QLineEdit* editor = openNameEditor(tab, 3, Opening::F2);
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, QStringLiteral("Crunch"));
    tab.setEditable(false);
    QCOMPARE(requests.count, 1);
    QVERIFY(configuration.names().isEmpty());
  }
};

QTEST_MAIN(PresetNamesColumnTest)
#include "test_preset_names_column.moc"
