#include "base/standard_streams.h"

namespace scenario {

// POSIX streams have no text mode: bytes pass as they are.
void UseBinaryStandardStreams() {}

}  // namespace scenario
