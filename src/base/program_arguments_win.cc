#include "base/program_arguments.h"

#include <windows.h>

// After windows.h, which it needs.
#include <shellapi.h>

#include "base/utf16_win.h"

namespace scenario {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  // The C runtime and the shell split a command line alike; should they
  // ever disagree on the count, main's own arguments are kept.
  if (wide == nullptr || count != argc) {
    if (wide != nullptr) ::LocalFree(wide);
    return std::vector<std::string>(argv, argv + argc);
  }
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(Utf8FromWide(wide[i]));
  ::LocalFree(wide);
  return args;
}

}  // namespace scenario
