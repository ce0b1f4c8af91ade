// The main window's sizes, which its pictures share with the command line.
#pragma once

// Ticks of about 15 ms: about 64 frames per second, the pace users know.
inline constexpr int kTickIntervalMs = 15;
// The client area below the menu bar at the window's first size.
inline constexpr int kClientWidth = 632;
inline constexpr int kClientHeight = 380;
// The largest frame (the window may be enlarged up to it).
inline constexpr int kFrameWidth = 1280;
inline constexpr int kFrameHeight = 1024;
