// Descriptors 0, 1 and 2 of a program started with one of them closed.
#pragma once

namespace harvex {

// Opens /dev/null on each of standard input, output and error that is not
// open, so that no file the program opens later takes one of their numbers
// and receives what is meant for the terminal. Call before opening any file.
void OpenStandardHandles();

}  // namespace harvex
