#pragma once

// The program from process start to the end of the message loop: splash, the
// account gate, then the main window. Returns the process exit code.
int RunTellmont();
