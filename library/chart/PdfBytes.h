// SPDX-License-Identifier: MIT
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QPdfWriter>
#include <QString>
#include <optional>

namespace tarvik {

// A PDF drawn by `paint(QPdfWriter&)` (false: it could not be drawn), as bytes: the chart and the
// sheet are written through the program's one checked writer, never by the PDF writer itself.
template <class Paint>
std::optional<QByteArray> pdfBytes(const QString& title, Paint paint) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(300);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Tarvik Configurator"));
    if (!paint(writer)) return std::nullopt;
  }  // the writer ends the file when it goes
  return bytes;
}

}  // namespace tarvik
