// A file descriptor closed when it goes out of scope, for the POSIX side of the platform layer.
#pragma once

#include <unistd.h>

namespace tambrel::platform {

class UniqueDescriptor {
public:
    explicit UniqueDescriptor(int descriptor = -1) : descriptor_(descriptor) {}
    ~UniqueDescriptor() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    UniqueDescriptor(const UniqueDescriptor&) = delete;
    UniqueDescriptor& operator=(const UniqueDescriptor&) = delete;
    int get() const { return descriptor_; }
    int release() {
        const int descriptor = descriptor_;
        descriptor_ = -1;
        return descriptor;
    }

private:
    int descriptor_;
};

} // namespace tambrel::platform
