#include "server/registry_snapshot.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tambrel {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~FileDescriptor() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

} // namespace

std::optional<RegistrySnapshot> RegistrySnapshot::read(const std::string& path,
                                                       std::size_t sizeLimit) {
    // Read only, and never waiting: a FIFO put in the registry file's place must not hang us.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0 ||
        static_cast<unsigned long long>(status.st_size) > sizeLimit)
        return std::nullopt;

    RegistrySnapshot snapshot;
    const auto wanted = static_cast<std::size_t>(status.st_size);
    snapshot.bytes_ = std::make_unique_for_overwrite<char[]>(wanted == 0 ? 1 : wanted);
    // One read takes the whole file; a short one (a file cut meanwhile) is taken as it is.
    while (snapshot.size_ < wanted) {
        const ssize_t count =
            ::read(file.get(), snapshot.bytes_.get() + snapshot.size_, wanted - snapshot.size_);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        snapshot.size_ += static_cast<std::size_t>(count);
    }
    return snapshot;
}

} // namespace tambrel
