#include "kernel/QtScriptShell_QSignalMapper.h"

#include <QtCore/QHash>
#include <QtCore/QPointer>
#include <QtCore/QSet>

#include <optional>

static const char *const qtscript_QSignalMapper_function_names[] = {
    "QSignalMapper",
    // prototype
    "mappingById", "mappingByObject", "mappingByString", "removeMappings", "setMappingById",
    "setMappingByObject", "setMappingByString", "toString",
};

static const char *const qtscript_QSignalMapper_function_signatures[] = {
    "QObject parent",
    // prototype
    "int id", "QObject object", "String text", "QObject sender", "QObject sender, int id",
    "QObject sender, QObject object", "QObject sender, String text",
};

static const int qtscript_QSignalMapper_function_lengths[] = {
    1,
    // prototype
    1, 1, 1, 1, 2, 2, 2, 0,
};

static constexpr kit::ClassTables qtscript_QSignalMapper_tables =
    kit::tables("QSignalMapper", qtscript_QSignalMapper_function_names,
                qtscript_QSignalMapper_function_signatures,
                qtscript_QSignalMapper_function_lengths, 0);

// QtCore's mapper forgets a destroyed sender but keeps a destroyed mapped object, which map()
// would then hand to a script; and it drops a sender's mappings only all together. So what
// scripts map each sender to is kept here: when a mapped object ends, its senders lose that
// mapping and keep their id and text.
namespace {

struct Mapped {
    QPointer<QObject> sender;     // null once the sender is gone (the null sender has none)
    QMetaObject::Connection senderGone;
    std::optional<int> id;
    std::optional<QString> text;
    QObject *object = nullptr;    // watched while mapped
};

struct Mappings {
    QHash<QObject *, Mapped> senders;
    QHash<QObject *, QSet<QObject *>> objects;  // a mapped object and the senders mapped to it
    QHash<QObject *, QMetaObject::Connection> watches;
};

// A mapper is used and deleted on its own thread.
thread_local QHash<const QSignalMapper *, Mappings> t_mappers;

Mappings &mappingsOf(QSignalMapper *mapper)
{
    auto it = t_mappers.find(mapper);
    if (it == t_mappers.end()) {
        it = t_mappers.insert(mapper, Mappings());
        QObject::connect(mapper, &QObject::destroyed, [mapper] { t_mappers.remove(mapper); });
    }
    return *it;
}

// For the callbacks: a mapper that is ending has no record any more, and gets none again.
Mappings *existingMappings(QSignalMapper *mapper)
{
    auto it = t_mappers.find(mapper);
    return it == t_mappers.end() ? nullptr : &*it;
}

void unwatch(Mappings &m, QObject *sender, QObject *object)
{
    auto it = m.objects.find(object);
    if (it == m.objects.end())
        return;
    it->remove(sender);
    if (it->isEmpty()) {
        m.objects.erase(it);
        QObject::disconnect(m.watches.take(object));
    }
}

void forget(Mappings &m, QObject *sender)
{
    auto it = m.senders.find(sender);
    if (it == m.senders.end())
        return;
    QObject::disconnect(it->senderGone);
    if (it->object)
        unwatch(m, sender, it->object);
    m.senders.erase(it);
}

// When the mapped object ends, its senders lose that mapping only.
void objectGone(QSignalMapper *mapper, QObject *object)
{
    Mappings *record = existingMappings(mapper);
    if (!record)
        return;
    Mappings &m = *record;
    QObject::disconnect(m.watches.take(object));
    const QSet<QObject *> senders = m.objects.take(object);
    for (QObject *sender : senders) {
        auto it = m.senders.find(sender);
        if (it == m.senders.end())
            continue;
        Mapped &kept = *it;
        kept.object = nullptr;
        // A sender ending as the object itself loses every mapping through QtCore.
        if (sender && !kept.sender) {
            forget(m, sender);
            continue;
        }
        mapper->removeMappings(sender);
        if (kept.id)
            mapper->setMapping(sender, *kept.id);
        if (kept.text)
            mapper->setMapping(sender, *kept.text);
    }
}

// The record of a sender, begun again when the sender at that address is a new one.
Mapped &mappedOf(QSignalMapper *mapper, QObject *sender)
{
    Mappings &m = mappingsOf(mapper);
    auto it = m.senders.find(sender);
    if (it != m.senders.end() && (!sender || it->sender))
        return *it;
    forget(m, sender);
    Mapped &kept = m.senders[sender];
    if (sender) {
        kept.sender = sender;
        kept.senderGone = QObject::connect(sender, &QObject::destroyed, mapper,
                                           [mapper, sender] {
            if (Mappings *m = existingMappings(mapper))
                forget(*m, sender);
        });
    }
    return kept;
}

void mapToObject(QSignalMapper *mapper, QObject *sender, QObject *object)
{
    Mapped &kept = mappedOf(mapper, sender);
    Mappings &m = mappingsOf(mapper);
    if (kept.object)
        unwatch(m, sender, kept.object);
    kept.object = object;
    mapper->setMapping(sender, object);
    // The mapper itself ends after its record; a null object is never freed.
    if (!object || object == mapper)
        return;
    QSet<QObject *> &senders = m.objects[object];
    if (senders.isEmpty()) {
        m.watches.insert(object, QObject::connect(object, &QObject::destroyed, mapper,
                                                  [mapper, object] { objectGone(mapper, object); }));
    }
    senders.insert(sender);
}

} // namespace

static QScriptValue qtscript_QSignalMapper_prototype_call(kit::Call &call, QSignalMapper *&self)
{
    switch (call.at()) {
    case kit::at(0, 1):
        return call.ret(self->mapping(call.get<int>(0)));
    case kit::at(1, 1):
        return call.ret(self->mapping(call.get<QObject *>(0)));
    case kit::at(2, 1):
        return call.ret(self->mapping(call.arg(0).toString()));
    case kit::at(3, 1): {
        QObject *sender = call.get<QObject *>(0);
        forget(mappingsOf(self), sender);
        self->removeMappings(sender);
        return call.ret();
    }
    case kit::at(4, 2): {
        QObject *sender = call.get<QObject *>(0);
        const int id = call.get<int>(1);
        mappedOf(self, sender).id = id;
        self->setMapping(sender, id);
        return call.ret();
    }
    case kit::at(5, 2):
        mapToObject(self, call.get<QObject *>(0), call.get<QObject *>(1));
        return call.ret();
    case kit::at(6, 2): {
        QObject *sender = call.get<QObject *>(0);
        const QString text = call.arg(1).toString();
        mappedOf(self, sender).text = text;
        self->setMapping(sender, text);
        return call.ret();
    }
    }
    if (call.index == 7)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QSignalMapper_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 1) {
        return call.wrapObject(new QtScriptShell_QSignalMapper, call.argc ? call.get<QObject *>(0) : nullptr);
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QSignalMapper_class(QScriptEngine *engine)
{
    return kit::objectClass<QSignalMapper, qtscript_QSignalMapper_tables,
                            qtscript_QSignalMapper_static_call,
                            qtscript_QSignalMapper_prototype_call>(engine, QMetaType::QObjectStar);
}
