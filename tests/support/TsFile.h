// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <QString>
#include <QXmlStreamReader>
#include <vector>

namespace tarvik::testing {

// One message of a Qt Linguist .ts file.
struct TsEntry {
  QString context;
  QString source;
  QString translation;
  QString type;  // "", "unfinished", "vanished" or "obsolete"
};

// The text of the current element, with lupdate's <byte value="xd"/> for a carriage return.
inline QString tsText(QXmlStreamReader& xml) {
  QString text;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isCharacters()) text += xml.text();
    if (xml.isStartElement() && xml.name() == QLatin1String("byte")) {
      text += QChar(xml.attributes().value(QLatin1String("value")).mid(1).toUInt(nullptr, 16));
    }
    if (xml.isEndElement() && xml.name() != QLatin1String("byte")) break;
  }
  return text;
}

// Every message of the file at `path`; `error` says why it could not be read.
inline std::vector<TsEntry> readTsFile(const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = file.errorString();
    return {};
  }
  std::vector<TsEntry> entries;
  QXmlStreamReader xml(&file);
  QString context;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == QLatin1String("name")) {
      context = xml.readElementText();
    } else if (xml.name() == QLatin1String("message")) {
      entries.push_back({context, {}, {}, {}});
    } else if (xml.name() == QLatin1String("source") && !entries.empty()) {
      entries.back().source = tsText(xml);
    } else if (xml.name() == QLatin1String("translation") && !entries.empty()) {
      entries.back().type = xml.attributes().value(QLatin1String("type")).toString();
      entries.back().translation = tsText(xml);
    }
  }
  if (xml.hasError()) *error = xml.errorString();
  return entries;
}

}  // namespace tarvik::testing
