#include "transport/devices/ParallelPort.h"

#include <fcntl.h>

namespace logosmith {

std::unique_ptr<ParallelPort> ParallelPort::open(const std::string& path,
                                                 std::chrono::milliseconds writeTimeout) {
    std::unique_ptr<ParallelPort> port(
        new ParallelPort(openDeviceFile(path, O_WRONLY), path, writeTimeout));
    port->requireDevice(
        "a parallel port must be a character device or a FIFO",
        [](const struct stat& st, int) { return S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode); });
    return port;
}

} // namespace logosmith
