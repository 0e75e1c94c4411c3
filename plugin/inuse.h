// Objects at work.
//
// A native object that calls script code while it works (a reader asking a script resolver, a
// writer writing to a script device) must not be changed by that code under QtCore's feet: the
// binding marks it for the duration of the call, and methods that would change it refuse
// (Call::inUse) while it is marked. Per thread: script code runs on its engine's thread. The
// work names what is in progress: anything (a reader's readNext), the transfer of a device (its
// readData or writeData override runs), a change of parent (setParent), a delivery (an event), a
// move to another thread (QtCore's ThreadChange is being delivered).
#ifndef QTCORE_PLUGIN_INUSE_H
#define QTCORE_PLUGIN_INUSE_H

namespace kit {

enum class Work { Any, Transfer, Parent, Delivery, Move };

class InUse
{
public:
    explicit InUse(const void *object, Work work = Work::Any);
    ~InUse();
    InUse(const InUse &) = delete;
    InUse &operator=(const InUse &) = delete;
    static bool test(const void *object, Work work = Work::Any);
    // Whether `related` holds for an object at `work`.
    template <class Related>
    static bool any(Work work, Related &&related)
    {
        for (const InUse *u = innermost(); u; u = u->m_outer) {
            if (u->m_work == work && related(u->m_object))
                return true;
        }
        return false;
    }

private:
    static const InUse *innermost();

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
