// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The user's Documents folder in native form, without a trailing separator; empty when unknown.
QString DocumentsFolder();
