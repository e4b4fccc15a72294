// A real editor as the client: Neovim, headless, with its built-in
// language server client, opens a broken train description; the test
// reads back the diagnostics Neovim holds.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "base/child_process_testing.h"
#include "base/file_system.h"
#include "base/scoped_temp_dir.h"
#include "model/scenario_names.h"
#include "run/run_sequence.h"

namespace scenario {
namespace {

// Uses only what Neovim 0.7 (Debian 12) offers: start_client and
// buf_attach_client; vim.lsp.start came later.
constexpr const char* kClientScript = R"lua(
local client = vim.lsp.start_client({
  cmd = { os.getenv('SCENARIO_EXE'), 'lsp' },
  root_dir = vim.fn.getcwd(),
})
vim.lsp.buf_attach_client(0, client)
local errors = { severity = vim.diagnostic.severity.ERROR }
local ok = vim.wait(30000,
  function() return #vim.diagnostic.get(0, errors) > 0 end, 20)
local lines = {}
for _, d in ipairs(vim.diagnostic.get(0, errors)) do
  table.insert(lines, string.format('%d:%d:%s', d.lnum, d.col, d.message))
end
if not ok then table.insert(lines, 'no diagnostics came') end
vim.fn.writefile(lines, 'diagnostics.txt')
vim.cmd('qa!')
)lua";

TEST(NeovimClient, HoldsTheDiagnosticsOfABrokenTrainFile) {
  if (RunChild({"sh", "-c", "command -v nvim"}).status != 0) {
    GTEST_SKIP() << "nvim is not installed (scripts/install-deps.sh installs "
                    "it)";
  }
  ScopedTempDir dir;
  const ScenarioFileNames names =
      MakeFileNames(dir.path(), kBuiltinLineName, kBuiltinTrainName);
  ASSERT_TRUE(WriteBuiltinTexts(RealFileSystem(), names).ok());
  std::string train = ReadWholeFile(names.train_description);
  // A signal at 1060 m takes the cell of the one at 1050 m, the row after
  // it: line 70 of the file, 69 counted from 0 as Neovim counts.
  const std::size_t signal = train.find("segnale,    1050");
  ASSERT_NE(signal, std::string::npos);
  train.insert(signal,
               "segnale,    1060,   2, 5, 1,  1, 0,    2,  2,1,1, 0\r\n");
  WriteWholeFile(names.train_description, train);
  int line = 0;
  for (std::size_t at = 0; at < signal; ++at) line += train[at] == '\n';
  ++line;
  WriteWholeFile(dir.File("client.lua"), kClientScript);

  // Neovim's own files (its log, state) go into the folder too.
  const ChildRun nvim =
      RunChild({"nvim", "--headless", "--clean", "-n", "-i", "NONE",
                names.train_description, "-c", "luafile client.lua"},
               dir.path(),
               {{"SCENARIO_EXE", SCENARIO_COMPILER_EXE},
                {"XDG_CONFIG_HOME", "."},
                {"XDG_DATA_HOME", "."},
                {"XDG_STATE_HOME", "."},
                {"XDG_CACHE_HOME", "."}},
               std::chrono::seconds(120));
  ASSERT_EQ(nvim.status, 0) << nvim.out << nvim.err;
  // The message names the row that holds the cell: the inserted one, one
  // line above, counted from 1.
  EXPECT_EQ(ReadWholeFile(dir.File("diagnostics.txt")),
            std::to_string(line) +
                ":0:a signal falls on a cell that is already taken by the "
                "signal at 1060 m (" +
                names.train_description + ":" + std::to_string(line) +
                ":1) (at 1050 m, km 1+050)\n");
}

}  // namespace
}  // namespace scenario
