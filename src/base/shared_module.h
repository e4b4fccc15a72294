#ifndef SCENARIO_BASE_SHARED_MODULE_H_
#define SCENARIO_BASE_SHARED_MODULE_H_

// The parts of the program that need large libraries (the window system,
// the SVG renderer) are shared modules that lie beside the executable and
// are loaded only when a command uses them, so that every other command
// starts without those libraries.

#include <string>

#include "base/status.h"

namespace scenario {

// Loads the shared module file_name from the folder of the running
// executable and sets *address to its exported symbol entry. The module
// stays loaded until the process ends, so the address stays valid; loading
// it again is cheap and gives the same address. On failure *address is
// null and the error names the module's path and the loader's reason.
// REQUIRES: file_name is a plain file name (no folder).
Status LoadSharedModule(const std::string& file_name, const char* entry,
                        void** address);

}  // namespace scenario

#endif  // SCENARIO_BASE_SHARED_MODULE_H_
