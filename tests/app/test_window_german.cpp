// SPDX-License-Identifier: MIT
// The window as a German user sees it: the program's German and Qt's own, every caption whole
// in the window's fixed size, and no text that escaped the translation.
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTableView>

#include "WindowRig.h"
#include "config/ui/PresetMatrixModel.h"
#include "config/ui/WrappingHeader.h"
#include "i18n/TranslationLoader.h"
#include "support/TsFile.h"

using namespace tarvik;
using namespace tarvik::testing;

namespace {

// The room a push button needs for its caption, as it measures itself (without the least width
// the style gives any button).
int neededWidth(const QPushButton& button) {
  const QStyle* style = button.style();
  return button.fontMetrics().size(Qt::TextShowMnemonic, button.text()).width() +
         style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button) +
         2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button);
}

// Every caption of the window a user can read, each with where it is.
QList<std::pair<QString, QString>> captionsOf(QWidget& window) {
  QList<std::pair<QString, QString>> found;
  auto place = [](const QWidget* widget) {
    return QString::fromLatin1(widget->metaObject()->className()) + ' ' + widget->objectName();
  };
  for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
    found.append({place(button), button->text()});
  for (QLabel* label : window.findChildren<QLabel*>()) found.append({place(label), label->text()});
  for (QGroupBox* group : window.findChildren<QGroupBox*>())
    found.append({place(group), group->title()});
  for (QAbstractSpinBox* box : window.findChildren<QAbstractSpinBox*>())
    found.append({place(box), box->property("suffix").toString().trimmed()});
  for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
    for (int tab = 0; tab < tabs->count(); ++tab) found.append({place(tabs), tabs->tabText(tab)});
  }
  for (QHeaderView* header : window.findChildren<QHeaderView*>()) {
    if (header->orientation() != Qt::Horizontal) continue;
    for (int column = 0; column < header->count(); ++column)
      found.append({place(header), header->model()->headerData(column, Qt::Horizontal).toString()});
  }
  for (QAction* action : window.findChildren<QAction*>())
    found.append({QStringLiteral("action ") + action->objectName(), action->text()});
  return found;
}

// True when `text` is the German of some entry, %1 and the like standing for any value.
bool inCatalogue(const QString& text, const std::vector<TsEntry>& catalogue) {
  for (const TsEntry& entry : catalogue) {
    if (entry.translation == text) return true;
    static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
    if (!entry.translation.contains(placeholder)) continue;
    QStringList pieces = entry.translation.split(placeholder);
    for (QString& piece : pieces) piece = QRegularExpression::escape(piece);
    const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(pieces.join(QStringLiteral(".*"))));
    if (pattern.match(text).hasMatch()) return true;
  }
  return false;
}

}  // namespace

class WindowGermanTest : public QObject {
  Q_OBJECT

  TranslationLoader loader_;
  std::vector<TsEntry> catalogue_;
  std::unique_ptr<WindowRig> rig_;

  QWidget* page(const QString& name) const { return rig_->form->findChild<QWidget*>(name); }

 private Q_SLOTS:
  // One window for every test, made after the German was installed, as the program makes it.
  void initTestCase() {
    QVERIFY(loader_.install(TranslationLoader::Language::German));
    QString error;
    catalogue_ = readTsFile(QStringLiteral(TARVIK_TS_FILE), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    rig_ = std::make_unique<WindowRig>();
    QVERIFY(rig_->connectAndDownload());
    QCOMPARE(rig_->visibleTabs(), kAllTabs);
  }
  void cleanupTestCase() { rig_.reset(); }

  void captions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("german");
    QTest::newRow("connect") << "Button1"
                             << "Mit Tarvik verbinden und auslesen";
    QTest::newRow("submit of the presets") << "Button3"
                                           << "Auf Tarvik übertragen";
    QTest::newRow("save") << "Button8"
                          << "Als Datei speichern";
    QTest::newRow("back up everything") << "backupButton"
                                        << "Alles sichern...";
    QTest::newRow("setup sheet") << "setupSheetButton"
                                 << "Setupblatt...";
    QTest::newRow("update check") << "Button6"
                                  << "Nach Updates suchen ";
    QTest::newRow("test controller's send") << "Button4"
                                            << "Senden";
    QTest::newRow("omni mode") << "CheckBox1"
                               << "Omni-Modus";
    QTest::newRow("the traffic window, not road traffic") << "TrafficButton"
                                                          << "MIDI-Datenverkehr...";
  }
  void captions() {
    QFETCH(QString, name);
    QFETCH(QString, german);
    QCOMPARE(rig_->find<QAbstractButton>(qPrintable(name))->text(), german);
  }

  void titleTabsAndLog() {
    QVERIFY2(
        rig_->form->windowTitle().startsWith(QStringLiteral("Tarvik-Konfigurator - Version: 1.9")),
        qPrintable(rig_->form->windowTitle()));
    auto* tabs = rig_->find<QTabWidget>("PageControl1");
    QCOMPARE(tabs->tabText(tabs->indexOf(page(QStringLiteral("TabSheet3")))),
             QStringLiteral("Erweiterte Einstellungen"));
    // The transfer machine's lines come from the core's QtCore classes.
    QVERIFY2(rig_->logMessages().contains(QStringLiteral("Tarvik gefunden! Firmware-Version: 1.9")),
             qPrintable(rig_->logMessages().join('\n')));
  }

  void standardButtonsSpeakQtsGerman() {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm"))
      QSKIP("Qt's German (Debian: qt6-translations-l10n) is not installed");
    QDialogButtonBox box(QDialogButtonBox::Save | QDialogButtonBox::Discard |
                         QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(box.button(QDialogButtonBox::Save)->text(), QStringLiteral("Speichern"));
    QCOMPARE(box.button(QDialogButtonBox::Discard)->text(), QStringLiteral("Verwerfen"));
  }

  void everyCaptionIsWhole_data() {
    QTest::addColumn<QString>("tab");
    for (const QString& tab : kAllTabs) QTest::newRow(qPrintable(tab)) << tab;
  }
  void everyCaptionIsWhole() {
    QFETCH(QString, tab);
    auto* tabs = rig_->find<QTabWidget>("PageControl1");
    QWidget* shown = page(tab);
    tabs->setCurrentWidget(shown);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QStringList cut;
    if (shown->layout() != nullptr &&
        (shown->layout()->totalMinimumSize().width() > shown->width() ||
         shown->layout()->totalMinimumSize().height() > shown->height())) {
      cut << tab + QStringLiteral(" needs more room than the window gives it");
    }
    for (QWidget* widget : shown->findChildren<QWidget*>()) {
      if (!widget->isVisibleTo(shown)) continue;
      const auto* button = qobject_cast<QPushButton*>(widget);
      const int needed =
          button != nullptr ? neededWidth(*button)
          : qobject_cast<QCheckBox*>(widget) != nullptr || qobject_cast<QLabel*>(widget) != nullptr
              ? widget->sizeHint().width()
              : 0;
      if (widget->width() < needed)
        cut << QStringLiteral("%1 \"%2\"")
                   .arg(widget->objectName(), widget->property("text").toString());
    }
    for (QHeaderView* header : shown->findChildren<QHeaderView*>()) {
      if (header->orientation() != Qt::Horizontal) continue;
      const int margins =
          2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
      for (int column = 0; column < header->count(); ++column) {
        // A heading wraps at its spaces: each word must fit across, the lines down.
        const QString text = header->model()->headerData(column, Qt::Horizontal).toString();
        const int room = header->sectionSize(column);
        const int high = header->fontMetrics()
                             .boundingRect(QRect(0, 0, room - margins, QWIDGETSIZE_MAX),
                                           Qt::AlignCenter | Qt::TextWordWrap, text)
                             .height();
        if (WrappingHeader::widestWord(header->fontMetrics(), text) + margins > room ||
            high > header->height())
          cut << QStringLiteral("column \"%1\"").arg(text);
      }
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join('\n')));
  }

  // At the window's own size the matrix shows every column: nothing to scroll across to, the
  // last heading whole, and still room for a name of twenty characters.
  void matrixFitsAcross() {
    auto* tabs = rig_->find<QTabWidget>("PageControl1");
    tabs->setCurrentWidget(page(QStringLiteral("TabSheet2")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    auto* matrix = rig_->find<QTableView>("ScrollBox1");
    QHeaderView* columns = matrix->horizontalHeader();
    QCOMPARE(matrix->horizontalScrollBar()->maximum(), 0);
    QVERIFY2(
        columns->length() <= matrix->viewport()->width(),
        qPrintable(
            QStringLiteral("%1 > %2").arg(columns->length()).arg(matrix->viewport()->width())));
    const int margins =
        2 * columns->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, columns);
    QVERIFY(columns->sectionSize(PresetMatrixModel::kNameColumn) >
            matrix->fontMetrics().horizontalAdvance(QStringLiteral("Clean Chorus + Delay")) +
                margins);
  }

  void everyTabTitleShows() {
    auto* tabs = rig_->find<QTabWidget>("PageControl1");
    const QWidget* corner = tabs->cornerWidget(Qt::TopRightCorner);
    QVERIFY(tabs->tabBar()->sizeHint().width() + corner->sizeHint().width() <= tabs->width());
  }

  // A caption written without tr() reads the same in both languages and is no German of the
  // catalogue: it shows up here, by where it is.
  void everyCaptionComesFromTheCatalogue() {
    static const QRegularExpression wordless(QStringLiteral("^[\\d\\s\\W]*$"));
    QStringList strays;
    for (const auto& [where, text] : captionsOf(*rig_->form)) {
      if (wordless.match(text).hasMatch() || inCatalogue(text, catalogue_)) continue;
      strays << QStringLiteral("%1: \"%2\"").arg(where, text);
    }
    QVERIFY2(strays.isEmpty(), qPrintable(strays.join('\n')));
  }
};

QTEST_MAIN(WindowGermanTest)
#include "test_window_german.moc"
