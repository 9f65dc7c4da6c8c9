// SPDX-License-Identifier: MIT
#pragma once

// Waits `milliseconds` while the application keeps processing its events (windows repaint and take
// clicks meanwhile), then dispatches everything still queued. Returns false when the application was
// told to end during the wait; the caller should then stop what it is doing.
bool WaitAndPump(int milliseconds);
