// SPDX-License-Identifier: MIT
// What a screen reader finds: every control of the window and of the traffic window has a name,
// and a marked setting says what the device holds instead.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "WindowRig.h"
#include "app/TrafficWindow.h"

using namespace tarvik;
using namespace tarvik::testing;

namespace {

// Every control of the window one reaches by keyboard or mouse. Parts that hand their focus to
// their owner (a spin box's edit line), and parts of a view that never take it (a table's
// headers and corner button, which the view speaks for), are their owner's.
QList<QWidget*> controlsOf(QWidget* window) {
  QList<QWidget*> controls;
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    if (widget->window() != window) continue;  // another window, or a drop-down's list
    const QWidget* proxy = widget->focusProxy();
    if (proxy != nullptr && proxy->isAncestorOf(widget)) continue;
    if (widget->focusPolicy() == Qt::NoFocus &&
        qobject_cast<QAbstractItemView*>(widget->parentWidget()) != nullptr) {
      continue;
    }
    const bool control = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                         qobject_cast<QComboBox*>(widget) != nullptr ||
                         qobject_cast<QAbstractSpinBox*>(widget) != nullptr ||
                         qobject_cast<QAbstractItemView*>(widget) != nullptr ||
                         qobject_cast<QLineEdit*>(widget) != nullptr ||
                         qobject_cast<QPlainTextEdit*>(widget) != nullptr;
    if (control || widget->focusPolicy() != Qt::NoFocus) controls << widget;
  }
  return controls;
}

QString accessibleText(QWidget* widget, QAccessible::Text text) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  return face != nullptr ? face->text(text) : QString();
}

// The tab page a control sits on, or its window.
const QWidget* pageOf(const QWidget* control) {
  for (const QWidget* up = control; up != nullptr && !up->isWindow(); up = up->parentWidget()) {
    if (up->objectName().startsWith(QLatin1String("TabSheet"))) return up;
  }
  return control->window();
}

QString describe(QWidget* widget) {
  return QStringLiteral("%1 \"%2\" (%3)")
      .arg(QString::fromLatin1(widget->metaObject()->className()), widget->objectName(),
           widget->parentWidget() != nullptr ? widget->parentWidget()->objectName() : QString());
}

}  // namespace

class WindowAccessibilityTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void everyControlHasAName_data() {
    QTest::addColumn<bool>("deviceTabs");
    QTest::addColumn<bool>("traffic");
    QTest::newRow("main window before a device answered") << false << false;
    QTest::newRow("main window with the device tabs") << true << false;
    QTest::newRow("traffic window") << false << true;
  }
  void everyControlHasAName() {
    QFETCH(bool, deviceTabs);
    QFETCH(bool, traffic);
    WindowRig rig;
    if (deviceTabs) rig.form->buildDeviceTabs();
    QWidget* window = rig.form.get();
    if (traffic) {
      rig.form->showTraffic();
      window = rig.form->trafficWindow();
    }
    const QList<QWidget*> controls = controlsOf(window);
    QVERIFY(controls.size() >= (deviceTabs ? 60 : 3));
    QStringList faults;
    QHash<QPair<const QWidget*, QString>, QWidget*> named;
    for (QWidget* control : controls) {
      const QString name = accessibleText(control, QAccessible::Name).trimmed();
      if (name.isEmpty()) {
        faults << QStringLiteral("no name: ") + describe(control);
        continue;
      }
      // Some platforms name a drop-down list after its current item; what the list is for
      // then comes from its label.
      if (qobject_cast<QComboBox*>(control) != nullptr) {
        if (control->accessibleName().isEmpty() && QAccessible::queryAccessibleInterface(control)
                                                       ->relations(QAccessible::Label)
                                                       .isEmpty()) {
          faults << QStringLiteral("no label: ") + describe(control);
        }
        continue;
      }
      // Two controls of a page with the same name cannot be told apart without seeing them.
      QWidget*& same = named[{pageOf(control), name}];
      if (same != nullptr)
        faults << QStringLiteral("same name: %1 and %2").arg(describe(same), describe(control));
      same = control;
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("\n"))));
  }

  void markedSettingSaysWhatTheDeviceHolds_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("spin box") << QStringLiteral("SpinEdit2");
    QTest::newRow("check box") << QStringLiteral("CheckBox1");
    QTest::newRow("box of a loop mask") << QStringLiteral("lockCB3");
  }
  // After a download the control shows what the device holds; an edit marks it and the
  // description keeps that text, and undoing the edit by hand takes the description away.
  void markedSettingSaysWhatTheDeviceHolds() {
    QFETCH(QString, name);
    WindowRig rig;
    rig.form->buildDeviceTabs();
    QVERIFY(rig.connectAndDownload());
    QWidget* control = rig.find<QWidget>(qPrintable(name));
    QCOMPARE(accessibleText(control, QAccessible::Description), QString());
    auto* number = qobject_cast<QSpinBox*>(control);
    auto* box = qobject_cast<QCheckBox*>(control);
    const int was = number != nullptr ? number->value() : 0;
    const QString held = number != nullptr  ? number->text()
                         : box->isChecked() ? QStringLiteral("checked")
                                            : QStringLiteral("unchecked");
    auto edit = [&](bool back) {
      if (number == nullptr) return box->click();
      number->setValue(back ? was : (was + 1) % (number->maximum() + 1));
    };
    edit(false);
    QVERIFY(control->font().bold());
    QCOMPARE(accessibleText(control, QAccessible::Description),
             QStringLiteral("changed; the Tarvik holds ") + held);
    edit(true);
    QVERIFY(!control->font().bold());
    QCOMPARE(accessibleText(control, QAccessible::Description), QString());
  }
};

QTEST_MAIN(WindowAccessibilityTest)
#include "test_window_accessibility.moc"
