// Device shells: the overrides every device shell has (the five event functions and the sixteen
// virtual functions of QIODevice), written once. A device's shell names its class and replaces
// only the overrides whose fallback is not the nearest base implementation.
#ifndef QTCORE_PLUGIN_DEVICESHELL_H
#define QTCORE_PLUGIN_DEVICESHELL_H

#include "plugin/shell.h"

#include <QtCore/QFileDevice>
#include <QtCore/QIODevice>

#include <type_traits>

namespace kit {

// The destination a script readData/readLineData receives, while the call runs: getChar stores
// bytes there one after another, up to the capacity QtCore gave. No other "char*" handle takes a
// byte (the source of writeData and other lent texts are QtCore's own and read-only).
class LentBuffer
{
public:
    LentBuffer(char *data, qint64 capacity);
    ~LentBuffer();
    LentBuffer(const LentBuffer &) = delete;
    LentBuffer &operator=(const LentBuffer &) = delete;

    // The destination lent at `data` on this thread now, or null.
    static LentBuffer *at(const char *data);
    bool full() const { return m_filled >= m_capacity; }
    void put(char c) { m_data[m_filled++] = c; }
    qint64 filled() const { return m_filled; }

private:
    char *m_data;
    qint64 m_capacity;
    qint64 m_filled = 0;
    LentBuffer *m_outer;
};

// The count a script readData/readLineData/writeData returned, clamped to -1..most: QtCore never
// counts bytes the script did not supply.
qint64 transferCount(const QScriptValue &result, qint64 most);

// The error string of a device whose script lacks readData or writeData (QIODevice has none).
QString missingFunction(const char *name);

// While a device's readData/readLineData/writeData override runs, QIODevice is inside its own
// read or write: the device stays (Busy), and calls that would read, write or change it throw
// (its binding tests InUse with Work::Transfer).
class Transfer
{
public:
    Transfer(const QIODevice *device, const QScriptEngine *engine)
        : m_mark(device, engine), m_atWork(device, Work::Transfer)
    {}

private:
    const Busy m_mark;
    const InUse m_atWork;
};

// A method of a device class that reads, writes or changes the device (its index is among
// `indexes`), called while the device's own transfer override runs: the in-use error (QIODevice
// is not re-entrant). Otherwise the invalid value.
QScriptValue refuseInTransfer(const Call &call, const QIODevice *device,
                              std::initializer_list<int> indexes);

template <class Base>
class DeviceShell : public ObjectShell<Base>
{
public:
    using ObjectShell<Base>::ObjectShell;
    // QtCore closes a file in QFileDevice's destructor, where a QFile's handlers would find a
    // QFileDevice (and QtScript's wrapper, whose property accessors keep the class they were first
    // read for, crashes). It closes here, while the whole object stands.
    ~DeviceShell() override
    {
        if constexpr (std::is_base_of<QFileDevice, Base>::value) {
            if (this->isOpen())
                this->endWork([this] { Base::close(); }, [this] { return !this->isOpen(); }, false);
        }
    }

    bool isSequential() const override
    {
        return forward<bool>(this->scriptSelf, "isSequential",
                             [&] { return Base::isSequential(); });
    }
    bool open(QIODevice::OpenMode mode) override
    {
        return forward<bool>(this->scriptSelf, "open", [&] { return Base::open(mode); },
                             mode);
    }
    void close() override
    {
        forward<void>(this->scriptSelf, "close", [&] { Base::close(); });
    }
    qint64 pos() const override
    {
        return forward<qint64>(this->scriptSelf, "pos", [&] { return Base::pos(); });
    }
    qint64 size() const override
    {
        return forward<qint64>(this->scriptSelf, "size", [&] { return Base::size(); });
    }
    bool seek(qint64 offset) override
    {
        return forward<bool>(this->scriptSelf, "seek",
                             [&] { return Base::seek(offset); }, offset);
    }
    bool atEnd() const override
    {
        return forward<bool>(this->scriptSelf, "atEnd", [&] { return Base::atEnd(); });
    }
    bool reset() override
    {
        return forward<bool>(this->scriptSelf, "reset", [&] { return Base::reset(); });
    }
    qint64 bytesAvailable() const override
    {
        return forward<qint64>(this->scriptSelf, "bytesAvailable",
                               [&] { return Base::bytesAvailable(); });
    }
    qint64 bytesToWrite() const override
    {
        return forward<qint64>(this->scriptSelf, "bytesToWrite",
                               [&] { return Base::bytesToWrite(); });
    }
    bool canReadLine() const override
    {
        return forward<bool>(this->scriptSelf, "canReadLine",
                             [&] { return Base::canReadLine(); });
    }
    bool waitForReadyRead(int msecs) override
    {
        return forward<bool>(this->scriptSelf, "waitForReadyRead",
                             [&] { return Base::waitForReadyRead(msecs); }, msecs);
    }
    bool waitForBytesWritten(int msecs) override
    {
        return forward<bool>(this->scriptSelf, "waitForBytesWritten",
                             [&] { return Base::waitForBytesWritten(msecs); }, msecs);
    }

protected:
    qint64 readData(char *data, qint64 maxlen) override
    {
        return readThrough("readData", data, maxlen, [&]() -> qint64 {
            if constexpr (std::is_abstract<Base>::value) {
                this->setErrorString(missingFunction("readData"));
                return -1;
            } else {
                return Base::readData(data, maxlen);
            }
        });
    }
    qint64 readLineData(char *data, qint64 maxlen) override
    {
        return readThrough("readLineData", data, maxlen,
                           [&] { return Base::readLineData(data, maxlen); });
    }
    qint64 writeData(const char *data, qint64 len) override
    {
        return writeThrough(data, len, [&]() -> qint64 {
            if constexpr (std::is_abstract<Base>::value) {
                this->setErrorString(missingFunction("writeData"));
                return -1;
            } else {
                return Base::writeData(data, len);
            }
        });
    }

    // The script's readData/readLineData fills the lent destination through getChar.
    template <class Fallback>
    qint64 readThrough(const char *name, char *data, qint64 maxlen, Fallback &&base)
    {
        const Override o(this->scriptSelf, name);
        if (!o.function.isValid())
            return base();
        const Transfer transfer(this, this->scriptSelf.boundEngine());
        LentBuffer destination(data, maxlen);
        const QScriptValue result = callOverride(o.function, o.self, data, maxlen);
        return transferCount(result, destination.filled());
    }
    // The source is lent as an opaque handle: a script learns only its length.
    template <class Fallback>
    qint64 writeThrough(const char *data, qint64 len, Fallback &&base)
    {
        const Override o(this->scriptSelf, "writeData");
        if (!o.function.isValid())
            return base();
        const Transfer transfer(this, this->scriptSelf.boundEngine());
        return transferCount(callOverride(o.function, o.self, const_cast<char *>(data), len), len);
    }
};

} // namespace kit

#endif
