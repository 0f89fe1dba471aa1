#include "tests/support/FailingDevice.h"

#include <algorithm>

namespace logosmith::testing {

FailingDevice::FailingDevice(Failure failure, std::size_t failAfter)
    : failure_(failure), failAfter_(failAfter) {}

void FailingDevice::write(const std::uint8_t* data, std::size_t size) {
    const bool failsInWrite = failure_ == Failure::WriteError || failure_ == Failure::WriteTimeout;
    const std::size_t room = failsInWrite ? failAfter_ - std::min(failAfter_, taken.size()) : size;
    taken.insert(taken.end(), data, data + std::min(size, room));
    if (size <= room)
        return;
    if (failure_ == Failure::WriteTimeout)
        throw TransferTimeout(kMessage);
    throw TransferError(kMessage);
}

void FailingDevice::finish() {
    if (failure_ == Failure::FinishTimeout)
        throw TransferTimeout(kMessage);
    if (failure_ == Failure::FinishError)
        throw TransferError(kMessage);
    finished = true;
}

} // namespace logosmith::testing
