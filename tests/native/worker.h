// A thread with a running event loop, and an object living there that a host lends a script
// (the only way a script reaches another thread).
#ifndef QTCORE_TESTS_WORKER_H
#define QTCORE_TESTS_WORKER_H

#include <QtCore/QObject>
#include <QtCore/QThread>

#include <utility>

struct Worker {
    Worker()
    {
        anchor.moveToThread(&thread);
        thread.start();
    }
    ~Worker()
    {
        thread.quit();
        thread.wait();
    }
    // Runs `f` on the worker and waits for it.
    template <class F>
    void run(F &&f)
    {
        QMetaObject::invokeMethod(&anchor, std::forward<F>(f), Qt::BlockingQueuedConnection);
    }

    QThread thread;
    QObject anchor;
};

#endif
