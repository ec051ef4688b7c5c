#include "capture/v4l2/V4l2Api.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

class SystemV4l2Api final : public V4l2Api
{
public:
    std::vector<std::string> videoNodes() override
    {
        std::vector<std::pair<int, std::string>> found;
        std::error_code ec;
        for (const auto &entry : std::filesystem::directory_iterator("/dev", ec)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("video", 0) != 0 || name.size() == 5)
                continue;
            const std::string digits = name.substr(5);
            if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
                continue;
            found.emplace_back(std::stoi(digits), entry.path().string());
        }
        std::sort(found.begin(), found.end());
        std::vector<std::string> nodes;
        for (auto &f : found)
            nodes.push_back(f.second);
        return nodes;
    }

    std::vector<std::string> byIdLinks() override
    {
        std::vector<std::string> links;
        std::error_code ec;
        for (const auto &entry : std::filesystem::directory_iterator("/dev/v4l/by-id", ec))
            links.push_back(entry.path().string());
        std::sort(links.begin(), links.end());
        return links;
    }

    std::string resolve(const std::string &path) override
    {
        std::error_code ec;
        const auto canonical = std::filesystem::canonical(path, ec);
        return ec ? std::string() : canonical.string();
    }

    int open(const std::string &path) override { return ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC); }
    void close(int fd) override { ::close(fd); }

    int ioctl(int fd, unsigned long request, void *arg) override
    {
        int r;
        do {
            r = ::ioctl(fd, request, arg);
        } while (r == -1 && errno == EINTR);
        return r == -1 ? errno : 0;
    }

    void *mmap(std::size_t length, int fd, off_t offset) override
    {
        void *p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, offset);
        return p == MAP_FAILED ? nullptr : p;
    }
    void munmap(void *address, std::size_t length) override { ::munmap(address, length); }

    int poll(int fd, int timeoutMs) override
    {
        pollfd p{fd, POLLIN, 0};
        int r;
        do {
            r = ::poll(&p, 1, timeoutMs);
        } while (r == -1 && errno == EINTR);
        if (r < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return -1;
        return r > 0 ? 1 : 0;
    }
};

} // namespace

V4l2Api &systemV4l2Api()
{
    static SystemV4l2Api api;
    return api;
}
