// SPDX-License-Identifier: MIT
#include "library/SqlDriverPreload.h"

#include <QSqlDatabase>
#include <QString>

namespace tarvik {

SqlDriverPreload::SqlDriverPreload()
    : thread_([] {
        const QString name = QStringLiteral("tarvik-driver-preload");
        // The driver goes with the connection, in this thread; the plugin stays loaded.
        { QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name); }
        QSqlDatabase::removeDatabase(name);
      }) {}

SqlDriverPreload::~SqlDriverPreload() { thread_.join(); }

}  // namespace tarvik
