#include "kernel/QtScriptShell_QObject.h"
#include "kernel/events.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDebug>
#include <QtCore/QThread>

static const char *const qtscript_QObject_function_names[] = {
    "QObject",
    // prototype
    "blockSignals", "children", "dumpObjectInfo", "dumpObjectTree", "dynamicPropertyNames",
    "event", "eventFilter", "inherits", "installEventFilter", "isWidgetType", "killTimer",
    "moveToThread", "parent", "property", "removeEventFilter", "setParent", "setProperty",
    "signalsBlocked", "startTimer", "thread", "toString",
};

static const char *const qtscript_QObject_function_signatures[] = {
    "QObject parent",
    // prototype
    "bool b", "", "", "", "", "QEvent arg__1", "QObject arg__1, QEvent arg__2", "char classname",
    "QObject arg__1", "", "int id", "Thread thread", "", "char name", "QObject arg__1",
    "QObject arg__1", "char name, Object value", "", "int interval", "",
};

static const int qtscript_QObject_function_lengths[] = {
    1,
    // prototype
    1, 0, 0, 0, 0, 1, 2, 1, 1, 0, 1, 1, 0, 1, 1, 1, 2, 0, 1, 0, 0,
};

static constexpr kit::ClassTables qtscript_QObject_tables =
    kit::tables("QObject", qtscript_QObject_function_names, qtscript_QObject_function_signatures,
                qtscript_QObject_function_lengths, 0);

static QScriptValue qtscript_QObject_prototype_call(kit::Call &call, QObject *&self)
{
    if (call.index == 20) {
        QString text;
        QDebug(&text) << static_cast<const QObject *>(self);
        return call.ret(text);
    }
    switch (call.at()) {
    case kit::at(0, 1):
        return call.ret(self->blockSignals(call.get<bool>(0)));
    case kit::at(1, 0):
        return call.ret(self->children());
    case kit::at(2, 0):
        self->dumpObjectInfo();
        return call.ret();
    case kit::at(3, 0):
        self->dumpObjectTree();
        return call.ret();
    case kit::at(4, 0):
        return call.ret(self->dynamicPropertyNames());
    case kit::at(5, 1): {
        // Qt dereferences the event: a value that is no event is a mismatch, not a crash.
        QEvent *e = call.get<QEvent *>(0);
        // QtCore's handling of a DeferredDelete lent to this object's override: it goes once
        // the override has returned.
        if (e && e->type() == QEvent::DeferredDelete && kit::DeletionOffer::take(self, e))
            return call.ret(true);
        const events::Sending sending(call, self, e);
        if (sending.refused().isValid())
            return sending.refused();
        return call.ret(self->event(e));
    }
    case kit::at(6, 2): {
        QEvent *e = call.get<QEvent *>(1);
        const events::Sending sending(call, self, e);
        if (sending.refused().isValid())
            return sending.refused();
        return call.ret(self->eventFilter(call.get<QObject *>(0), e));
    }
    case kit::at(7, 1):
        return call.ret(self->inherits(call.arg(0).toString().toLatin1().constData()));
    case kit::at(8, 1): {
        QObject *filter = call.get<QObject *>(0);
        self->installEventFilter(filter);
        kit::filters(filter, self, true);
        return call.ret();
    }
    case kit::at(9, 0):
        return call.ret(self->isWidgetType());
    case kit::at(10, 1):
        kit::catchUp(self);
        self->killTimer(call.get<int>(0));
        return call.ret();
    case kit::at(11, 1): {
        // null (or the handle of no thread) moves it to no thread, as QtCore allows: no events
        // reach it there until a thread takes it. A value that is no thread handle is a mismatch.
        const QVariant handle = kit::variantOf(call.arg(0));
        QThread *const *thread = kit::exactly<QThread *>(handle, qMetaTypeId<QThread *>());
        if (!thread && !call.arg(0).isNull())
            break;
        if (kit::movingNow(self))
            return call.inUse();
        // Each object that moves hears of it first (a ThreadChange, on this thread): its script
        // object lets go there. Afterwards it is the other thread's, which may delete it.
        self->moveToThread(thread ? *thread : nullptr);
        return call.ret();
    }
    case kit::at(12, 0):
        return call.ret(self->parent());
    case kit::at(13, 1):
        return call.ret(self->property(call.arg(0).toString().toLatin1().constData()));
    case kit::at(14, 1): {
        QObject *filter = call.get<QObject *>(0);
        self->removeEventFilter(filter);
        kit::filters(filter, self, false);
        return call.ret();
    }
    case kit::at(15, 1): {
        QObject *parent = call.get<QObject *>(0);
        // Qt checks neither: a parent cycle is never deleted (or deleted twice), and the host's
        // application object, often on its stack, would be deleted with its new parent.
        for (QObject *p = parent; p; p = p->parent()) {
            if (p == self)
                return call.context->throwError(QScriptContext::TypeError,
                                                QStringLiteral("QObject.setParent(): an object cannot be its own ancestor"));
        }
        if (parent && self == QCoreApplication::instance())
            return call.context->throwError(QScriptContext::TypeError,
                                            QStringLiteral("QObject.setParent(): the application object cannot have a parent"));
        if (qobject_cast<QScriptEngine *>(self) || qobject_cast<QThread *>(self))
            return call.context->throwError(QScriptContext::TypeError,
                                            QStringLiteral("QObject.setParent(): the script engine and thread objects cannot be re-parented"));
        if (parent != self->parent() && kit::isProtected(self))
            return call.context->throwError(QScriptContext::TypeError,
                                            QStringLiteral("QObject.setParent(): an object that QtCore keeps cannot be re-parented"));
        // QtCore's setParent is re-entrant only once it has finished its own lists (ChildAdded);
        // in ChildRemoved the object is in none of them and still names its former parent.
        if (kit::InUse::test(self, kit::Work::Parent) && self->parent()
            && !self->parent()->children().contains(self))
            return call.inUse();
        const kit::InUse reparenting(self, kit::Work::Parent);
        // QtCore goes on with the new parent after the old one heard of the child leaving (a
        // script may turn the event loop there): a deletion asked for it waits.
        const kit::Busy newParent(parent, call.engine);
        const QPointer<QObject> former = self->parent();
        self->setParent(parent);
        kit::keepWhileParented(self, former, call.context->thisObject());
        return call.ret();
    }
    case kit::at(16, 2):
        return call.ret(self->setProperty(call.arg(0).toString().toLatin1().constData(),
                                          call.get<QVariant>(1)));
    case kit::at(17, 0):
        return call.ret(self->signalsBlocked());
    case kit::at(18, 1): {
        const int id = self->startTimer(call.get<int>(0));
        kit::settle(self, call.context->thisObject(), true);
        return call.ret(id);
    }
    case kit::at(19, 0):
        // An opaque handle: no methods, only good for moveToThread.
        return call.engine->newVariant(QVariant::fromValue(self->thread()));
    }
    return call.mismatch();
}

static QScriptValue qtscript_QObject_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 1)
        return call.wrapObject(new QtScriptShell_QObject, call.argc ? call.get<QObject *>(0) : nullptr);
    return call.mismatch();
}

QScriptValue qtscript_create_QObject_class(QScriptEngine *engine)
{
    return kit::objectClass<QObject, qtscript_QObject_tables, qtscript_QObject_static_call,
                            qtscript_QObject_prototype_call>(engine);
}
