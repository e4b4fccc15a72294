#include "base/shared_module.h"

#include <windows.h>

#include "base/application_path.h"
#include "base/utf16_win.h"

namespace scenario {

Status LoadSharedModule(const std::string& file_name, const char* entry,
                        void** address) {
  *address = nullptr;
  std::string folder;
  Status status = ApplicationPath(&folder);
  if (!status.ok()) return status;
  const std::string path = folder + "\\" + file_name;
  // Never freed, as on POSIX. Only the program's own folder is searched
  // for what the module needs besides the system's DLLs.
  const HMODULE module = ::LoadLibraryExW(
      WideFromUtf8(path).c_str(), nullptr,
      LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  if (module == nullptr) {
    return Status::Error("cannot load the module \"" + path +
                         "\": " + WindowsErrorText(::GetLastError()));
  }
  const FARPROC symbol = ::GetProcAddress(module, entry);
  if (symbol == nullptr) {
    return Status::Error("the module \"" + path + "\" has no entry \"" + entry +
                         "\"");
  }
  *address = reinterpret_cast<void*>(symbol);
  return Status::Ok();
}

}  // namespace scenario
