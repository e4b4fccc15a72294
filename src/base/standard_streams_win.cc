#include "base/standard_streams.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <initializer_list>

namespace scenario {

void UseBinaryStandardStreams() {
  for (std::FILE* stream : {stdin, stdout, stderr}) {
    ::_setmode(::_fileno(stream), _O_BINARY);
  }
}

}  // namespace scenario
