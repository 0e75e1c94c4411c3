// Error texts: what a script reads when the bindings refuse a call.
//
// One function for each kind of refusal, shared by the dispatch frame and the class files, so
// that every class words the same refusal alike.
#ifndef QTCORE_PLUGIN_ERRORS_H
#define QTCORE_PLUGIN_ERRORS_H

#include <QtScript/QScriptContext>
#include <QtScript/QScriptValue>

namespace kit {

QScriptValue throwNotConstructedWithNew(QScriptContext *context, const char *className);
QScriptValue throwCannotConstruct(QScriptContext *context, const char *className);
QScriptValue throwNotThis(QScriptContext *context, const char *className, const char *method);
QScriptValue throwMismatch(QScriptContext *context, const char *className,
                           const char *function, const char *signatures);
QScriptValue throwIndexOutOfRange(QScriptContext *context, const char *className,
                                  const char *method);
QScriptValue throwListTooLong(QScriptContext *context, const char *className,
                             const char *function);
QScriptValue throwInUse(QScriptContext *context, const char *className, const char *method);
QScriptValue throwCountOutOfRange(QScriptContext *context, const char *className,
                                  const char *method, int count);

// Turns a C++ exception into a script Error: nothing native may unwind into the engine.
QScriptValue throwNativeFailure(QScriptContext *context, const char *what);

} // namespace kit

#endif
