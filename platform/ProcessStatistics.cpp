#include "platform/ProcessStatistics.h"

#include <QFile>

#include <chrono>
#include <thread>

#if defined(Q_OS_UNIX)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

qint64 monotonicNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

#if defined(Q_OS_UNIX)
// CPU time from getrusage, resident memory from /proc/self/statm (second
// field, in pages).
class PosixProcessStatistics final : public IProcessStatistics
{
public:
    bool sample(ProcessSample &out) override
    {
        rusage usage{};
        if (getrusage(RUSAGE_SELF, &usage) != 0)
            return false;
        auto toNs = [](const timeval &tv) {
            return static_cast<qint64>(tv.tv_sec) * 1000000000LL + static_cast<qint64>(tv.tv_usec) * 1000LL;
        };
        ProcessSample s;
        s.cpuTimeNs = toNs(usage.ru_utime) + toNs(usage.ru_stime);
        s.wallTimeNs = monotonicNowNs();
        s.residentBytes = residentBytes();
        out = s;
        return true;
    }

    int processorCount() override
    {
        const long online = sysconf(_SC_NPROCESSORS_ONLN);
        if (online > 0)
            return static_cast<int>(online);
        const unsigned hw = std::thread::hardware_concurrency();
        return hw > 0 ? static_cast<int>(hw) : 1;
    }

private:
    static qint64 residentBytes()
    {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly))
            return -1;
        const QList<QByteArray> fields = statm.readLine().simplified().split(' ');
        if (fields.size() < 2)
            return -1;
        bool ok = false;
        const qint64 pages = fields.at(1).toLongLong(&ok);
        const long pageSize = sysconf(_SC_PAGESIZE);
        if (!ok || pageSize <= 0)
            return -1;
        return pages * pageSize;
    }
};
#endif

} // namespace

std::unique_ptr<IProcessStatistics> createProcessStatistics()
{
#if defined(Q_OS_UNIX)
    return std::make_unique<PosixProcessStatistics>();
#else
    return nullptr;
#endif
}
