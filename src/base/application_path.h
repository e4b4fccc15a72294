#ifndef SCENARIO_BASE_APPLICATION_PATH_H_
#define SCENARIO_BASE_APPLICATION_PATH_H_

#include <string>

#include "base/status.h"

namespace scenario {

// The folder that holds the running executable, read from the system (not
// the current directory), without a trailing separator: "" for an
// executable at the root, so that folder + "/" + name still names it.
Status ApplicationPath(std::string* folder);

}  // namespace scenario

#endif  // SCENARIO_BASE_APPLICATION_PATH_H_
