// SPDX-License-Identifier: MIT
#include "AdvEddd.h"

#include <QUrl>

TEditDragData::TEditDragData(const QString& text, QObject* source)
    : m_source(source)
{
    setText(text);
}

TDroppedData ReadDropped(const QMimeData* data)
{
    if (!data)
        return {};
    // a file manager offers its files' addresses as text too; they are still a list of files
    if (data->hasUrls()) {
        const QList<QUrl> urls = data->urls();
        if (!urls.isEmpty()
            && std::all_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); }))
            return { TDroppedData::Files, QString() };
    }
    if (data->hasText())
        return { TDroppedData::Text, data->text() };
    return {};
}
