// SPDX-License-Identifier: MIT
#include "tools/ui/TestControllerTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace tarvik {
namespace {

QComboBox* numberList(QWidget* parent, const char* name, int count) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  for (int i = 1; i <= count; ++i) box->addItem(QString::number(i));
  box->setCurrentIndex(0);
  return box;
}

QPushButton* sendButton(QWidget* parent, const char* name) {
  auto* button = new QPushButton(QStringLiteral("Send"), parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

}  // namespace

TestControllerTab::TestControllerTab(QWidget* parent)
    : QWidget(parent),
      ComboBox2(numberList(this, "ComboBox2", 16)),
      ComboBox3(numberList(this, "ComboBox3", 128)),
      ComboBox4(numberList(this, "ComboBox4", 128)),
      CheckBox2(new QCheckBox(QStringLiteral("on"), this)),
      Button4(sendButton(this, "Button4")),
      Button5(sendButton(this, "Button5")) {
  CheckBox2->setObjectName(QStringLiteral("CheckBox2"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("Midi Channel:"), this), 0, 0);
  grid->addWidget(ComboBox2, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Progamm Change:"), this), 1, 0);
  grid->addWidget(ComboBox3, 1, 1);
  grid->addWidget(Button4, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Controll Change:"), this), 2, 0);
  grid->addWidget(ComboBox4, 2, 1);
  grid->addWidget(CheckBox2, 2, 2);
  grid->addWidget(Button5, 2, 3);
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(3, 1);

  connect(Button4, &QPushButton::clicked, this,
          [this] { Q_EMIT sendRequested(programChange()); });
  connect(Button5, &QPushButton::clicked, this,
          [this] { Q_EMIT sendRequested(controlChange()); });
}

TestControllerTab::ShortMessage TestControllerTab::programChange() const {
  return {static_cast<std::uint8_t>(0xC0 + ComboBox2->currentIndex()),
          static_cast<std::uint8_t>(ComboBox3->currentIndex()), 0};
}

TestControllerTab::ShortMessage TestControllerTab::controlChange() const {
  return {static_cast<std::uint8_t>(0xB0 + ComboBox2->currentIndex()),
          static_cast<std::uint8_t>(ComboBox4->currentIndex()),
          static_cast<std::uint8_t>(CheckBox2->isChecked() ? 127 : 0)};
}

}  // namespace tarvik
