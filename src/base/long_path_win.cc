#include "base/long_path_win.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "base/utf16_win.h"

namespace scenario {
namespace {

// The plain form's limit for making a folder (MAX_PATH less room for an
// 8.3 name), the strictest of the calls the file system makes.
constexpr std::size_t kPlainPathLimit = MAX_PATH - 12;

// The absolute, tidied form of wide; empty when the system cannot give it.
std::wstring FullPathOf(const std::wstring& wide) {
  const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::wstring();
  std::wstring full(needed, L'\0');
  const DWORD length =
      ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return std::wstring();
  full.resize(length);
  return full;
}

}  // namespace

std::wstring Win32Path(std::string_view utf8) {
  std::wstring wide = WideFromUtf8(utf8);
  const std::wstring_view view(wide);
  if (view.starts_with(L"\\\\?\\") || view.starts_with(L"\\\\.\\")) {
    return wide;
  }
  const std::wstring full = FullPathOf(wide);
  if (full.size() < kPlainPathLimit) return wide;
  const std::wstring_view full_view(full);
  // A device name (CON, NUL) has no long form.
  if (full_view.starts_with(L"\\\\.\\")) return wide;
  if (full_view.starts_with(L"\\\\")) {
    return L"\\\\?\\UNC\\" + full.substr(2);
  }
  return L"\\\\?\\" + full;
}

}  // namespace scenario
