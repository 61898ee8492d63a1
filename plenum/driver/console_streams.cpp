#include "plenum/driver/console_streams.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace plenum {

void prepareConsoleStreams() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  std::setvbuf(stdout, nullptr, _IONBF, 0);
}

}  // namespace plenum
