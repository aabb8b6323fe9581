// SPDX-License-Identifier: MIT
// Loading the platform module in the background, as the window does after its first frame.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "app/PlatformModule.h"
#include "firmware/UpdateServer.h"
#include "midi/PlatformMidiService.h"

using namespace tarvik;

namespace {
constexpr int kGiveUpMs = 30000;
}  // namespace

class TestPlatformModule : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void theBuiltModuleMakesAServiceThatWaitsForItsStartAndAnUpdateServer() {
    PlatformModule module(QStringLiteral(TARVIK_PLATFORM_MODULE_PATH));
    QSignalSpy loaded(&module, &PlatformModule::loaded);
    QSignalSpy failed(&module, &PlatformModule::failed);
    module.loadInBackground();
    QVERIFY(loaded.wait(kGiveUpMs));
    QCOMPARE(failed.count(), 0);
    QVERIFY(module.isLoaded());

    const std::unique_ptr<PlatformMidiService> midi = module.createMidiService();
    QVERIFY(midi != nullptr);
    // Not reached yet: the window starts it in the background.
    QCOMPARE(midi->inGetNumDevs(), 0u);
    QCOMPARE(midi->startupProblem(), std::string());
    QVERIFY(module.createUpdateServer(QUrl(QStringLiteral("http://127.0.0.1:9/downloads/tarvik/"))) !=
            nullptr);
  }

  void aMissingModuleFailsSayingSo() {
    const QString path = QDir::temp().filePath(QStringLiteral("no-such-tarvik-module.so"));
    PlatformModule module(path);
    QSignalSpy loaded(&module, &PlatformModule::loaded);
    QSignalSpy failed(&module, &PlatformModule::failed);
    module.loadInBackground();
    QVERIFY(failed.wait(kGiveUpMs));
    QCOMPARE(loaded.count(), 0);
    QVERIFY(!module.isLoaded());
    QCOMPARE(failed.at(0).at(0).toString(), QStringLiteral("the file does not exist"));
    QVERIFY(module.createMidiService() == nullptr);
  }

  void aFileThatIsNoModuleFailsWithTheLoadersReason() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile notALibrary(dir.filePath(QStringLiteral("tarvik-platform.so")));
    QVERIFY(notALibrary.open(QIODevice::WriteOnly));
    notALibrary.write("not a library\n");
    notALibrary.close();
    PlatformModule module(notALibrary.fileName());
    QSignalSpy failed(&module, &PlatformModule::failed);
    module.loadInBackground();
    QVERIFY(failed.wait(kGiveUpMs));
    const QString reason = failed.at(0).at(0).toString();
    QVERIFY2(reason.contains(notALibrary.fileName()), qPrintable(reason));
    QVERIFY(!module.isLoaded());
  }

  void aModuleGoneWhileLoadingReportsNothing() {
    bool reported = false;
    {
      PlatformModule module(QStringLiteral(TARVIK_PLATFORM_MODULE_PATH));
      connect(&module, &PlatformModule::loaded, this, [&] { reported = true; });
      connect(&module, &PlatformModule::failed, this, [&] { reported = true; });
      module.loadInBackground();
    }
    // The report would have been queued by now: the destructor waited for the loading thread.
    QCoreApplication::processEvents();
    QVERIFY(!reported);
  }
};

QTEST_GUILESS_MAIN(TestPlatformModule)
#include "test_platform_module.moc"
