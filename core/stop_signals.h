#pragma once
// SIGINT and SIGTERM end the program in every phase. The first asks it to
// stop: each long phase (loading, seeking, rendering, checking, playing)
// looks at StopRequested() between its steps, finishes what must be
// finished and ends. A second one ends the process at once, whatever the
// first is still waiting for.
//
// The request is process-wide state, and stays so on purpose: a signal
// handler can reach nothing else, and the loaders that look at it run on the
// loading thread, below any show that could hand them a flag of its own.

// Installs the handlers. A file-size limit (RLIMIT_FSIZE) then makes a write
// fail with EFBIG, reported like a full disk, instead of ending the process.
void InstallStopSignals();

// Whether the long phases are to stop: a stop signal came, or the program
// asked them to (RequestStop).
bool StopRequested();
// Asks the long phases to stop, as a signal does but without one: the main
// loop does so when the show ends while a scene may still be loading.
void RequestStop();
// Forgets a RequestStop (never a signal): a new show starts.
void ClearStopRequest();

// The signal that asked the program to stop; 0 while none has.
int StopSignal();
// "SIGINT", "SIGTERM" or "a signal".
const char* StopSignalName();
// The exit code of a program a signal stopped: 128 + its number (130 for
// SIGINT, 143 for SIGTERM); 0 while none has.
int StopExitCode();
