// SPDX-License-Identifier: MIT
#pragma once

// Names the running program as its installed desktop entry does, so that a dock shows its window under
// the launcher: the entry's file name (the application id on Wayland) and the application name, which
// X11 windows carry as their class and the entry repeats as StartupWMClass.
void SetDesktopIdentity();
