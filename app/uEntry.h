#pragma once
// The process entry: checks whether this process may run, creates the
// windows and runs the message loop. Returns the exit code.
int ProgramMain(int argc, char** argv);
