// SPDX-License-Identifier: MIT
// The loops' labels go with every setup: stored, replaced, duplicated, imported from a backup
// file and exported to one. The upgrade of a library from before them is test_set_lists'.
#include <QTest>

#include "library/LibraryRig.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {

LoopLabels rig(const QString& first) {
  LoopLabels labels;
  labels.setLabel(0, first);
  labels.setLabel(5, QStringLiteral("Delay; dotted = \"1/8\""));
  return labels;
}

}  // namespace

class LibraryLabelsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void labelsGoWithTheSetup_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("stored") << "store";
    QTest::newRow("its contents replaced") << "replace";
    QTest::newRow("duplicated") << "duplicate";
    QTest::newRow("exported to a file and imported from it") << "file";
  }
  void labelsGoWithTheSetup() {
    QFETCH(QString, way);
    QTemporaryDir dir;
    SetupLibrary::Opened opened = SetupLibrary::open(dir.filePath(QStringLiteral("lib.sqlite")));
    QVERIFY2(opened.library, qPrintable(opened.error));
    SetupStore& setups = opened.library->setups();
    Setup live = sampleSetup(QStringLiteral("Live"), 1);
    live.labels = rig(QStringLiteral("Fuzz"));
    QVERIFY(setups.store(live).ok());
    QString read = QStringLiteral("Live");
    LoopLabels expected = live.labels;
    if (way == "replace") {
      expected = rig(QStringLiteral("Wah"));
      QVERIFY(setups.replace(read, sampleBytes(2), live.names, expected).ok());
    } else if (way == "duplicate") {
      read = QStringLiteral("Live copy");
      QVERIFY(setups.duplicate(QStringLiteral("Live"), read).ok());
    } else if (way == "file") {
      const QString path = dir.filePath(QStringLiteral("Gig.tvk"));
      QVERIFY(writeFile(path, *opened.library->exportSetup(QStringLiteral("Live")).value));
      read = QStringLiteral("Gig");
      QVERIFY(opened.library->importFiles({path}, IfExists::Refuse).ok());
    }
    const Result<Setup> setup = setups.setup(read);
    QVERIFY2(setup.ok(), qPrintable(setup.error));
    QCOMPARE(setup.value->labels, expected);
  }

  void labelsTheRulesRefuseAreNotStored() {
    QTemporaryDir dir;
    SetupLibrary::Opened opened = SetupLibrary::open(dir.filePath(QStringLiteral("lib.sqlite")));
    Setup live = sampleSetup(QStringLiteral("Live"), 1);
    live.labels.setLabel(2, QStringLiteral("Fuzz\nWah"));
    const Outcome outcome = opened.library->setups().store(live);
    QVERIFY(outcome.error.contains(QStringLiteral("loop 3")));
    QVERIFY(!opened.library->setups().setup(QStringLiteral("Live")).ok());
  }
};

QTEST_GUILESS_MAIN(LibraryLabelsTest)
#include "test_library_labels.moc"
