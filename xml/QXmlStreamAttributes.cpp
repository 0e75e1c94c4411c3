#include "plugin/kit.h"

#include <QtCore/QXmlStreamAttributes>

static const char *const qtscript_QXmlStreamAttributes_function_names[] = {
    "QXmlStreamAttributes",
    // static
    "fromList",
    // prototype
    "append", "at", "capacity", "clear", "contains", "count", "empty", "fill", "first", "indexOf",
    "isEmpty", "last", "lastIndexOf", "mid", "equals", "prepend", "remove", "replace", "reserve",
    "resize", "setSharable", "size", "squeeze", "toList", "value", "toString",
};

static const char *const qtscript_QXmlStreamAttributes_function_signatures[] = {
    "",
    // static
    "List list",
    // prototype
    "String namespaceUri, String name, String value\nString qualifiedName, String value\n"
    "QXmlStreamAttribute attribute",
    "int i", "", "", "QXmlStreamAttribute t", "\nQXmlStreamAttribute t", "",
    "QXmlStreamAttribute t, int size", "", "QXmlStreamAttribute t, int from", "", "",
    "QXmlStreamAttribute t, int from", "int pos, int length", "List v", "QXmlStreamAttribute t",
    "int i\nint i, int n", "int i, QXmlStreamAttribute t", "int size", "int size",
    "bool sharable", "", "", "", "String namespaceUri, String name\nString qualifiedName",
};

static const int qtscript_QXmlStreamAttributes_function_lengths[] = {
    0,
    // static
    1,
    // prototype
    3, 1, 0, 0, 1, 1, 0, 2, 0, 2, 0, 0, 2, 2, 1, 1, 2, 2, 1, 1, 1, 0, 0, 0, 2, 0,
};

static constexpr kit::ClassTables qtscript_QXmlStreamAttributes_tables =
    kit::tables("QXmlStreamAttributes", qtscript_QXmlStreamAttributes_function_names,
                qtscript_QXmlStreamAttributes_function_signatures,
                qtscript_QXmlStreamAttributes_function_lengths, 1);

using Attributes = QVector<QXmlStreamAttribute>;

// An element has a few attributes: a size beyond this is a script's mistake, and building it
// (fill hands every element back as a script object) would take minutes.
constexpr int MaxSize = 1 << 20;

static QScriptValue qtscript_QXmlStreamAttributes_prototype_call(
    kit::Call &call, kit::ValueHandle<QXmlStreamAttributes> &self)
{
    // Arguments are read before self.edit(): `this` may be one of them, and editing empties it.
    // Qt 5 only asserts its indexes: every index is checked here.
    const int size = self->size();
    switch (call.at()) {
    case kit::at(0, 1): {
        const QXmlStreamAttribute t = call.get<QXmlStreamAttribute>(0);
        self.edit()->append(t);
        return call.ret();
    }
    case kit::at(0, 2): {
        const QString qualifiedName = call.get<QString>(0);
        const QString value = call.get<QString>(1);
        self.edit()->append(compat::xmlAttribute(qualifiedName, value));
        return call.ret();
    }
    case kit::at(0, 3): {
        const QString namespaceUri = call.get<QString>(0);
        const QString name = call.get<QString>(1);
        const QString value = call.get<QString>(2);
        self.edit()->append(compat::xmlAttribute(namespaceUri, name, value));
        return call.ret();
    }
    case kit::at(1, 1): {
        const int i = call.get<int>(0);
        if (i < 0 || i >= size)
            return call.outOfRange();
        return call.ret(self->at(i));
    }
    case kit::at(2, 0):
        return call.ret(self->capacity());
    case kit::at(3, 0):
        *self.edit() = QXmlStreamAttributes();
        return call.ret();
    case kit::at(4, 1):
        return call.ret(self->contains(call.get<QXmlStreamAttribute>(0)));
    case kit::at(5, 0):
        return call.ret(size);
    case kit::at(5, 1):
        return call.ret(self->count(call.get<QXmlStreamAttribute>(0)));
    case kit::at(6, 0):
    case kit::at(10, 0):
        return call.ret(self->isEmpty());
    case kit::at(7, 1):
    case kit::at(7, 2): {
        const QXmlStreamAttribute t = call.get<QXmlStreamAttribute>(0);
        // -1, Qt's default, keeps the size.
        const int n = call.get<int>(1, -1);
        if (n < -1 || n > MaxSize)
            return call.outOfRange();
        return call.ret(self.edit()->fill(t, n).toList());
    }
    case kit::at(8, 0):
    case kit::at(11, 0):
        if (!size)
            return call.outOfRange();
        return call.ret(call.index == 8 ? self->first() : self->last());
    case kit::at(9, 1):
    case kit::at(9, 2):
        return call.ret(self->indexOf(call.get<QXmlStreamAttribute>(0), call.get<int>(1, 0)));
    case kit::at(12, 1):
    case kit::at(12, 2):
        return call.ret(self->lastIndexOf(call.get<QXmlStreamAttribute>(0), call.get<int>(1, -1)));
    case kit::at(13, 1):
    case kit::at(13, 2):
        return call.ret(self->mid(call.get<int>(0), call.get<int>(1, -1)).toList());
    case kit::at(14, 1):
        return call.ret(static_cast<const Attributes &>(*self)
                        == Attributes::fromList(call.get<QList<QXmlStreamAttribute>>(0)));
    case kit::at(15, 1): {
        const QXmlStreamAttribute t = call.get<QXmlStreamAttribute>(0);
        self.edit()->prepend(t);
        return call.ret();
    }
    case kit::at(16, 1):
    case kit::at(16, 2): {
        const int i = call.get<int>(0);
        const int n = call.get<int>(1, 1);
        if (i < 0 || n < 0 || i > size || n > size - i)
            return call.outOfRange();
        self.edit()->remove(i, n);
        return call.ret();
    }
    case kit::at(17, 2): {
        const int i = call.get<int>(0);
        const QXmlStreamAttribute t = call.get<QXmlStreamAttribute>(1);
        if (i < 0 || i >= size)
            return call.outOfRange();
        self.edit()->replace(i, t);
        return call.ret();
    }
    case kit::at(18, 1):
    case kit::at(19, 1): {
        const int n = call.get<int>(0);
        // A negative capacity is Qt's no-op; a negative size would destroy elements before the first.
        if (n > MaxSize || (n < 0 && call.index == 19))
            return call.outOfRange();
        if (call.index == 18)
            self.edit()->reserve(n);
        else
            self.edit()->resize(n);
        return call.ret();
    }
    case kit::at(20, 1): {
        const bool sharable = call.get<bool>(0);
        self.edit()->setSharable(sharable);
        return call.ret();
    }
    case kit::at(21, 0):
        return call.ret(size);
    case kit::at(22, 0):
        self.edit()->squeeze();
        return call.ret();
    case kit::at(23, 0):
        return call.ret(self->toList());
    case kit::at(24, 1):
        return call.ret(self->value(call.get<QString>(0)).toString());
    case kit::at(24, 2):
        return call.ret(self->value(call.get<QString>(0), call.get<QString>(1)).toString());
    }
    if (call.index == 25)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QXmlStreamAttributes_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QXmlStreamAttributes());
    case kit::at(1, 1):
        return call.ret(call.get<QList<QXmlStreamAttribute>>(0));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QXmlStreamAttributes_class(QScriptEngine *engine)
{
    return kit::valueClass<QXmlStreamAttributes, qtscript_QXmlStreamAttributes_tables,
                           qtscript_QXmlStreamAttributes_static_call,
                           qtscript_QXmlStreamAttributes_prototype_call>(engine);
}
