#pragma once

#include <QString>

// The directory of the running program, with a trailing '/'. Every path the
// program reads or writes is built from it.
QString ProgramDir();

// Tests point the program at a temporary copy of the runtime layout.
void SetProgramDir(const QString &dir);
