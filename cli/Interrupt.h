#pragma once

// Ctrl-C and termination requests (SIGINT, SIGTERM and the SIGHUP of a session that drops;
// Ctrl-C and Ctrl-Break on Windows). The first is noted, so that a command finishes the
// exchange in flight, stops and reports; a second one ends the process at once with
// kExitInterrupted. A file size limit (SIGXFSZ) no longer ends the process: the write that
// exceeds it fails, is reported and its file cleaned up.
void CatchInterrupts();
// Whether an interrupt has come since CatchInterrupts.
bool InterruptRequested();
