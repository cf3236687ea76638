#include "rtl/StandardHandles.h"

#include <cerrno>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace harvex {

void OpenStandardHandles() {
  for (const int handle : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (::fcntl(handle, F_GETFD) != -1 || errno != EBADF) continue;
    // open gives the lowest free number: the one just found closed, as the
    // lower ones are open by now.
    const int opened = ::open("/dev/null", handle == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != handle) ::close(opened);
  }
}

}  // namespace harvex
