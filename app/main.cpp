// SPDX-License-Identifier: MIT
#include "app/Configurator.h"
#include "app/Dialogs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  tarvik::QtDialogs dialogs;
  return tarvik::runConfigurator(dialogs);
}
