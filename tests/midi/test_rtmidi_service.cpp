// SPDX-License-Identifier: MIT
// The RtMidi service must come up on any machine, with or without a MIDI system; what it lists
// depends on the machine, so the checks hold for any count.
#include <jack/jack.h>

#include <QtTest>
#include <cstring>
#include <mutex>
#include <thread>

#include "midi/MidiLog.h"
#include "midi/RtMidiService.h"

namespace {
// Reaching a JACK server that is slow to answer takes a while on a loaded machine.
constexpr int kWaitMs = 30000;
}  // namespace

using namespace tarvik;

class TestRtMidiService : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void startsAndListsConsistently() {
    RtMidiService service;
    const std::uint32_t inputs = service.inGetNumDevs();
    const std::uint32_t outputs = service.outGetNumDevs();
    qInfo("API \"%s\": %u inputs, %u outputs; problem: \"%s\"", service.apiName().c_str(), inputs,
          outputs, service.startupProblem().c_str());
    std::string name;
    for (std::uint32_t port = 0; port < inputs; ++port) {
      QCOMPARE(service.inGetDevCaps(port, name), MidiResult::NoError);
      QVERIFY(!name.empty());
    }
    for (std::uint32_t port = 0; port < outputs; ++port) {
      QCOMPARE(service.outGetDevCaps(port, name), MidiResult::NoError);
      QVERIFY(!name.empty());
    }
    QCOMPARE(service.inGetDevCaps(inputs, name), MidiResult::BadDeviceId);
    QCOMPARE(service.outGetDevCaps(outputs, name), MidiResult::BadDeviceId);
    // A service without any MIDI system says why; one with ports has nothing to say.
    if (inputs + outputs > 0) QVERIFY(service.startupProblem().empty());
    if (service.apiName().empty()) QVERIFY(!service.startupProblem().empty());
  }

  // Started later and in the background, the service lists and opens nothing until it says, on
  // its own thread, that it has reached a MIDI system or found none; then it has an API or a
  // reason. Asking it to start again while it starts changes nothing.
  void aServiceStartedInTheBackgroundSaysWhenItHasStarted() {
    RtMidiService service(RtMidiService::Start::Later);
    QCOMPARE(service.inGetNumDevs(), 0u);
    QCOMPARE(service.outGetNumDevs(), 0u);
    QVERIFY(service.apiName().empty());
    QVERIFY(service.startupProblem().empty());
    MidiHandle handle = kNoHandle;
    QCOMPARE(service.outOpen(handle, 0), MidiResult::BadDeviceId);

    service.startInBackground();
    service.startInBackground();
    QCOMPARE(service.inGetNumDevs(), 0u);
    QEventLoop loop;
    int reports = 0;
    QThread* reportedOn = nullptr;
    service.whenStarted([&] {
      ++reports;
      reportedOn = QThread::currentThread();
      loop.quit();
    });
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    QCOMPARE(reports, 1);
    QCOMPARE(reportedOn, QThread::currentThread());
    QVERIFY(service.apiName().empty() != service.startupProblem().empty());
    // Asked again once started, it answers at once.
    service.whenStarted([&] { ++reports; });
    QCOMPARE(reports, 2);
  }

  // A service that goes while it is still reaching the MIDI system waits for that and reports
  // to nobody.
  void aServiceGoneBeforeItStartedReportsToNobody() {
    int reports = 0;
    {
      RtMidiService service(RtMidiService::Start::Later);
      service.startInBackground();
      service.whenStarted([&] { ++reports; });
    }
    QCoreApplication::processEvents();
    QCOMPARE(reports, 0);
  }

  void portsPastTheListAndUnknownHandlesAreRefused() {
    RtMidiService service;
    const std::uint32_t outputs = service.outGetNumDevs();
    const std::uint32_t inputs = service.inGetNumDevs();
    MidiHandle handle = kNoHandle;
    QCOMPARE(service.outOpen(handle, outputs), MidiResult::BadDeviceId);
    QCOMPARE(service.inOpen(handle, inputs, {}, 0), MidiResult::BadDeviceId);
    QCOMPARE(handle, kNoHandle);
    MidiHeader header;
    QCOMPARE(service.outShortMsg(kNoHandle, 0x05C0), MidiResult::InvalidHandle);
    QCOMPARE(service.outLongMsg(kNoHandle, &header), MidiResult::InvalidHandle);
    QCOMPARE(service.outClose(kNoHandle), MidiResult::InvalidHandle);
    QCOMPARE(service.inClose(kNoHandle), MidiResult::InvalidHandle);
    std::string text;
    QCOMPARE(service.getErrorText(MidiResult::InvalidHandle, text), MidiResult::NoError);
    QCOMPARE(text, std::string("The specified device handle is invalid."));
  }

  // What JACK writes about itself, from whatever thread, comes through the library category
  // one line at a time, and not onto standard error.
  void jacksOwnLinesComeThroughTheLibraryCategory() {
    static QStringList said;
    static std::mutex mutex;
    said.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext& context, const QString& text) {
          if (context.category && std::strcmp(context.category, kMidiLibraryCategory) == 0) {
            std::lock_guard lock(mutex);
            said << text;
          }
        });
    routeLibraryOutput();
    qputenv("JACK_DEFAULT_SERVER", "tarvik-no-such-server");
    std::thread([] {
      if (jack_client_t* client = jack_client_open("probe", JackNoStartServer, nullptr))
        jack_client_close(client);
    }).join();
    qunsetenv("JACK_DEFAULT_SERVER");
    qInstallMessageHandler(previous);
    std::lock_guard lock(mutex);
    QVERIFY2(!said.filter(QStringLiteral("Cannot connect to server")).isEmpty(),
             qPrintable(said.join('\n')));
    for (const QString& line : said) QVERIFY(!line.isEmpty() && !line.contains('\n'));
  }
};

QTEST_GUILESS_MAIN(TestRtMidiService)
#include "test_rtmidi_service.moc"
