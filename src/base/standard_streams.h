#ifndef SCENARIO_BASE_STANDARD_STREAMS_H_
#define SCENARIO_BASE_STANDARD_STREAMS_H_

// The program's standard input, output and error carry the same bytes on
// every platform: lines end in "\n" alone, and JSON or a protocol's frames
// pass unchanged. (Windows' C runtime would otherwise turn "\n" into
// CR LF on the way out and back on the way in.) On Windows a console
// shows them as the UTF-8 they are, for as long as the program runs.

namespace scenario {

// Puts the three standard streams in that state; call before the first
// byte is read or written.
void UseBinaryStandardStreams();

}  // namespace scenario

#endif  // SCENARIO_BASE_STANDARD_STREAMS_H_
