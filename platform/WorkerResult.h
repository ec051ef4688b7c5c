#pragma once

#include <QMetaObject>
#include <QObject>

#include <mutex>
#include <optional>
#include <utility>

// Hands the result of a worker thread to the thread of the object that
// started it. The result passes through a lock of ours and the receiver is
// woken by a queued call to one of its slots by name, which Qt builds itself:
// no object of ours crosses threads inside Qt's event queue, whose locks
// a thread checker cannot see.
template<typename T>
class WorkerResult
{
public:
    // Worker thread: keeps result (replacing one not yet taken) and queues
    // receiver->slot(), a slot or invokable without arguments.
    void post(T result, QObject *receiver, const char *slot)
    {
        {
            std::lock_guard lock(m_lock);
            m_result = std::move(result);
        }
        QMetaObject::invokeMethod(receiver, slot, Qt::QueuedConnection);
    }

    // Receiver's thread: the result posted last, once.
    std::optional<T> take()
    {
        std::lock_guard lock(m_lock);
        std::optional<T> result = std::move(m_result);
        m_result.reset();
        return result;
    }

private:
    std::mutex m_lock;
    std::optional<T> m_result;
};
