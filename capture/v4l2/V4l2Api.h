#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

// The few system calls the V4L2 backend makes, behind one interface so that
// enumeration, format choice and streaming run against recorded device answers
// in tests. Every call reports failure by its result; none throws.
// Thread use: the inventory calls run on any one thread at a time; a running
// stream calls ioctl and poll on its own capture thread for its own fd only.
class V4l2Api
{
public:
    virtual ~V4l2Api() = default;

    // Device nodes "/dev/videoN", in ascending N.
    virtual std::vector<std::string> videoNodes() = 0;
    // Stable links below /dev/v4l/by-id/, sorted by name.
    virtual std::vector<std::string> byIdLinks() = 0;
    // Canonical path of a node or link; empty when it does not resolve.
    virtual std::string resolve(const std::string &path) = 0;

    // A file descriptor, or -1 when the node cannot be opened.
    virtual int open(const std::string &path) = 0;
    virtual void close(int fd) = 0;
    // 0 on success, otherwise the errno value of the failed request.
    virtual int ioctl(int fd, unsigned long request, void *arg) = 0;
    // The mapped buffer, or nullptr.
    virtual void *mmap(std::size_t length, int fd, off_t offset) = 0;
    virtual void munmap(void *address, std::size_t length) = 0;
    // 1 when a frame is ready, 0 on timeout, -1 when the device is gone or failed.
    virtual int poll(int fd, int timeoutMs) = 0;
};

// The real kernel interface.
V4l2Api &systemV4l2Api();
