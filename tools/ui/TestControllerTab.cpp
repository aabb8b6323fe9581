// SPDX-License-Identifier: MIT
#include "tools/ui/TestControllerTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringListModel>

namespace tarvik {
namespace {

QComboBox* numberList(QWidget* parent, const char* name, int count) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  QStringList numbers;
  numbers.reserve(count);
  for (int i = 1; i <= count; ++i) numbers.append(QString::number(i));
  // Plain texts: the combo box's own model would make an item object of each.
  box->setModel(new QStringListModel(numbers, box));
  box->setCurrentIndex(0);
  return box;
}

QPushButton* sendButton(QWidget* parent, const char* name) {
  auto* button = new QPushButton(TestControllerTab::tr("Send"), parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

}  // namespace

TestControllerTab::TestControllerTab(QWidget* parent)
    : QWidget(parent),
      channel_(numberList(this, "ComboBox2", 16)),
      program_(numberList(this, "ComboBox3", 128)),
      controller_(numberList(this, "ComboBox4", 128)),
      controlOn_(new QCheckBox(tr("on"), this)),
      programSend_(sendButton(this, "Button4")),
      controlSend_(sendButton(this, "Button5")) {
  controlOn_->setObjectName(QStringLiteral("CheckBox2"));
  // Captions that make sense only beside their row: the names say what each sends.
  programSend_->setAccessibleName(tr("Send program change"));
  controlSend_->setAccessibleName(tr("Send control change"));
  controlOn_->setAccessibleName(tr("Control change on"));

  auto* grid = new QGridLayout(this);
  // Each label names the list beside it, for screen readers too.
  auto labelled = [this, grid](const QString& caption, QComboBox* list, int row) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(list);
    grid->addWidget(label, row, 0);
    grid->addWidget(list, row, 1);
  };
  labelled(tr("Midi Channel:"), channel_, 0);
  labelled(tr("Progamm Change:"), program_, 1);
  grid->addWidget(programSend_, 1, 3);
  labelled(tr("Controll Change:"), controller_, 2);
  grid->addWidget(controlOn_, 2, 2);
  grid->addWidget(controlSend_, 2, 3);
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(3, 1);

  connect(programSend_, &QPushButton::clicked, this,
          [this] { Q_EMIT sendRequested(programChange()); });
  connect(controlSend_, &QPushButton::clicked, this,
          [this] { Q_EMIT sendRequested(controlChange()); });
}

TestControllerTab::ShortMessage TestControllerTab::programChange() const {
  return {static_cast<std::uint8_t>(0xC0 + channel_->currentIndex()),
          static_cast<std::uint8_t>(program_->currentIndex()), 0};
}

TestControllerTab::ShortMessage TestControllerTab::controlChange() const {
  return {static_cast<std::uint8_t>(0xB0 + channel_->currentIndex()),
          static_cast<std::uint8_t>(controller_->currentIndex()),
          static_cast<std::uint8_t>(controlOn_->isChecked() ? 127 : 0)};
}

}  // namespace tarvik
