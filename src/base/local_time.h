#ifndef SCENARIO_BASE_LOCAL_TIME_H_
#define SCENARIO_BASE_LOCAL_TIME_H_

// The local time of day, as a person reads it from the clock on the wall;
// thread-safe (no shared buffer).

#include <string>

namespace scenario {

// Now as "HH:MM:SS" in the local time zone; "" when the system cannot
// tell.
std::string LocalTimeOfDay();

}  // namespace scenario

#endif  // SCENARIO_BASE_LOCAL_TIME_H_
