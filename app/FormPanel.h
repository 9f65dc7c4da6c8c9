// SPDX-License-Identifier: MIT
#pragma once

class QObject;
class TAdvPanelStyler;
class TCustomAdvPanel;

// The values both window definitions store for their background panel (its font comes with the
// form's design fonts). Called while the form loads, before the panel's Loaded.
void LoadStoredPanelValues(TCustomAdvPanel& panel);

// The main window's styler as its definition stores it: the stored settings, then the classic style.
// Created while the form loads, after the panel, so that the panel is loaded first.
TAdvPanelStyler* CreateMainPanelStyler(QObject* owner);
