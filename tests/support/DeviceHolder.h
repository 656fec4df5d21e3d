// A child process that holds a device as another program would.
#pragma once

#include <sys/types.h>

#include <string>

// Opens the device and takes its advisory lock in a child process, until Release; the child
// is ended on every path out of the test.
class DeviceHolder {
  public:
    explicit DeviceHolder(const std::string& device);
    ~DeviceHolder();
    DeviceHolder(const DeviceHolder&) = delete;
    DeviceHolder& operator=(const DeviceHolder&) = delete;

    bool Holding() const { return holding_; }
    void Release();

  private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool holding_ = false;
};
