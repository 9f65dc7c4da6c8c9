// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Opens `target` in the user's default handler: a web address ("http://…", "https://…" or "www.…"),
// a "mailto:" address, or a local folder or file path. The result is not reported.
void ShellOpen(const QString& target);

class QUrl;
// The URL that ShellOpen hands to the desktop for `target`.
QUrl ShellTargetUrl(const QString& target);
