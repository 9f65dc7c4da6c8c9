// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    // Full path of `name` inside the folder.
    QString file(const QString& name) const;
    // Creates `name` with `content` and returns its full path.
    QString write(const QString& name, const QByteArray& content) const;

private:
    QTemporaryDir m_dir;
};
