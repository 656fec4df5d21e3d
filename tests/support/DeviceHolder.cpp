#include "tests/support/DeviceHolder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

DeviceHolder::DeviceHolder(const std::string& device) {
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) {
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        // Only async-signal-safe calls in the child of a threaded process.
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
        const char ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
        [[maybe_unused]] ssize_t n = ::write(ready[1], &ok, 1);
        char byte;
        n = ::read(release[0], &byte, 1);
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    pollfd wait{ready[0], POLLIN, 0};
    char ok = 0;
    if (::poll(&wait, 1, 5000) == 1 && ::read(ready[0], &ok, 1) == 1) {
        holding_ = ok == 1;
    }
    ::close(ready[0]);
}

DeviceHolder::~DeviceHolder() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
    }
    Release();
}

void DeviceHolder::Release() {
    if (release_ >= 0) {
        ::close(release_);
        release_ = -1;
    }
    if (pid_ > 0) {
        int status;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}
