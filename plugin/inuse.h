// Objects at work.
//
// A native object that calls script code while it works (a reader asking a script resolver, a
// writer writing to a script device) must not be changed by that code under QtCore's feet: the
// binding marks it for the duration of the call, and methods that would change it refuse
// (Call::inUse) while it is marked. Per thread: script code runs on its engine's thread. The
// work names what is in progress: anything (a reader's readNext), the transfer of a device (its
// readData or writeData override runs), a change of parent (setParent), a delivery (an event).
#ifndef QTCORE_PLUGIN_INUSE_H
#define QTCORE_PLUGIN_INUSE_H

namespace kit {

enum class Work { Any, Transfer, Parent, Delivery };

class InUse
{
public:
    explicit InUse(const void *object, Work work = Work::Any);
    ~InUse();
    InUse(const InUse &) = delete;
    InUse &operator=(const InUse &) = delete;
    static bool test(const void *object, Work work = Work::Any);

private:
    const void *m_object;
    Work m_work;
    InUse *m_outer;
};

// A method that may run script code while it works on an object (a stream's read of a script
// device, a setParent that sends child events): refused (Call::inUse) when the object is already
// at that work further up, else at work meanwhile. Methods that do not work on it (`working`
// false) pass and mark nothing.
class AtWork
{
public:
    AtWork(const void *object, bool working, Work work = Work::Any)
        : m_refused(working && InUse::test(object, work)),
          m_busy(working && !m_refused ? object : nullptr, work)
    {}
    bool refused() const { return m_refused; }

private:
    const bool m_refused;
    const InUse m_busy;
};

} // namespace kit

#endif
