// The five built-in texts as the text writer writes them, compared whole
// with golden files: the line and train descriptions the built-in run
// compiles, and the three documents handed to the crew. The golden files
// under testdata/builtin are the bytes of a known-good build, as
// `scenario-compiler export` writes them; a meant change of a text is a
// change of its golden file, read over line by line.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/scoped_temp_dir.h"
#include "documents/scenario_notes.h"
#include "documents/slowdown_form.h"
#include "documents/text_writer.h"
#include "documents/train_card.h"
#include "line/builtin_line.h"
#include "train/builtin_train.h"

namespace scenario {
namespace {

// Line n (from 1) of CR LF text, without its line end; "" past the end.
std::string_view LineOf(std::string_view text, std::size_t n) {
  for (; n > 1; --n) {
    const std::size_t end = text.find("\r\n");
    if (end == std::string_view::npos) return "";
    text.remove_prefix(end + 2);
  }
  return text.substr(0, text.find("\r\n"));
}

// Equal, or where the first difference stands: its line and both versions
// of that line.
testing::AssertionResult SameBytes(std::string_view written,
                                   std::string_view golden) {
  if (written == golden) return testing::AssertionSuccess();
  const auto [at, unused] = std::mismatch(written.begin(), written.end(),
                                          golden.begin(), golden.end());
  const std::size_t line =
      1 + static_cast<std::size_t>(std::count(written.begin(), at, '\n'));
  return testing::AssertionFailure()
         << "first difference on line " << line << " (" << written.size()
         << " bytes written, " << golden.size() << " golden)\n  written: \""
         << LineOf(written, line) << "\"\n  golden:  \"" << LineOf(golden, line)
         << "\"";
}

TEST(BuiltinTexts, WrittenAsTheGoldenFiles) {
  struct Text {
    const char* file;  // in testdata/builtin
    std::vector<std::string> (*lines)();
  };
  const Text kTexts[] = {
      {"Tarvo_Cembrio_linea.txt", dati_linea},
      {"Tarvo_Cembrio_Exp 5147-.txt", dati_treno},
      {"Tarvo_Cembrio_Exp 5147_note.txt", dati_note},
      {"Tarvo_Cembrio_Exp 5147_rallentamenti.txt", dati_rallentamenti},
      {"Tarvo_Cembrio_Exp 5147_scheda_treno.txt", dati_scheda},
  };
  for (const Text& t : kTexts) {
    SCOPED_TRACE(t.file);
    const std::optional<std::string> written = EncodeTextFile(t.lines());
    ASSERT_TRUE(written.has_value());
    const std::string golden =
        ReadWholeFile(std::string(SCENARIO_TESTDATA_DIR "/builtin/") + t.file);
    ASSERT_FALSE(golden.empty()) << "no golden file";
    EXPECT_TRUE(SameBytes(*written, golden));
  }
}

}  // namespace
}  // namespace scenario
