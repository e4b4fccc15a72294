#ifndef SCENARIO_BASE_TERMINAL_H_
#define SCENARIO_BASE_TERMINAL_H_

// Whether an output stream shows the terminal's escape sequences (clearing
// the screen, rewriting a line in place) or only plain lines: a terminal
// does; a file or a pipe keeps the bytes, so it gets plain lines. On
// Windows a console does only in its virtual-terminal mode, which is
// switched on here for as long as the program runs.

namespace scenario {

// True when the file descriptor fd (1 or 2) is a terminal that takes the
// escape sequences. On Windows: a console that accepted the
// virtual-terminal mode (an old console refuses it, and the program then
// writes plain lines there too); the console gets its former mode back
// when the program ends.
bool UseTerminalEscapes(int fd);

}  // namespace scenario

#endif  // SCENARIO_BASE_TERMINAL_H_
