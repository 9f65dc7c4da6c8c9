// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The characters that end a path's folder part on this system ("\" and ":" on Windows, "/" elsewhere).
QString PathDelimiters();
// The separator placed between a folder and a name.
QChar PathSeparator();

// A path as the system's file calls take it, and back. On Linux names are bytes: bytes that are not
// UTF-8 are carried through a QString as U+DC80..U+DCFF (one per byte) so that every name the system
// gives us can be handed back to it unchanged.
QByteArray EncodePath(const QString& path);
QString DecodePath(const QByteArray& path);

// The program's arguments, its own name first, with every byte of a Linux name kept (see above).
QStringList ProgramArguments(int argc, char** argv);

// `path` made absolute against the current folder and cleaned of "." and ".." parts, in native form.
QString AbsolutePath(const QString& path);

class QUrl;
// The file URL of a local path, keeping every byte of a Linux name.
QUrl LocalFileUrl(const QString& path);
