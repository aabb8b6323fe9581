// SPDX-License-Identifier: MIT
// Input through the whole path: the in-memory service's hand-over to this thread, the receive
// buffer cycle of the layer, and the two handlers.
#include <QEventLoop>
#include <QThread>
#include <QtTest>
#include <algorithm>
#include <thread>

#include "midi/InMemoryMidiService.h"
#include "midi/MidiDevices.h"
#include "midi/MidiPorts.h"

using namespace tarvik;

namespace {

using Bytes = std::vector<std::uint8_t>;

// F0, then bytes counting up from `seed` (mod 128), F7: byte 1 is the seed.
Bytes sysEx(std::size_t length, std::uint8_t seed = 0) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i)
    bytes[i] = static_cast<std::uint8_t>((seed + 127 + i) % 128);
  bytes.front() = 0xF0;
  bytes.back() = 0xF7;
  return bytes;
}

struct ShortSeen {
  int port;
  int status;
  int data1;
  int data2;
  bool operator==(const ShortSeen&) const = default;
};

struct SysExSeen {
  int port;
  Bytes bytes;
  const TMemoryStream* stream;
};

long addBufferCalls(const InMemoryMidiService& service, int port) {
  const std::vector<std::string> calls = service.calls();
  return std::count(calls.begin(), calls.end(), "inAddBuffer " + std::to_string(port));
}

// A driver whose reset hands the queued buffer back with bytes still in it.
class ResetWithBytesService : public InMemoryMidiService {
 public:
  std::uint32_t inOpen(MidiHandle& handle, std::uint32_t port, MidiInCallback callback,
                       std::uintptr_t instance) override {
    callback_ = callback;
    instance_ = instance;
    return InMemoryMidiService::inOpen(handle, port, std::move(callback), instance);
  }
  std::uint32_t inAddBuffer(MidiHandle handle, MidiHeader* header) override {
    header_ = header;
    return InMemoryMidiService::inAddBuffer(handle, header);
  }
  std::uint32_t inReset(MidiHandle handle) override {
    const std::uint32_t result = InMemoryMidiService::inReset(handle);
    const std::uint8_t tail[] = {0xF0, 0x42, 0xF7};
    std::copy(std::begin(tail), std::end(tail), header_->data);
    header_->bytesRecorded = 3;
    header_->flags = MHDR_DONE;
    callback_(MIM_LONGDATA, instance_, reinterpret_cast<std::uintptr_t>(header_), 0);
    return result;
  }

 private:
  MidiInCallback callback_;
  std::uintptr_t instance_ = 0;
  MidiHeader* header_ = nullptr;
};

}  // namespace

class TestMidiInput : public QObject {
  Q_OBJECT

  InMemoryMidiService* service_ = nullptr;
  std::unique_ptr<MidiPorts> ports_;
  std::vector<ShortSeen> shorts_;
  std::vector<SysExSeen> sysExes_;
  std::vector<std::string> reported_;

  void recordBoth() {
    ports_->inputs().OnShortMessage = [this](int port, std::uint8_t status, std::uint8_t d1,
                                     std::uint8_t d2) {
      shorts_.push_back({port, status, d1, d2});
    };
    ports_->inputs().OnSysExMessage = [this](int port, const TMemoryStream& stream) {
      sysExes_.push_back({port, stream, &stream});
    };
  }

 private Q_SLOTS:
  void init() {
    auto service = std::make_unique<InMemoryMidiService>();
    service->addInput("Tarvik");
    service->addInput("Keyboard");
    service_ = service.get();
    ports_ = std::make_unique<MidiPorts>(std::move(service));
    shorts_.clear();
    sysExes_.clear();
    reported_.clear();
    ports_->setErrorReporter([this](const std::string& text) { reported_.push_back(text); });
  }

  void cleanup() {
    ports_.reset();
    service_ = nullptr;
  }

  void shortMessageReachesTheHandlerAsPacked_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("data1");
    QTest::addColumn<int>("data2");
    QTest::newRow("program change, channel 1, program 5") << 0xC0 << 5 << 0;
    QTest::newRow("control change, channel 16") << 0xBF << 7 << 127;
    QTest::newRow("timing clock is handed on too") << 0xF8 << 0 << 0;
  }
  void shortMessageReachesTheHandlerAsPacked() {
    QFETCH(int, status);
    QFETCH(int, data1);
    QFETCH(int, data2);
    recordBoth();
    ports_->inputs().Open(1);
    service_->deliverShort(1, std::uint8_t(status), std::uint8_t(data1), std::uint8_t(data2));
    QTRY_COMPARE_WITH_TIMEOUT(shorts_.size(), std::size_t(1), 5000);
    QCOMPARE(shorts_.front(), (ShortSeen{1, status, data1, data2}));
  }

  void sysExArrivesWholeInOneCall_data() {
    QTest::addColumn<int>("length");
    QTest::newRow("40 bytes in one buffer") << 40;
    QTest::newRow("exactly one full buffer") << 2048;
    QTest::newRow("one byte over a buffer") << 2049;
    QTest::newRow("5000 bytes joined from three buffers") << 5000;
  }
  void sysExArrivesWholeInOneCall() {
    QFETCH(int, length);
    recordBoth();
    ports_->inputs().Open(0);
    const Bytes message = sysEx(std::size_t(length));
    service_->deliverSysEx(0, message);
    const long buffers = (length + 2047) / 2048;
    // Every buffer handed back goes to the service again, after the one that Open queued.
    QTRY_COMPARE_WITH_TIMEOUT(addBufferCalls(*service_, 0), 1 + buffers, 5000);
    QCOMPARE(sysExes_.size(), std::size_t(1));
    QCOMPARE(sysExes_.front().port, 0);
    QCOMPARE(sysExes_.front().bytes, message);
    QCOMPARE(sysExes_.front().bytes.front(), std::uint8_t(0xF0));
    QVERIFY(sysExes_.front().stream->empty());
  }

  void bufferHandedBackEmptyLeavesTheCycle() {
    recordBoth();
    ports_->inputs().Open(0);
    service_->clearCalls();
    ports_->inputs().MidiInCallback(MIM_LONGDATA, 0, 0, 0);
    QCOMPARE(service_->calls(), std::vector<std::string>{});
    // The reset in Close hands the queued buffer back empty: it is not queued again.
    ports_->inputs().Close(0);
    QCOMPARE(service_->calls(), (std::vector<std::string>{"inStop 0", "inReset 0",
                                                          "inUnprepareHeader 0", "inClose 0"}));
    QVERIFY(sysExes_.empty());
  }

  void bytesHandedBackDuringCloseAreDeliveredButNotRequeued() {
    auto service = std::make_unique<ResetWithBytesService>();
    service->addInput("Tarvik");
    InMemoryMidiService* raw = service.get();
    ports_ = std::make_unique<MidiPorts>(std::move(service));
    recordBoth();
    ports_->inputs().Open(0);
    raw->clearCalls();
    ports_->inputs().Close(0);
    QCOMPARE(raw->calls(), (std::vector<std::string>{"inStop 0", "inReset 0", "inUnprepareHeader 0",
                                                     "inClose 0"}));
    QCOMPARE(sysExes_.size(), std::size_t(1));
    QCOMPARE(sysExes_.front().bytes, (Bytes{0xF0, 0x42, 0xF7}));
    QVERIFY(!ports_->inputs().IsOpen(0));
  }

  void withoutASysExHandlerBuffersKeepCycling() {
    ports_->inputs().Open(0);
    service_->deliverSysEx(0, sysEx(3000));
    QTRY_COMPARE_WITH_TIMEOUT(addBufferCalls(*service_, 0), 3L, 5000);
    recordBoth();
    const Bytes next = sysEx(40, 9);
    service_->deliverSysEx(0, next);
    QTRY_COMPARE_WITH_TIMEOUT(sysExes_.size(), std::size_t(1), 5000);
    QCOMPARE(sysExes_.front().bytes, next);
  }

  void sysExWorksAgainAfterCloseAndOpen() {
    recordBoth();
    ports_->inputs().Open(0);
    ports_->inputs().Close(0);
    service_->deliverSysEx(0, sysEx(40));
    ports_->inputs().Open(0);
    const Bytes message = sysEx(100, 3);
    service_->deliverSysEx(0, message);
    QTRY_COMPARE_WITH_TIMEOUT(sysExes_.size(), std::size_t(1), 5000);
    QCOMPARE(sysExes_.front().bytes, message);
  }

  void failedRequeueIsReportedAndACutMessageDoesNotSurviveReopen() {
    recordBoth();
    ports_->inputs().Open(0);
    service_->failNext("inAddBuffer", MidiResult::InvalidHandle);
    service_->deliverSysEx(0, sysEx(3000));
    QTRY_COMPARE_WITH_TIMEOUT(reported_.size(), std::size_t(1), 5000);
    QCOMPARE(reported_.front(), std::string("The specified device handle is invalid."));
    QVERIFY(sysExes_.empty());
    ports_->inputs().Close(0);
    ports_->inputs().Open(0);
    const Bytes message = sysEx(40, 1);
    service_->deliverSysEx(0, message);
    QTRY_COMPARE_WITH_TIMEOUT(sysExes_.size(), std::size_t(1), 5000);
    QCOMPARE(sysExes_.front().bytes, message);
  }

  void handlerErrorsAreReportedAndInputGoesOn() {
    int sysExCalls = 0;
    ports_->inputs().OnShortMessage = [](int, std::uint8_t, std::uint8_t, std::uint8_t) {
      throw TMidiError("short handler failed");
    };
    ports_->inputs().OnSysExMessage = [&sysExCalls](int, const TMemoryStream&) {
      if (++sysExCalls == 1) throw std::runtime_error("sysex handler failed");
    };
    ports_->inputs().Open(0);
    service_->deliverShort(0, 0xC0, 1, 0);
    service_->deliverSysEx(0, sysEx(40));
    service_->deliverSysEx(0, sysEx(40));
    QTRY_COMPARE_WITH_TIMEOUT(sysExCalls, 2, 5000);
    QCOMPARE(reported_, (std::vector<std::string>{"short handler failed", "sysex handler failed"}));
  }

  void eachPortKeepsItsOrder() {
    std::vector<std::pair<int, int>> seen;  // (port, tag)
    ports_->inputs().OnShortMessage = [&seen](int port, std::uint8_t, std::uint8_t d1, std::uint8_t) {
      seen.emplace_back(port, d1);
    };
    ports_->inputs().OnSysExMessage = [&seen](int port, const TMemoryStream& stream) {
      seen.emplace_back(port, stream[1]);
    };
    ports_->inputs().Open(0);
    ports_->inputs().Open(1);
    for (std::uint8_t tag = 0; tag < 20; ++tag) {
      const int port = tag % 3 == 0 ? 1 : 0;
      if (tag % 2 == 0)
        service_->deliverShort(port, 0xB0, tag, 0);
      else
        service_->deliverSysEx(port, sysEx(tag % 4 == 1 ? 2500 : 30, tag));
    }
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), std::size_t(20), 5000);
    for (int port : {0, 1}) {
      std::vector<int> expected;
      std::vector<int> actual;
      for (int tag = 0; tag < 20; ++tag)
        if ((tag % 3 == 0 ? 1 : 0) == port) expected.push_back(tag);
      for (const auto& [p, tag] : seen)
        if (p == port) actual.push_back(tag);
      QCOMPARE(actual, expected);
    }
  }

  void inputFromAnotherThreadArrivesHereInOrder() {
    std::vector<int> seen;
    bool allOnThisThread = true;
    QThread* const mainThread = QThread::currentThread();
    ports_->inputs().OnShortMessage = [&](int, std::uint8_t, std::uint8_t d1, std::uint8_t d2) {
      allOnThisThread = allOnThisThread && QThread::currentThread() == mainThread;
      seen.push_back(d1 + 128 * d2);
    };
    ports_->inputs().OnSysExMessage = [&](int, const TMemoryStream& stream) {
      allOnThisThread = allOnThisThread && QThread::currentThread() == mainThread;
      seen.push_back(stream[1] + 128 * stream[2]);
    };
    ports_->inputs().Open(0);
    constexpr int kCount = 500;
    InMemoryMidiService* service = service_;
    std::thread sender([service] {
      for (int i = 0; i < kCount; ++i) {
        const auto low = std::uint8_t(i % 128);
        const auto high = std::uint8_t(i / 128);
        if (i % 5 == 0)
          service->deliverSysEx(0, {0xF0, low, high, 0xF7});
        else
          service->deliverShort(0, 0xB0, low, high);
      }
    });
    sender.join();
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), std::size_t(kCount), 10000);
    QVERIFY(allOnThisThread);
    for (int i = 0; i < kCount; ++i) QCOMPARE(seen[std::size_t(i)], i);
  }

  void handlerRunningANestedEventLoopIsNotReentered() {
    int depth = 0;
    int deepest = 0;
    std::vector<int> order;
    InMemoryMidiService* service = service_;
    ports_->inputs().OnSysExMessage = [&](int, const TMemoryStream& stream) {
      ++depth;
      deepest = std::max(deepest, depth);
      order.push_back(stream[1]);
      if (stream[1] == 1) {
        // Like a modal box: more input arrives and the event loop runs before the handler ends.
        service->deliverSysEx(0, {0xF0, 2, 0xF7});
        service->deliverShort(0, 0xC0, 3, 0);
        QEventLoop nested;
        QMetaObject::invokeMethod(&nested, &QEventLoop::quit, Qt::QueuedConnection);
        nested.exec();
        QCOMPARE(order, std::vector<int>{1});
      }
      --depth;
    };
    ports_->inputs().OnShortMessage = [&](int, std::uint8_t, std::uint8_t d1, std::uint8_t) {
      deepest = std::max(deepest, depth + 1);
      order.push_back(d1);
    };
    ports_->inputs().Open(0);
    service_->deliverSysEx(0, {0xF0, 1, 0xF7});
    QTRY_COMPARE_WITH_TIMEOUT(order.size(), std::size_t(3), 5000);
    QCOMPARE(order, (std::vector<int>{1, 2, 3}));
    QCOMPARE(deepest, 1);
  }

  void inputOfAClosedOrStoppedPortIsDropped() {
    recordBoth();
    service_->deliverShort(0, 0xC0, 1, 0);
    ports_->inputs().Open(0);
    ports_->inputs().Close(0);
    service_->deliverShort(0, 0xC0, 2, 0);
    ports_->inputs().Open(0);
    service_->deliverShort(0, 0xC0, 3, 0);
    QTRY_COMPARE_WITH_TIMEOUT(shorts_.size(), std::size_t(1), 5000);
    QCOMPARE(shorts_.front().data1, 3);
  }
};

QTEST_GUILESS_MAIN(TestMidiInput)
#include "test_midi_input.moc"
