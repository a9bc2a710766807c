#include "common/result.h"

#include <cstring>

namespace tambrel {

Failure Failure::fromErrno(int error) {
    // strerror's wording is what a Linux user recognises ("No such file or directory").
    return Failure{error, std::strerror(error)};
}

} // namespace tambrel
