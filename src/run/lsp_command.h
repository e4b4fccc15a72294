#ifndef SCENARIO_RUN_LSP_COMMAND_H_
#define SCENARIO_RUN_LSP_COMMAND_H_

#include <iosfwd>

namespace scenario {

// lsp: the language server on in_fd and out_fd until the client's "exit"
// (or the end of the input). Returns the exit status the protocol gives:
// 0 after "shutdown" then "exit", 1 otherwise; 2, with the reason on err,
// when the platform cannot read in_fd as a stream.
int RunLspCommand(int in_fd, int out_fd, std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_LSP_COMMAND_H_
