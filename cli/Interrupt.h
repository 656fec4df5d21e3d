#pragma once

// Ctrl-C and termination requests (SIGINT and SIGTERM; Ctrl-C and Ctrl-Break on Windows). The
// first is noted, so that a command finishes the exchange in flight, stops and reports; a
// second one ends the process at once with kExitInterrupted.
void CatchInterrupts();
// Whether an interrupt has come since CatchInterrupts.
bool InterruptRequested();
