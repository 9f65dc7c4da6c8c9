// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// The characters that end a path's folder part on this system ("\" and ":" on Windows, "/" elsewhere).
QString PathDelimiters();
// The separator placed between a folder and a name.
QChar PathSeparator();

// A path as the system's file calls take it, and back. On Linux names are bytes: bytes that are not
// UTF-8 are carried through a QString as U+DC80..U+DCFF (one per byte) so that every name the system
// gives us can be handed back to it unchanged.
QByteArray EncodePath(const QString& path);
QString DecodePath(const QByteArray& path);

class QUrl;
// The file URL of a local path, keeping every byte of a Linux name.
QUrl LocalFileUrl(const QString& path);
