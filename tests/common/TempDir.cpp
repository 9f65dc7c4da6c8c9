// SPDX-License-Identifier: MIT
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

TempDir::TempDir()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempDir::file(const QString& name) const
{
    return QDir(m_dir.path()).filePath(name);
}

QString TempDir::write(const QString& name, const QByteArray& content) const
{
    QString p = file(name);
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        throw std::runtime_error("cannot write a test file");
    return p;
}
