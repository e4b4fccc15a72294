#include "base/utf16_win.h"

#include <windows.h>

#include <climits>

namespace scenario {

std::wstring WideFromUtf8(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > INT_MAX) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) {
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
  }
  return wide;
}

std::string Utf8FromWide(std::wstring_view utf16) {
  if (utf16.empty() || utf16.size() > INT_MAX) return std::string();
  const int size = static_cast<int>(utf16.size());
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr,
                                      0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, utf8.data(), n,
                          nullptr, nullptr);
  }
  return utf8;
}

std::string WindowsErrorText(unsigned long error) {
  wchar_t* text = nullptr;
  DWORD n = 0;
  // English as the program's own messages are; the system's language when
  // it has no English text.
  for (const DWORD language :
       {DWORD{MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)}, DWORD{0}}) {
    n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER |
                             FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, language,
                         reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (n > 0) break;
  }
  std::string message;
  if (n > 0 && text != nullptr)
    message = Utf8FromWide(std::wstring_view(text, n));
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() &&
         (message.back() == '\n' || message.back() == '\r' ||
          message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  if (message.empty()) message = "system error " + std::to_string(error);
  return message;
}

}  // namespace scenario
