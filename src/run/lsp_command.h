#ifndef SCENARIO_RUN_LSP_COMMAND_H_
#define SCENARIO_RUN_LSP_COMMAND_H_

namespace scenario {

// lsp: the language server on in_fd and out_fd until the client's "exit"
// (or the end of the input). Returns the exit status the protocol gives:
// 0 after "shutdown" then "exit", 1 otherwise.
int RunLspCommand(int in_fd, int out_fd);

}  // namespace scenario

#endif  // SCENARIO_RUN_LSP_COMMAND_H_
