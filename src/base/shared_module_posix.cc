#include "base/shared_module.h"

#include <dlfcn.h>

#include "base/application_path.h"

namespace scenario {

Status LoadSharedModule(const std::string& file_name, const char* entry,
                        void** address) {
  *address = nullptr;
  std::string folder;
  Status status = ApplicationPath(&folder);
  if (!status.ok()) return status;
  const std::string path = folder + "/" + file_name;
  // Never closed: the modules' libraries keep caches and exit handlers that
  // must outlive every call into them.
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* reason = ::dlerror();
    std::string why = reason != nullptr ? reason : "unknown reason";
    // The loader's text starts with the path, which the message names
    // already.
    if (why.rfind(path + ": ", 0) == 0) why.erase(0, path.size() + 2);
    return Status::Error("cannot load the module \"" + path + "\": " + why);
  }
  ::dlerror();  // clear any earlier message
  void* symbol = ::dlsym(module, entry);
  if (symbol == nullptr) {
    const char* reason = ::dlerror();
    return Status::Error("the module \"" + path + "\" has no entry \"" + entry +
                         "\"" +
                         (reason != nullptr ? std::string(": ") + reason : ""));
  }
  *address = symbol;
  return Status::Ok();
}

}  // namespace scenario
