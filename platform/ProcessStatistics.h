#pragma once

#include <QtGlobal>

#include <memory>

// One reading of the running process's resource use.
struct ProcessSample
{
    qint64 cpuTimeNs = 0;      // user + system CPU time consumed so far
    qint64 wallTimeNs = 0;     // a monotonic clock, for the interval between readings
    qint64 residentBytes = -1; // resident memory (the working set), -1 when unknown
};

// The platform's view of the process's CPU time and memory. Callers may use it
// from any one thread; it holds no shared state.
class IProcessStatistics
{
public:
    virtual ~IProcessStatistics() = default;
    // Fills out and returns true; returns false and leaves out unchanged when
    // the platform cannot say (out.residentBytes stays -1 when only the
    // memory figure is missing).
    virtual bool sample(ProcessSample &out) = 0;
    // Logical processors the process may run on (at least 1).
    virtual int processorCount() = 0;
};

// The backend for the platform this program was built for.
std::unique_ptr<IProcessStatistics> createProcessStatistics();
