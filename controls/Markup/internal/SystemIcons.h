// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The platform's file-type icons for the image tag's "SSYS:"/"LSYS:" sources.

// Side of a small (16) or large (32) icon at 96 dots per inch.
int SystemIconBaseSize(bool large);

// Icon number `index` of the platform's list, rendered at `size`; a null image when there is none.
QImage SystemIconByIndex(int index, bool large, QSize size);

// The icon of an existing file or folder, else the one registered for the path's extension,
// rendered at `size`; a null image when there is none.
QImage SystemIconForPath(const QString& path, bool large, QSize size);
