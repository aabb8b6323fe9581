// SPDX-License-Identifier: MIT
// The hub on its own: buffer filling and splitting, waiting for buffers, reset and close.
#include <QtTest>
#include <array>

#include "midi/InputHub.h"

using namespace tarvik;

namespace {

struct Delivery {
  std::uint32_t message;
  std::uintptr_t instance;
  std::vector<std::uint8_t> bytes;  // SysEx: the buffer's recorded bytes
  std::uint32_t packed;             // short message
  bool done;
};

struct Buffer {
  explicit Buffer(std::uint32_t size) : memory(size) {
    header.data = memory.data();
    header.bufferLength = size;
  }
  std::vector<std::uint8_t> memory;
  MidiHeader header;
};

}  // namespace

class TestInputHub : public QObject {
  Q_OBJECT

  std::vector<Delivery> seen_;

  MidiInCallback recorder() {
    return
        [this](std::uint32_t message, std::uintptr_t instance, std::uintptr_t p1, std::uintptr_t) {
          Delivery delivery{message, instance, {}, 0, false};
          if (message == MIM_LONGDATA) {
            const auto* header = reinterpret_cast<const MidiHeader*>(p1);
            delivery.bytes.assign(header->data, header->data + header->bytesRecorded);
            delivery.done = (header->flags & MHDR_DONE) != 0;
          } else {
            delivery.packed = static_cast<std::uint32_t>(p1);
          }
          seen_.push_back(delivery);
        };
  }

 private Q_SLOTS:
  void init() { seen_.clear(); }

  void longMessageFillsSeveralBuffers_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("bufferSize");
    QTest::addColumn<QList<int>>("pieces");
    QTest::newRow("fits one buffer") << 10 << 16 << QList<int>{10};
    QTest::newRow("exactly one buffer") << 16 << 16 << QList<int>{16};
    QTest::newRow("spills into a third buffer") << 40 << 16 << QList<int>{16, 16, 8};
  }
  void longMessageFillsSeveralBuffers() {
    QFETCH(int, length);
    QFETCH(int, bufferSize);
    QFETCH(QList<int>, pieces);
    InputHub hub;
    hub.openPort(7, recorder(), 3);
    hub.start(7);
    std::vector<std::unique_ptr<Buffer>> buffers;
    for (int i = 0; i < pieces.size(); ++i) {
      buffers.push_back(std::make_unique<Buffer>(std::uint32_t(bufferSize)));
      QVERIFY(hub.addBuffer(7, &buffers.back()->header));
    }
    std::vector<std::uint8_t> message(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) message[std::size_t(i)] = std::uint8_t(i);
    hub.postSysEx(7, message);
    QTRY_COMPARE_WITH_TIMEOUT(seen_.size(), std::size_t(pieces.size()), 5000);
    std::vector<std::uint8_t> joined;
    for (int i = 0; i < pieces.size(); ++i) {
      const Delivery& delivery = seen_[std::size_t(i)];
      QCOMPARE(delivery.message, MIM_LONGDATA);
      QCOMPARE(delivery.instance, std::uintptr_t(3));
      QCOMPARE(int(delivery.bytes.size()), pieces[i]);
      QCOMPARE(delivery.done, i == pieces.size() - 1);
      QVERIFY(!buffers[std::size_t(i)]->header.queued);
      joined.insert(joined.end(), delivery.bytes.begin(), delivery.bytes.end());
    }
    QCOMPARE(joined, message);
    QCOMPARE(hub.queuedBuffers(7), std::size_t(0));
  }

  void portWithoutABufferWaitsAndKeepsItsOrder() {
    InputHub hub;
    hub.openPort(1, recorder(), 0);
    hub.openPort(2, recorder(), 1);
    hub.start(1);
    hub.start(2);
    hub.postSysEx(1, {0xF0, 0x11, 0xF7});
    hub.postShort(1, 0x05C0);
    hub.postShort(2, 0x07B0);
    // Port 2 is not held up by port 1's SysEx, which waits for a buffer...
    QTRY_COMPARE_WITH_TIMEOUT(seen_.size(), std::size_t(1), 5000);
    QCOMPARE(seen_[0].instance, std::uintptr_t(1));
    QCOMPARE(seen_[0].packed, 0x07B0u);
    // ...and port 1's short message stays behind it.
    QCoreApplication::processEvents();
    QCOMPARE(seen_.size(), std::size_t(1));
    Buffer buffer(64);
    QVERIFY(hub.addBuffer(1, &buffer.header));
    QTRY_COMPARE_WITH_TIMEOUT(seen_.size(), std::size_t(3), 5000);
    QCOMPARE(seen_[1].bytes, (std::vector<std::uint8_t>{0xF0, 0x11, 0xF7}));
    QCOMPARE(seen_[2].packed, 0x05C0u);
  }

  void resetHandsBuffersBackEmptyBeforeItReturns() {
    InputHub hub;
    hub.openPort(1, recorder(), 0);
    hub.start(1);
    Buffer first(8);
    Buffer second(8);
    first.header.bytesRecorded = 5;
    QVERIFY(hub.addBuffer(1, &first.header));
    QVERIFY(hub.addBuffer(1, &second.header));
    hub.postShort(1, 0x01C0);
    hub.reset(1);
    QCOMPARE(seen_.size(), std::size_t(2));
    for (const Delivery& delivery : seen_) {
      QCOMPARE(delivery.message, MIM_LONGDATA);
      QVERIFY(delivery.bytes.empty());
    }
    QVERIFY(!first.header.queued);
    QCOMPARE(hub.queuedBuffers(1), std::size_t(0));
    // The pending short message went with the reset.
    QCoreApplication::processEvents();
    QCOMPARE(seen_.size(), std::size_t(2));
  }

  void inputOutsideStartAndStopIsDropped() {
    InputHub hub;
    hub.openPort(1, recorder(), 0);
    hub.postShort(1, 0x01C0);
    hub.start(1);
    hub.postShort(1, 0x02C0);
    hub.stop(1);
    hub.postShort(1, 0x03C0);
    hub.start(1);
    hub.postShort(1, 0x04C0);
    hub.postShort(99, 0x05C0);
    QTRY_COMPARE_WITH_TIMEOUT(seen_.size(), std::size_t(1), 5000);
    QCOMPARE(seen_[0].packed, 0x04C0u);
  }

  void closeForgetsEverythingOfThePort() {
    InputHub hub;
    hub.openPort(1, recorder(), 0);
    hub.start(1);
    Buffer buffer(8);
    QVERIFY(hub.addBuffer(1, &buffer.header));
    hub.postShort(1, 0x01C0);
    hub.closePort(1);
    QVERIFY(!hub.isOpen(1));
    QVERIFY(!buffer.header.queued);
    hub.postShort(1, 0x02C0);
    QCoreApplication::processEvents();
    QVERIFY(seen_.empty());
  }

  void bufferThatCannotTakeInputIsRefused_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("alreadyQueued");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("usable buffer") << 8 << false << true;
    QTest::newRow("buffer of no bytes") << 0 << false << false;
    QTest::newRow("buffer already queued") << 8 << true << false;
  }
  void bufferThatCannotTakeInputIsRefused() {
    QFETCH(int, size);
    QFETCH(bool, alreadyQueued);
    QFETCH(bool, accepted);
    InputHub hub;
    hub.openPort(1, recorder(), 0);
    Buffer buffer(static_cast<std::uint32_t>(size));
    buffer.header.queued = alreadyQueued;
    QCOMPARE(hub.addBuffer(1, &buffer.header), accepted);
    QCOMPARE(hub.queuedBuffers(1), std::size_t(accepted ? 1 : 0));
    QVERIFY(!hub.addBuffer(2, &buffer.header));
  }

  void emptySysExIsNeverHandedOver() {
    InputHub hub;
    hub.openPort(1, recorder(), 0);
    hub.start(1);
    Buffer buffer(8);
    QVERIFY(hub.addBuffer(1, &buffer.header));
    hub.postSysEx(1, {});
    hub.postShort(1, 0x09C0);
    QTRY_COMPARE_WITH_TIMEOUT(seen_.size(), std::size_t(1), 5000);
    QCOMPARE(seen_[0].message, MIM_DATA);
    QCOMPARE(hub.queuedBuffers(1), std::size_t(1));
  }
};

QTEST_GUILESS_MAIN(TestInputHub)
#include "test_input_hub.moc"
