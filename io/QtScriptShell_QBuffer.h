#ifndef QTSCRIPTSHELL_QBUFFER_H
#define QTSCRIPTSHELL_QBUFFER_H

#include "plugin/deviceshell.h"

#include <QtCore/QBuffer>
#include <QtCore/QScopedValueRollback>

class QtScriptShell_QBuffer : public kit::DeviceShell<QBuffer>
{
public:
    using DeviceShell::DeviceShell;

    // QBuffer copies at pos(), which is virtual: inside its own reads and writes the position is
    // the true one, whatever a script override of pos answers.
    qint64 pos() const override
    {
        if (m_copying)
            return QBuffer::pos();
        return DeviceShell::pos();
    }
    // QBuffer computes in int: it never grows its array past the largest byte array.
    bool seek(qint64 offset) override
    {
        return kit::forward<bool>(scriptSelf, "seek",
                                  [&] { return offset <= kit::MaxBytes && QBuffer::seek(offset); },
                                  offset);
    }

protected:
    qint64 readData(char *data, qint64 maxlen) override
    {
        return readThrough("readData", data, maxlen,
                           [&] { return copying([&] { return QBuffer::readData(data, maxlen); }); });
    }
    qint64 writeData(const char *data, qint64 len) override
    {
        return writeThrough(data, len, [&]() -> qint64 {
            if (QBuffer::pos() + len > kit::MaxBytes)
                return -1;
            return copying([&] { return QBuffer::writeData(data, len); });
        });
    }

private:
    template <class F>
    qint64 copying(F &&f) const
    {
        const QScopedValueRollback<bool> inside(m_copying, true);
        return f();
    }

    mutable bool m_copying = false;
};

#endif
