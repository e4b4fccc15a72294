#include "tools/author_compile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exit_status.h"
#include "base/fake_file_system.h"
#include "documents/text_writer.h"
#include "line/builtin_line.h"
#include "train/builtin_train.h"

namespace scenario {
namespace {

constexpr const char* kLine = "in/Tarvo_Cembrio_linea.txt";
constexpr const char* kTrain = "in/Tarvo_Cembrio_Exp 5147-.txt";

// The built-in pair in the fake's folder "in"; it compiles with no code
// and three warnings.
void WriteBuiltinPair(FakeFileSystem& fs) {
  ASSERT_TRUE(WriteTextFile(fs, kLine, dati_linea()).ok());
  ASSERT_TRUE(WriteTextFile(fs, kTrain, dati_treno()).ok());
}

AuthorCompileOptions Pair(const std::string& line, const std::string& train) {
  AuthorCompileOptions o;
  o.line_file = line;
  o.train_file = train;
  o.output = "out";
  return o;
}

// Each refusal says why and comes before anything is written.
TEST(AuthorCompile, RefusesBeforeWritingAnything) {
  struct Case {
    const char* what;
    AuthorCompileOptions options;
    const char* message;
  };
  AuthorCompileOptions linea = Pair(kLine, kTrain);
  linea.train_name = "linea";
  AuthorCompileOptions overwrite = Pair(kLine, "in/L_T.sim");
  overwrite.output = "in/";
  overwrite.line_name = "L";
  overwrite.train_name = "T";
  const Case kCases[] = {
      {"missing line", Pair("in/Nowhere_linea.txt", kTrain),
       "the line description cannot be read: cannot open "
       "\"in/Nowhere_linea.txt\": No such file or directory; nothing was "
       "written"},
      {"unreadable train", Pair(kLine, "in/broken-.txt"),
       "the train description cannot be read: cannot read "
       "\"in/broken-.txt\": injected failure; nothing was written"},
      {"train named linea", linea,
       "the train name \"linea\" gives the cell file the line grid's name "
       "\"out/Tarvo_Cembrio_linea.dat\"; choose another (--train-name)"},
      {"output is input", overwrite,
       "the output file \"in/L_T.sim\" is the input file \"in/L_T.sim\"; "
       "nothing was written"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    FakeFileSystem fs;
    WriteBuiltinPair(fs);
    fs.files["in/broken-.txt"] = "";
    fs.fail_reads.insert("in/broken-.txt");
    fs.files["in/L_T.sim"] = fs.files[kTrain];
    const std::size_t writes = fs.Paths("write").size();
    AuthorCompile compile;
    std::vector<std::string> notes;
    const Status s = CompileAuthorPair(c.options, fs, &compile, &notes);
    EXPECT_EQ(s.message(), c.message);
    EXPECT_EQ(fs.Paths("write").size(), writes);
  }
}

// Codes fail the exit status; warnings only under werror. A check reaches
// no output folder.
TEST(AuthorCompile, ExitStatusAndWhatIsWritten) {
  struct Case {
    bool write;
    bool warnings;
    bool werror;
    int status;
    std::size_t written;
  };
  constexpr Case kCases[] = {
      {true, false, false, kExitOk, 3},
      {true, true, false, kExitOk, 3},
      {false, true, true, kExitFindings, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.write << c.warnings << c.werror);
    FakeFileSystem fs;
    WriteBuiltinPair(fs);
    AuthorCompileOptions o = Pair(kLine, kTrain);
    o.write = c.write;
    o.warnings.shown = c.warnings;
    o.warnings.werror = c.werror;
    AuthorCompile compile;
    std::vector<std::string> notes;
    ASSERT_TRUE(CompileAuthorPair(o, fs, &compile, &notes).ok());
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(compile.exit_status, c.status);
    EXPECT_EQ(compile.codes(), 0u);
    EXPECT_EQ(compile.warnings(), c.warnings ? 3u : 0u);
    EXPECT_EQ(compile.report.result.written.size(), c.written);
    EXPECT_EQ(fs.Paths("create_folders").size(), c.write ? 1u : 0u);
    // The author's files are never deleted.
    EXPECT_TRUE(fs.Has(kLine));
    EXPECT_TRUE(fs.Has(kTrain));
  }
}

}  // namespace
}  // namespace scenario
