#include "base/application_path.h"

#include <windows.h>

#include <string>

#include "base/utf16_win.h"

namespace scenario {

Status ApplicationPath(std::string* folder) {
  // The path can be longer than MAX_PATH; grow the buffer until it fits.
  std::wstring buf(260, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(),
                                         static_cast<DWORD>(buf.size()));
    if (n == 0) {
      return Status::Error("cannot find the program's folder: " +
                           WindowsErrorText(::GetLastError()));
    }
    if (n < buf.size()) {
      const std::string exe = Utf8FromWide(std::wstring_view(buf.data(), n));
      const std::size_t separator = exe.find_last_of("\\/");
      if (separator == std::string::npos) {
        return Status::Error("the program's path \"" + exe +
                             "\" names no folder");
      }
      *folder = exe.substr(0, separator);
      return Status::Ok();
    }
    buf.resize(buf.size() * 2);
  }
}

}  // namespace scenario
