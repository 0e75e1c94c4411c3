#include "plugin/compat.h"
#include "plugin/enums.h"
#include "plugin/kit.h"

#include <QtCore/QTextBoundaryFinder>

static const char *const qtscript_QTextBoundaryFinder_function_names[] = {
    "QTextBoundaryFinder",
    // prototype
    "boundaryReasons", "isAtBoundary", "isValid", "position", "setPosition", "string", "toEnd",
    "toNextBoundary", "toPreviousBoundary", "toStart", "type", "toString",
};

static const char *const qtscript_QTextBoundaryFinder_function_signatures[] = {
    "\nBoundaryType type, String string\nQTextBoundaryFinder other",
    // prototype
    "", "", "", "", "int position", "", "", "", "", "", "",
};

static const int qtscript_QTextBoundaryFinder_function_lengths[] = {
    2,
    // prototype
    0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QTextBoundaryFinder_tables =
    kit::tables("QTextBoundaryFinder", qtscript_QTextBoundaryFinder_function_names,
                qtscript_QTextBoundaryFinder_function_signatures,
                qtscript_QTextBoundaryFinder_function_lengths, 0);

using Finder = QTextBoundaryFinder;

// The tables hold Qt 4.4's values; compat translates them to and from Qt 5's.
static constexpr const char *qtscript_QTextBoundaryFinder_BoundaryType_keys[] = {
    "Grapheme", "Word", "Line", "Sentence",
};
static constexpr int qtscript_QTextBoundaryFinder_BoundaryType_values[] = {0, 1, 2, 3};
static constexpr kit::EnumInfo qtscript_QTextBoundaryFinder_BoundaryType =
    kit::enumeration<Finder::BoundaryType>(
        "QTextBoundaryFinder", "BoundaryType", qtscript_QTextBoundaryFinder_BoundaryType_keys,
        qtscript_QTextBoundaryFinder_BoundaryType_values, kit::KeyLookup::DirectIndex);

static constexpr const char *qtscript_QTextBoundaryFinder_BoundaryReason_keys[] = {
    "NotAtBoundary", "StartWord", "EndWord",
};
static constexpr int qtscript_QTextBoundaryFinder_BoundaryReason_values[] = {0, 1, 2};
static constexpr kit::EnumInfo qtscript_QTextBoundaryFinder_BoundaryReason =
    kit::enumeration<Finder::BoundaryReason>(
        "QTextBoundaryFinder", "BoundaryReason", qtscript_QTextBoundaryFinder_BoundaryReason_keys,
        qtscript_QTextBoundaryFinder_BoundaryReason_values, kit::KeyLookup::DirectIndex);
static constexpr kit::FlagsInfo qtscript_QTextBoundaryFinder_BoundaryReasons =
    kit::flags<Finder::BoundaryReason>(qtscript_QTextBoundaryFinder_BoundaryReason,
                                       "BoundaryReasons");

static QScriptValue qtscript_QTextBoundaryFinder_prototype_call(
    kit::Call &call, kit::ValueHandle<Finder> &self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(Finder::BoundaryReasons(
            QFlag(compat::boundaryReasonsToQt4(int(self->boundaryReasons())))));
    case kit::at(1, 0):
        return call.ret(self->isAtBoundary());
    case kit::at(2, 0):
        return call.ret(self->isValid());
    case kit::at(3, 0):
        return call.ret(self->position());
    case kit::at(4, 1):
        self.edit()->setPosition(call.get<int>(0));
        return call.ret();
    case kit::at(5, 0):
        return call.ret(self->string());
    case kit::at(6, 0):
        self.edit()->toEnd();
        return call.ret();
    case kit::at(7, 0):
        return call.ret(self.edit()->toNextBoundary());
    case kit::at(8, 0):
        return call.ret(self.edit()->toPreviousBoundary());
    case kit::at(9, 0):
        self.edit()->toStart();
        return call.ret();
    case kit::at(10, 0):
        return call.ret(Finder::BoundaryType(compat::boundaryTypeToQt4(self->type())));
    }
    if (call.index == 11)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QTextBoundaryFinder_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(compat::defaultBoundaryFinder());
    case kit::at(0, 1):
        // Anything but a finder gives a default finder, never an uninitialised one.
        return call.wrapValue(call.is<Finder>(0) ? call.get<Finder>(0)
                                                 : compat::defaultBoundaryFinder());
    case kit::at(0, 2): {
        const auto type = Finder::BoundaryType(
            compat::boundaryTypeFromQt4(call.get<Finder::BoundaryType>(0)));
        return call.wrapValue(Finder(type, call.arg(1).toString()));
    }
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QTextBoundaryFinder_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::valueClass<Finder, qtscript_QTextBoundaryFinder_tables,
                        qtscript_QTextBoundaryFinder_static_call,
                        qtscript_QTextBoundaryFinder_prototype_call>(engine);
    kit::addEnum<qtscript_QTextBoundaryFinder_BoundaryReason>(engine, ctor);
    kit::addFlags<qtscript_QTextBoundaryFinder_BoundaryReasons>(engine, ctor);
    kit::addEnum<qtscript_QTextBoundaryFinder_BoundaryType>(engine, ctor);
    return ctor;
}
