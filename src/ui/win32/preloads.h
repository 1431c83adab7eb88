// The windows' preload threads, counted process-wide, so that the end of the
// process waits for them: ExitProcess stopping one in mid-drawing crashes Wine.
#pragma once

namespace ui::win32 {

// Counts a preload in before its thread starts; false once the process is
// ending (the window then makes everything itself when it opens).
bool preloadStarting();
// Counts it out, last thing on its thread (or when its thread did not start).
void preloadEnded();
// Waits up to `ms` for the running preloads to end; none starts after it.
void awaitPreloadsForExit(int ms);

}  // namespace ui::win32
