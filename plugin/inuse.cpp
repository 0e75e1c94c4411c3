// Objects at work (inuse.h): this thread's marks, innermost first.
#include "plugin/inuse.h"

namespace kit {

namespace {
// Initial-exec: a mark costs two stores, not a call into the dynamic loader.
thread_local InUse *innermostInUse __attribute__((tls_model("initial-exec"))) = nullptr;
}

InUse::InUse(const void *object, Work work)
    : m_object(object), m_work(work), m_outer(innermostInUse)
{
    innermostInUse = this;
}

InUse::~InUse()
{
    innermostInUse = m_outer;
}

const InUse *InUse::innermost()
{
    return innermostInUse;
}

bool InUse::test(const void *object, Work work)
{
    for (const InUse *u = innermostInUse; u; u = u->m_outer) {
        if (u->m_object == object && u->m_work == work)
            return true;
    }
    return false;
}

} // namespace kit
