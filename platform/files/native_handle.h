// One open object of the system (a file descriptor on POSIX, a HANDLE on Windows) and its only
// owner: every facility that holds a file or folder open holds it through this, so that the
// rules for giving it up are written once.
#pragma once

#include "common/result.h"

#include <cstdint>
#include <utility>

namespace tambrel::platform {

class NativeHandle {
public:
    // Nothing open: no descriptor is negative, and INVALID_HANDLE_VALUE is -1.
    static constexpr std::intptr_t kNone = -1;

    NativeHandle() = default;
    explicit NativeHandle(std::intptr_t native) : native_(native) {}
    NativeHandle(NativeHandle&& other) noexcept : native_(other.release()) {}
    NativeHandle& operator=(NativeHandle&& other) noexcept {
        if (this != &other) {
            reset();
            native_ = other.release();
        }
        return *this;
    }
    NativeHandle(const NativeHandle&) = delete;
    NativeHandle& operator=(const NativeHandle&) = delete;
    ~NativeHandle() { reset(); }

    std::intptr_t get() const { return native_; }
    bool valid() const { return native_ != kNone; }
    // Gives the object up unclosed, to a caller that closes it some other way.
    std::intptr_t release() { return std::exchange(native_, kNone); }
    // Closes without a word, for owners with nowhere to report a failed close.
    void reset();
    // Closes now and reports a failed close; closing nothing succeeds. On POSIX an interrupted
    // close has already released the descriptor, so it is no failure, and retrying could close
    // another file's.
    Status close();

private:
    std::intptr_t native_ = kNone;
};

} // namespace tambrel::platform
