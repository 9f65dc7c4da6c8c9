// SPDX-License-Identifier: MIT
#pragma once

#include <QMimeData>
#include <QPointer>

// Drag and drop of text for the edit field.

// The data of a drag that starts in an edit field: its selected text, offered as plain text,
// and the field it came from.
class TEditDragData : public QMimeData {
    Q_OBJECT
public:
    TEditDragData(const QString& text, QObject* source);
    QObject* Source() const { return m_source; }

private:
    QPointer<QObject> m_source;
};

// What dropped data offers the field: text, or a list of files (which the field ignores).
struct TDroppedData {
    enum Kind { Nothing, Text, Files } kind = Nothing;
    QString text;
};
TDroppedData ReadDropped(const QMimeData* data);
