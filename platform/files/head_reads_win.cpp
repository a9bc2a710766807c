#include "platform/files/head_reads.h"

#include <cerrno>
#include <utility>

// Windows has no queue this reads through: start() fails, and the scan reads with its threads.

namespace tambrel::platform {

struct HeadReads::State {};

Result<std::unique_ptr<HeadReads>> HeadReads::start(std::size_t, std::size_t) {
    return Failure::fromErrno(ENOSYS);
}

HeadReads::HeadReads(std::unique_ptr<State> state) : state_(std::move(state)) {}

HeadReads::~HeadReads() = default;

std::size_t HeadReads::capacity() const {
    return 0;
}

std::size_t HeadReads::inFlight() const {
    return 0;
}

bool HeadReads::add(HeadRead&) {
    return false;
}

void HeadReads::advance(Client&) {}

} // namespace tambrel::platform
