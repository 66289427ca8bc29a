#pragma once
// SIGINT and SIGTERM end the program in every phase. The first asks it to
// stop: quitRequested is set, and each long phase (loading, seeking,
// rendering, checking, playing) looks at it between its steps, finishes
// what must be finished and ends. A second one ends the process at once,
// whatever the first is still waiting for.

// Installs the handlers. A file-size limit (RLIMIT_FSIZE) then makes a write
// fail with EFBIG, reported like a full disk, instead of ending the process.
void InstallStopSignals();

// The signal that asked the program to stop; 0 while none has.
int StopSignal();
// "SIGINT", "SIGTERM" or "a signal".
const char* StopSignalName();
// The exit code of a program a signal stopped: 128 + its number (130 for
// SIGINT, 143 for SIGTERM); 0 while none has.
int StopExitCode();
