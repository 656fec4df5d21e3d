#pragma once

// The program from start-up to shutdown; returns the process exit code.
int RunBrovane(int argc, char** argv);
