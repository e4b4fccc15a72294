#include "base/standard_streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace scenario {
namespace {

// The console's output code page before the program set it to UTF-8; 0
// when it was not changed.
UINT console_code_page = 0;

void RestoreConsoleCodePage() {
  if (console_code_page != 0) ::SetConsoleOutputCP(console_code_page);
}

}  // namespace

void UseBinaryStandardStreams() {
  for (std::FILE* stream : {stdin, stdout, stderr}) {
    ::_setmode(::_fileno(stream), _O_BINARY);
  }
  // The program's text is UTF-8: a console shows it as such (a name with
  // "à" included) only in that code page, which it gets back when the
  // program ends, for the commands run after it.
  const UINT code_page = ::GetConsoleOutputCP();
  if (code_page != 0 && code_page != CP_UTF8 &&
      ::SetConsoleOutputCP(CP_UTF8) != 0) {
    console_code_page = code_page;
    std::atexit(RestoreConsoleCodePage);
  }
}

}  // namespace scenario
