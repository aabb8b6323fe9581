// SPDX-License-Identifier: MIT
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "RequestFailureRows.h"
#include "firmware/ChangeLog.h"
#include "firmware/ServerFile.h"
#include "firmware/UpdateServerUrl.h"
#include "firmware/network/NetworkUpdateServer.h"
#include "firmware/ui/FirmwareTab.h"
#include "sim/fixtures/FirmwareFixture.h"
#include "sim/fixtures/UpdateServer.h"

using tarvik::ChangeLog;
using tarvik::FirmwareTab;
using tarvik::NetworkUpdateServer;
using tarvik::ServerFile;
using tarvik::fixtures::FirmwareFixture;
using tarvik::fixtures::UpdateServer;

namespace {

constexpr int kWaitMs = 20000;

// A Firmware tab hosting an update check against a local update server.
struct CheckRig {
  UpdateServer server;
  std::unique_ptr<NetworkUpdateServer> network;
  std::unique_ptr<ServerFile> check;
  FirmwareTab tab;
  QPushButton* button6 = nullptr;
  QPushButton* button7 = nullptr;

  explicit CheckRig(const QString& currentVersion = QStringLiteral("1.9")) {
    server.start();
    network = std::make_unique<NetworkUpdateServer>(QUrl(QString::fromStdString(server.baseUrl())));
    check = std::make_unique<ServerFile>(*network, QStringLiteral("changelog.txt"));
    check->setRequestTimeout(60000);  // a test that wants it to run out shortens it
    // As the window wires the core's update check to the tab.
    QObject::connect(&tab, &FirmwareTab::checkRequested, check.get(), &ServerFile::start);
    QObject::connect(check.get(), &ServerFile::runningChanged, &tab, &FirmwareTab::setCheckRunning);
    QObject::connect(check.get(), &ServerFile::fetched, &tab, &FirmwareTab::showChangeLog);
    tab.setCurrentVersion(currentVersion);
    button6 = tab.findChild<QPushButton*>(QStringLiteral("Button6"));
    button7 = tab.findChild<QPushButton*>(QStringLiteral("Button7"));
  }
  void serveChangelog(const QByteArray& body) {
    server.setFile("changelog.txt", body.toStdString());
  }
  // Clicks Button6 and waits for the check's result; true when it succeeded.
  bool clickCheck() {
    QSignalSpy finished(check.get(), &ServerFile::fetched);
    QSignalSpy failed(check.get(), &ServerFile::failed);
    button6->click();
    if (!QTest::qWaitFor([&] { return finished.size() + failed.size() > 0; }, kWaitMs)) {
      return false;
    }
    return finished.size() == 1;
  }
};

}  // namespace

class TestUpdateCheck : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void ordersVersionsAsText_data() {
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("newer") << "2.0"
                           << "1.9" << true;
    QTest::newRow("equal") << "1.9"
                           << "1.9" << true;
    QTest::newRow("older") << "1.8"
                           << "1.9" << false;
    QTest::newRow("1.10 orders before 1.9") << "1.10"
                                            << "1.9" << false;
    QTest::newRow("prefix orders first") << "1"
                                         << "1.9" << false;
    QTest::newRow("longer after its prefix") << "1.9a"
                                             << "1.9" << true;
    QTest::newRow("empty before anything") << ""
                                           << "1.9" << false;
    QTest::newRow("bytes compare unsigned") << QString(QChar(0xE9)) << "z" << true;
  }
  void ordersVersionsAsText() {
    QFETCH(QString, latest);
    QFETCH(QString, current);
    QFETCH(bool, allowed);
    QCOMPARE(ChangeLog::flashAllowed(latest, current), allowed);
  }

  void splitsChangeLog_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("text");
    QTest::newRow("version line then text") << QByteArray("2.0\nfixed A\nfixed B\n") << "2.0"
                                            << "fixed A\r\nfixed B\r\n";
    QTest::newRow("version only") << QByteArray("2.0\n") << "2.0"
                                  << "";
    QTest::newRow("no final break") << QByteArray("2.0") << "2.0"
                                    << "";
    QTest::newRow("empty body") << QByteArray() << ""
                                << "";
    QTest::newRow("empty first line") << QByteArray("\nnotes\n") << ""
                                      << "notes\r\n";
    QTest::newRow("one character per byte") << QByteArray(
                                                   "1.9\nGr\xFC\xDF"
                                                   "e\n")
                                            << "1.9" << QStringLiteral("Gr\u00FC\u00DFe\r\n");
  }
  void splitsChangeLog() {
    QFETCH(QByteArray, body);
    QFETCH(QString, version);
    QFETCH(QString, text);
    const ChangeLog log = ChangeLog::parse(body);
    QCOMPARE(log.latestVersion, version);
    QCOMPARE(log.text, text);
  }

  void checkFillsTheTab_data() {
    QTest::addColumn<QByteArray>("latest");
    QTest::addColumn<bool>("flashEnabled");
    QTest::newRow("2.0 enables") << QByteArray("2.0") << true;
    QTest::newRow("1.9 enables") << QByteArray("1.9") << true;
    QTest::newRow("1.8 disables") << QByteArray("1.8") << false;
    QTest::newRow("1.10 disables") << QByteArray("1.10") << false;
  }
  void checkFillsTheTab() {
    QFETCH(QByteArray, latest);
    QFETCH(bool, flashEnabled);
    CheckRig rig;
    rig.serveChangelog(
        FirmwareFixture::changelog(latest, {"", "- faster preset switching", "- bug fixes"}));
    QVERIFY(rig.clickCheck());
    QCOMPARE(rig.tab.latestVersion(), QString::fromLatin1(latest));
    QCOMPARE(rig.tab.changeLog(), QStringLiteral("\n- faster preset switching\n- bug fixes\n"));
    QCOMPARE(rig.button7->isEnabled(), flashEnabled);
    QVERIFY(rig.button6->isEnabled());
  }

  void emptyChangeLogDisablesFlash() {
    CheckRig rig;
    rig.tab.setFlashButtonEnabled(true);
    rig.serveChangelog(QByteArray());
    QVERIFY(rig.clickCheck());
    QCOMPARE(rig.tab.latestVersion(), QString());
    QCOMPARE(rig.tab.changeLog(), QString());
    QVERIFY(!rig.button7->isEnabled());
  }

  void secondCheckReplaces() {
    CheckRig rig;
    rig.serveChangelog(FirmwareFixture::changelog("2.0", {"first log"}));
    QVERIFY(rig.clickCheck());
    QVERIFY(rig.button7->isEnabled());
    rig.serveChangelog(FirmwareFixture::changelog("1.8", {"second log", "two lines"}));
    QVERIFY(rig.clickCheck());
    QCOMPARE(rig.tab.latestVersion(), QStringLiteral("1.8"));
    QCOMPARE(rig.tab.changeLog(), QStringLiteral("second log\ntwo lines\n"));
    QVERIFY(!rig.button7->isEnabled());
  }

  void failureKeepsPreviousState_data() { tarvik::testing::addRequestFailureRows(); }

  void failureKeepsPreviousState() {
    QFETCH(int, mode);
    QFETCH(bool, stopServer);
    QFETCH(int, timeoutMs);
    QFETCH(QString, textPart);
    CheckRig rig;
    rig.serveChangelog(FirmwareFixture::changelog("2.0", {"notes"}));
    QVERIFY(rig.clickCheck());
    QVERIFY(rig.button7->isEnabled());

    rig.server.setMode(static_cast<UpdateServer::Mode>(mode));
    if (stopServer) {
      rig.server.stop();
    }
    rig.check->setRequestTimeout(timeoutMs);
    QSignalSpy errors(rig.check.get(), &ServerFile::failed);
    QVERIFY(!rig.clickCheck());
    QCOMPARE(errors.size(), 1);
    const QString text = errors.first().first().toString();
    QVERIFY2(text.contains(textPart, Qt::CaseInsensitive), qPrintable(text));
    for (const auto& request : rig.server.requests()) {
      QCOMPARE_NE(request.path, std::string(UpdateServer::kMovedPage));
    }
    QVERIFY(rig.button7->isEnabled());
    QCOMPARE(rig.tab.latestVersion(), QStringLiteral("2.0"));
    QCOMPARE(rig.tab.changeLog(), QStringLiteral("notes\n"));
    QVERIFY(rig.button6->isEnabled());
  }

  void checkButtonLockedWhileRunning() {
    CheckRig rig;
    rig.server.setMode(UpdateServer::Mode::Hang);
    rig.button6->click();
    QVERIFY(rig.check->running());
    QVERIFY(!rig.button6->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(rig.server.requests().size(), std::size_t{1}, kWaitMs);
    rig.button6->click();  // disabled: no second request
    rig.check->start();    // and the check itself refuses to overlap
    QCOMPARE(rig.server.requests().size(), std::size_t{1});
    rig.server.stop();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.check->running(), kWaitMs);
    QVERIFY(rig.button6->isEnabled());
  }

  void linkBusyKeepsCheckAway() {
    CheckRig rig;
    rig.serveChangelog(FirmwareFixture::changelog("2.0", {"notes"}));
    rig.tab.setLinkBusy(true);
    QVERIFY(!rig.button6->isEnabled());
    rig.button6->click();
    QVERIFY(!rig.check->running());
    rig.tab.setLinkBusy(false);
    QVERIFY(rig.button6->isEnabled());
  }

  // A check started before a transfer or a flash took the link may end while it holds the link.
  // Its result waits: once the link is free the flash button follows it, unless a flash ended
  // meanwhile, whose own rule (on again after a failure, off after a write) comes later.
  void checkEndingWhileLinkBusy_data() {
    QTest::addColumn<bool>("enabledBefore");
    QTest::addColumn<QByteArray>("latest");
    QTest::addColumn<int>("flashEnd");  // -1: a transfer held the link; else the flash's decision
    QTest::addColumn<bool>("enabledAfter");
    QTest::newRow("newer version after a transfer") << false << QByteArray("2.0") << -1 << true;
    QTest::newRow("older version after a transfer") << true << QByteArray("1.8") << -1 << false;
    QTest::newRow("failed flash enables again") << true << QByteArray("1.8") << 1 << true;
    QTest::newRow("written flash stays off") << true << QByteArray("2.0") << 0 << false;
  }
  void checkEndingWhileLinkBusy() {
    QFETCH(bool, enabledBefore);
    QFETCH(QByteArray, latest);
    QFETCH(int, flashEnd);
    QFETCH(bool, enabledAfter);
    CheckRig rig;
    rig.tab.setFlashButtonEnabled(enabledBefore);
    rig.serveChangelog(FirmwareFixture::changelog(latest, {"notes"}));
    QSignalSpy finished(rig.check.get(), &ServerFile::fetched);
    rig.button6->click();
    QVERIFY(rig.check->running());
    rig.tab.setLinkBusy(true);
    if (flashEnd >= 0) {
      rig.tab.setFlashButtonEnabled(false);  // as the flash does when it starts
    }
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(rig.tab.latestVersion(), QString::fromLatin1(latest));
    QVERIFY(!rig.button7->isEnabled());
    QVERIFY(!rig.button6->isEnabled());
    if (flashEnd >= 0) {
      rig.tab.setFlashButtonEnabled(flashEnd == 1);  // the flash decides before it frees the link
    }
    rig.tab.setLinkBusy(false);
    QCOMPARE(rig.button7->isEnabled(), enabledAfter);
    QVERIFY(rig.button6->isEnabled());
  }

  void builtInServerServesBothFiles() {
    const QUrl base = tarvik::updateServerBaseUrl();
    QVERIFY2(base.isValid(), qPrintable(base.toString()));
    QVERIFY(base.scheme() == QLatin1String("http") || base.scheme() == QLatin1String("https"));
    QVERIFY(base.path().endsWith(QLatin1String("/downloads/tarvik/")));
    QCOMPARE(base.resolved(QUrl(QStringLiteral("changelog.txt"))).path(),
             base.path() + QStringLiteral("changelog.txt"));
  }

  void tabStartsEmpty() {
    FirmwareTab tab;
    auto* button6 = tab.findChild<QPushButton*>(QStringLiteral("Button6"));
    auto* button7 = tab.findChild<QPushButton*>(QStringLiteral("Button7"));
    auto* memo = tab.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    QVERIFY(button6 && button7 && memo);
    QVERIFY(tab.findChild<QLabel*>(QStringLiteral("currentVersion")));
    QVERIFY(tab.findChild<QLabel*>(QStringLiteral("latestVersion")));
    QCOMPARE(button6->text(), QStringLiteral("check for updates "));
    QVERIFY(button6->isEnabled());  // the window runs the check it asks for
    QVERIFY(!button7->isEnabled());
    QCOMPARE(tab.latestVersion(), QString());
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  }

  void flashButtonAsksForTheFlash() {
    FirmwareTab tab;
    QSignalSpy requested(&tab, &FirmwareTab::flashRequested);
    auto* button7 = tab.findChild<QPushButton*>(QStringLiteral("Button7"));
    button7->click();
    QCOMPARE(requested.size(), 0);  // disabled at start
    tab.setFlashButtonEnabled(true);
    button7->click();
    QCOMPARE(requested.size(), 1);
  }
};

QTEST_MAIN(TestUpdateCheck)
#include "test_update_check.moc"
