// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace tarvik {

// The "Test Midi Controller" tab: sends one program change or control change as a foot
// controller would. The window decides where the message goes; the tab only forms it.
class TestControllerTab : public QWidget {
  Q_OBJECT
 public:
  explicit TestControllerTab(QWidget* parent = nullptr);

  struct ShortMessage {
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;
  };
  ShortMessage programChange() const;
  ShortMessage controlChange() const;

  QPushButton* programSendButton() const { return programSend_; }
  QPushButton* controlSendButton() const { return controlSend_; }

 Q_SIGNALS:
  void sendRequested(tarvik::TestControllerTab::ShortMessage message);

 private:
  QComboBox* channel_;
  QComboBox* program_;
  QComboBox* controller_;
  QCheckBox* controlOn_;
  QPushButton* programSend_;
  QPushButton* controlSend_;
};

}  // namespace tarvik

Q_DECLARE_METATYPE(tarvik::TestControllerTab::ShortMessage)
