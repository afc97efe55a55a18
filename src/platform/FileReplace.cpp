#include "platform/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string Reason(int error) {
    return std::string(" (") + std::strerror(error) + ")";
}

// Follows a symbolic link so that the link itself survives the save.
std::string ResolveTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = target + ".~" + std::to_string(getpid()) + "-" + std::to_string(attempt);
            descriptor_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (descriptor_ >= 0 || errno != EEXIST) {
                break;
            }
        }
    }
    ~TemporaryFile() {
        if (descriptor_ >= 0) {
            close(descriptor_);
        }
        if (!kept_) {
            unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int Descriptor() const { return descriptor_; }
    const std::string& Path() const { return path_; }
    bool Close() {
        const int result = close(descriptor_);
        descriptor_ = -1;
        return result == 0;
    }
    void Keep() { kept_ = true; }

private:
    std::string path_;
    int descriptor_ = -1;
    bool kept_ = false;
};

}  // namespace

void ReplaceFileContents(const std::string& path, std::string_view contents) {
    if (path.empty()) {
        throw FileError("Cannot create file: no file name was given");
    }
    const std::string target = ResolveTarget(path);

    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        throw FileError("Cannot create file " + path + " (it is a directory)");
    }
    // A read-only file stays untouched, as it would if it were opened for writing in place; the
    // write bits are checked as well because access() lets the superuser through.
    if (exists && (access(target.c_str(), W_OK) != 0 || (existing.st_mode & 0222) == 0)) {
        throw FileError("Cannot create file " + path + Reason(EACCES));
    }

    TemporaryFile temporary(target);
    if (temporary.Descriptor() < 0) {
        throw FileError("Cannot create file " + path + Reason(errno));
    }
    if (exists) {
        fchmod(temporary.Descriptor(), existing.st_mode & 07777);
    }

    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = write(temporary.Descriptor(), data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError("Cannot write file " + path + Reason(errno));
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (fsync(temporary.Descriptor()) != 0 && errno != EINVAL) {
        throw FileError("Cannot write file " + path + Reason(errno));
    }
    if (!temporary.Close()) {
        throw FileError("Cannot write file " + path + Reason(errno));
    }
    if (std::rename(temporary.Path().c_str(), target.c_str()) != 0) {
        throw FileError("Cannot create file " + path + Reason(errno));
    }
    temporary.Keep();
}
