#pragma once

#include "TestFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QWidget>

#include <string>

namespace lse::test {

// The cases of a table in tests/support that the page's tests run too.
inline QJsonArray sharedCases(const std::string& file) {
    return QJsonDocument::fromJson(
               QByteArray::fromStdString(fileContents(testFile("../support/" + file))))
        .object()["cases"]
        .toArray();
}

// A case's system, pasted with Ctrl+Shift+V into `box` of the active `window`.
inline void pasteCase(QWidget& window, QWidget* box, const QJsonObject& c) {
    QApplication::setActiveWindow(&window);
    QGuiApplication::clipboard()->setText(c["paste"].toString());
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
}

} // namespace lse::test
