#ifndef SCENARIO_BASE_UTF16_WIN_H_
#define SCENARIO_BASE_UTF16_WIN_H_

// Windows only. The program holds names as UTF-8 strings; Win32's calls
// take and give UTF-16, so every name is converted at the call, and a name
// an author types (with "à", with spaces) reaches the file system whole.

#include <string>
#include <string_view>

namespace scenario {

// utf8 as UTF-16. A byte that is not part of well-formed UTF-8 becomes
// U+FFFD, which no file name holds, so such a name names no file.
std::wstring WideFromUtf8(std::string_view utf8);

// utf16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view utf16);

// The system's text for a Win32 error code (GetLastError), in English
// where the system has it, without the line end it ends with.
std::string WindowsErrorText(unsigned long error);

}  // namespace scenario

#endif  // SCENARIO_BASE_UTF16_WIN_H_
