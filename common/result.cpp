#include "common/result.h"

#include <cstring>

namespace tambrel {

Failure Failure::fromErrno(int error) {
    // strerror's wording is what a Linux user recognises ("No such file or directory").
    return Failure{error, std::strerror(error)};
}

std::string failureText(const Failure& failure, std::string_view concerned) {
    if (concerned.empty())
        return failure.description;
    std::string text = failure.description;
    text.append(": ");
    text.append(concerned);
    return text;
}

} // namespace tambrel
