// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QBrush>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>
#include <numeric>

#include "config/Configuration.h"
#include "config/ui/PresetMatrixTab.h"
#include "config/ui/SubmitButton.h"
#include "config/ui/WrappingHeader.h"
#include "tests/config/PresetMatrixSupport.h"

using namespace tarvik;
using namespace tarvik::testing;
using tarvik::SubmitButton;

class PresetMatrixTest : public QObject, MatrixUser {
  Q_OBJECT
 private Q_SLOTS:
  void headers() {
    Configuration configuration;
    PresetMatrixModel model(configuration);
    QCOMPARE(model.rowCount(), 128);
    QCOMPARE(model.columnCount(), 11);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("LOOP1"));
    QCOMPARE(model.headerData(7, Qt::Horizontal).toString(), QStringLiteral("LOOP8"));
    QCOMPARE(model.headerData(8, Qt::Horizontal).toString(),
             QStringLiteral("Controll Change (IAM over Midi)"));
    QCOMPARE(model.headerData(9, Qt::Horizontal).toString(),
             QStringLiteral("Programm Change Output"));
    QCOMPARE(model.headerData(10, Qt::Horizontal).toString(), QStringLiteral("Name"));
    QCOMPARE(model.headerData(0, Qt::Vertical).toInt(), 1);
    QCOMPARE(model.headerData(127, Qt::Vertical).toInt(), 128);
  }

  // The row header measures only its widest label; it must come out as wide as a header that
  // measures them all, also after a change of font.
  void rowHeaderIsAsWideAsMeasuringEveryLabel() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    auto* view = tab.findChild<QTableView*>(QStringLiteral("ScrollBox1"));
    QHeaderView measuringAll(Qt::Vertical);
    measuringAll.setModel(view->model());
    const QSize before = measuringAll.sizeHint();
    QCOMPARE(view->verticalHeader()->sizeHint(), before);
    QFont bigger = view->font();
    bigger.setPointSize(bigger.pointSize() * 2);
    view->verticalHeader()->setFont(bigger);
    measuringAll.setFont(bigger);
    QVERIFY(measuringAll.sizeHint().width() > before.width());
    QCOMPARE(view->verticalHeader()->sizeHint(), measuringAll.sizeHint());
  }

  // A label under "LOOP2" is fitted into the column rather than widening it: whole words on at
  // most two lines, a word too wide for the column or what is left over ending in "…", never a
  // word cut on its left; the tip holds the label whole.
  void loopLabelsFitTheirHeading_data() {
    QTest::addColumn<QString>("label");
    QTest::newRow("a short label stays whole") << "Fuzz";
    QTest::newRow("a word wider than the column") << "Tube Screamer";
    QTest::newRow("twenty-four characters in four words") << "Tube Screamer Deluxe 808";
    QTest::newRow("twenty-four characters in one word") << "Verzerrerundboosterpedal";
  }
  void loopLabelsFitTheirHeading() {
    QFETCH(QString, label);
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    auto* view = tab.findChild<QTableView*>(QStringLiteral("ScrollBox1"));
    auto* header = dynamic_cast<WrappingHeader*>(view->horizontalHeader());
    QVERIFY(header != nullptr);
    const int width = header->sectionSize(1);
    const int height = header->sizeHint().height();
    QVERIFY(configuration.renameLoop(1, label).isEmpty());

    QCOMPARE(header->sectionSize(1), width);
    const QString full = QStringLiteral("LOOP2\n") + label;
    QCOMPARE(view->model()->headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(), full);
    // As the header measures and draws: in bold, the font of a selected column's heading.
    QFont bold = header->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int room =
        width - 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const QStringList lines = WrappingHeader::fitted(metrics, full, room).split(u'\n');
    QVERIFY2(lines.size() >= 2 && lines.size() <= 3, qPrintable(lines.join('|')));
    QCOMPARE(lines.first(), QStringLiteral("LOOP2"));
    for (const QString& line : lines)
      QVERIFY2(metrics.horizontalAdvance(line) <= room, qPrintable(line));
    const QStringList shown = lines.mid(1).join(u' ').split(u' ');
    const QStringList words = label.split(u' ');
    const QString mark = QStringLiteral("…");
    for (qsizetype i = 0; i < shown.size(); ++i) {
      QVERIFY2(i < words.size(), qPrintable(lines.join('|')));
      if (shown[i] == words[i]) continue;
      QVERIFY2(shown[i].endsWith(mark) && shown[i].size() > 1 &&
                   words[i].startsWith(shown[i].chopped(1)),
               qPrintable(lines.join('|')));
    }
    if (!lines.last().endsWith(mark)) QCOMPARE(lines.mid(1).join(u' '), label);
    // The header grows by the label's lines and no more: the captions beside it take two.
    QVERIFY(header->sizeHint().height() <= height + metrics.lineSpacing());
  }

  void startStateShowsLoop8AndNoProgram() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    QCOMPARE(tab.model().index(0, 8).data().toString(), QStringLiteral("LOOP 8"));
    QCOMPARE(tab.model().index(0, 9).data().toString(), QString());
    QCOMPARE(tab.model().index(0, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Unchecked);
    QCOMPARE(configuration.presetPayload(), filled(0));
    QCOMPARE(configuration.ccMapPayload(), filled(8));
    QCOMPARE(configuration.pcRemapPayload(), filled(255));
  }

  // Whatever changes the configuration shows in the grid, and the model reports exactly the
  // cells and roles that changed, so that the view repaints no more than it must.
  void configurationChangesReachTheView_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QRect>("cells");  // columns as x, rows as y
    QTest::addColumn<int>("role");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("shown");
    QTest::newRow("downloaded presets")
        << "presets" << QRect(0, 0, 8, 128) << int(Qt::CheckStateRole) << 77 << 7
        << QVariant(int(Qt::Checked));
    QTest::newRow("one loop clicked") << "click" << QRect(0, 5, 8, 1) << int(Qt::CheckStateRole)
                                      << 5 << 3 << QVariant(int(Qt::Checked));
    QTest::newRow("one CC entry chosen") << "cc" << QRect(8, 3, 1, 1) << int(Qt::DisplayRole) << 3
                                         << 8 << QVariant(QStringLiteral("LOOP 2"));
    QTest::newRow("one program chosen") << "pc" << QRect(9, 9, 1, 1) << int(Qt::DisplayRole) << 9
                                        << 9 << QVariant(QStringLiteral("none"));
    QTest::newRow("a preset renamed") << "name" << QRect(10, 4, 1, 1) << int(Qt::DisplayRole) << 4
                                      << 10 << QVariant(QStringLiteral("Crunch"));
    QTest::newRow("interlock group changed")
        << "lock" << QRect(0, 0, 8, 128) << int(Qt::BackgroundRole) << 40 << 1
        << QVariant(QBrush(QColor(Qt::red)));
  }
  void configurationChangesReachTheView() {
    QFETCH(QString, change);
    QFETCH(QRect, cells);
    QFETCH(int, role);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QVariant, shown);
    Configuration configuration;
    PresetMatrixModel model(configuration);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    if (change == QLatin1String("presets")) configuration.applyPresets(filled(0x80));
    if (change == QLatin1String("click")) configuration.clickLoop(5, 3);
    if (change == QLatin1String("cc")) configuration.chooseCc(3, 2);
    if (change == QLatin1String("pc")) configuration.choosePcRemap(9, 128);
    if (change == QLatin1String("lock")) setLockMask(configuration, 0x02);
    if (change == QLatin1String("name")) configuration.renamePreset(4, QStringLiteral("Crunch"));

    QCOMPARE(changed.count(), 1);
    const QModelIndex first = changed.first().at(0).toModelIndex();
    const QModelIndex last = changed.first().at(1).toModelIndex();
    QCOMPARE(QRect(QPoint(first.column(), first.row()), QPoint(last.column(), last.row())), cells);
    QVERIFY(changed.first().at(2).value<QList<int>>().contains(role));
    const QVariant data = model.index(row, column).data(role);
    if (role == Qt::CheckStateRole) {
      QCOMPARE(data.toInt(), shown.toInt());
    } else if (role == Qt::BackgroundRole) {
      QCOMPARE(data.value<QBrush>().color(), shown.value<QBrush>().color());
    } else {
      QCOMPARE(data.toString(), shown.toString());
    }
  }

  void interlockFollowsUserInput_data() {
    QTest::addColumn<Input>("input");
    QTest::newRow("mouse") << Input::Mouse;
    QTest::newRow("mouse anywhere in the cell") << Input::BesideTheBox;
    QTest::newRow("keyboard") << Input::Keyboard;
  }
  void interlockFollowsUserInput() {
    QFETCH(Input, input);
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    CountingProxy proxy;
    proxy.setSourceModel(&tab.model());
    tab.view()->setModel(&proxy);
    showTab(tab);
    setLockMask(configuration, 0x06);  // loops 2 and 3
    configuration.applyPresets(filled(0x02));
    const int row = 4;  // preset 5

    // A click or a key press reaches the model before QTest returns.
    userToggle(tab, row, 2, input);
    QCOMPARE(int(configuration.tables().mask(row)), 0x04);

    // The click must reach the model and still leave loop 3 ticked.
    const int requests = proxy.checkRequests;
    userToggle(tab, row, 2, input);
    QCOMPARE(proxy.checkRequests, requests + 1);
    QCOMPARE(int(configuration.tables().mask(row)), 0x04);

    userToggle(tab, row, 0, input);
    QCOMPARE(int(configuration.tables().mask(row)), 0x05);
    userToggle(tab, row, 0, input);
    QCOMPARE(int(configuration.tables().mask(row)), 0x04);

    for (int other = 0; other < PresetTables::kRows; ++other) {
      if (other != row) {
        QCOMPARE(int(configuration.tables().mask(other)), 0x02);
      }
    }
    QCOMPARE(tab.model().index(row, 1).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Unchecked);
    QCOMPARE(tab.model().index(row, 2).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Checked);
  }

  // While the device is busy, no click toggles a box, wherever in the cell.
  void noToggleWhileNotEditable_data() { interlockFollowsUserInput_data(); }
  void noToggleWhileNotEditable() {
    QFETCH(Input, input);
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    showTab(tab);
    tab.setEditable(false);
    userToggle(tab, 3, 0, input);
    QCOMPARE(int(configuration.tables().mask(3)), int(PresetTables().mask(3)));
    tab.setEditable(true);
    userToggle(tab, 3, 0, input);
    QVERIFY(configuration.tables().mask(3) != PresetTables().mask(3));
  }

  void programmaticFillsIgnoreTheInterlock() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    setLockMask(configuration, 0x06);
    configuration.applyPresets(filled(0x86));
    QCOMPARE(configuration.presetPayload(), filled(0x86));
    QCOMPARE(tab.model().index(0, 1).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    QCOMPARE(tab.model().index(0, 2).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);

    PresetTables loaded;
    loaded.setMask(9, 0xFF);
    configuration.setTables(loaded);
    QCOMPARE(int(tab.tables().mask(9)), 0xFF);
    QCOMPARE(int(tab.tables().mask(8)), 0);
    QCOMPARE(tab.model().index(9, 7).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
  }

  void deselectAllButton() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    QCOMPARE(tab.deselectAllButton()->text(), QStringLiteral("Deselect all"));
    setLockMask(configuration, 0x06);
    configuration.applyPresets(filled(0xFF));
    configuration.applyCcMap(filled(5));
    configuration.applyPcRemap(filled(17));
    QTest::mouseClick(tab.deselectAllButton(), Qt::LeftButton);
    QCOMPARE(configuration.presetPayload(), filled(0));
    QCOMPARE(configuration.ccMapPayload(), filled(0));
    QCOMPARE(configuration.pcRemapPayload(), filled(17));
    QCOMPARE(tab.model().index(3, 8).data().toString(), QStringLiteral("-"));
    QCOMPARE(tab.model().index(3, 2).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Unchecked);
  }

  void defaultProgramChangeButton() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    QCOMPARE(tab.defaultProgramChangeButton()->text(), QStringLiteral("Default ProgramChange"));
    QTest::mouseClick(tab.defaultProgramChangeButton(), Qt::LeftButton);
    Payload expected{};
    std::iota(expected.begin(), expected.end(), std::uint8_t{0});
    QCOMPARE(configuration.pcRemapPayload(), expected);
    QCOMPARE(tab.model().index(127, 9).data().toString(), QStringLiteral("128"));
  }

  // The colours follow the record's interlock mask however it changes; a record change that
  // leaves the mask alone repaints nothing.
  void lockColoursFollowTheMask() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    PresetMatrixModel& model = tab.model();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    ConfigRecord record;
    record.lockMask = 0x05;
    configuration.editRecord(record);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.last().at(0).toModelIndex().row(), 0);
    QCOMPARE(changed.last().at(1).toModelIndex().row(), 127);
    for (int row = 0; row < 128; ++row) {
      for (int column = 0; column < 8; ++column) {
        const QVariant background = model.index(row, column).data(Qt::BackgroundRole);
        if (column == 0 || column == 2) {
          QCOMPARE(background.value<QBrush>().color(), QColor(Qt::red));
        } else {
          QVERIFY(!background.isValid());
        }
      }
    }
    record.debounceTime = 90;
    configuration.editRecord(record);
    QCOMPARE(changed.count(), 1);

    std::array<std::uint8_t, tarvik::kConfigRecordSize> received{};
    configuration.applyRecord(received);
    QCOMPARE(changed.count(), 2);
    for (int row = 0; row < 128; ++row) {
      QVERIFY(!model.index(row, 0).data(Qt::BackgroundRole).isValid());
      QVERIFY(!model.index(row, 2).data(Qt::BackgroundRole).isValid());
    }
  }

  void buttonsOfTheTab() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    QCOMPARE(tab.view()->objectName(), QStringLiteral("ScrollBox1"));
    QCOMPARE(tab.submitButton()->objectName(), QStringLiteral("Button3"));
    QCOMPARE(tab.submitButton()->text(), QStringLiteral("Submit to Tarvik"));
    QCOMPARE(tab.saveButton()->objectName(), QStringLiteral("Button8"));
    QCOMPARE(tab.saveButton()->text(), QStringLiteral("Save as File"));
    QCOMPARE(tab.loadButton()->objectName(), QStringLiteral("Button9"));
    QCOMPARE(tab.loadButton()->text(), QStringLiteral("Load from File"));
    QCOMPARE(tab.deselectAllButton()->objectName(), QStringLiteral("Button10"));
    QCOMPARE(tab.defaultProgramChangeButton()->objectName(), QStringLiteral("Button12"));
  }

  // A new count must not move the buttons of the row (a relayout repaints the whole tab widget at
  // every change of the marks), yet every caption must fit, also after the font changed.
  void submitCountKeepsTheLayout() {
    QWidget page;
    auto* row = new QHBoxLayout(&page);
    auto* submit = new SubmitButton(1280);
    row->addWidget(submit);
    row->addWidget(new QPushButton(QStringLiteral("Save as File")));
    page.show();
    QCoreApplication::sendPostedEvents();
    const QPoint save = row->itemAt(1)->widget()->pos();
    const QSize size = submit->size();
    for (int changes : {1, 1280, 7, 0}) {
      submit->showChangeCount(changes);
      QCOMPARE(submit->text(), SubmitButton::caption(changes));
      QCoreApplication::sendPostedEvents(&page, QEvent::LayoutRequest);
    }
    QCOMPARE(submit->size(), size);
    QCOMPARE(row->itemAt(1)->widget()->pos(), save);
    QPushButton widest(SubmitButton::caption(1280), &page);
    QVERIFY(size.width() >= widest.sizeHint().width());

    QFont larger = page.font();
    larger.setPointSize(larger.pointSize() * 2);
    page.setFont(larger);
    QPushButton widestLarger(SubmitButton::caption(1280), &page);
    QVERIFY(submit->width() >= widestLarger.sizeHint().width());
    QVERIFY(submit->width() > size.width());
  }
};

QTEST_MAIN(PresetMatrixTest)
#include "test_preset_matrix.moc"
