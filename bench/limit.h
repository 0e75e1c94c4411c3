// The call table's third reference: each bound call written by hand on QtScript's public API,
// without the plugin's kit (bench/limit.cpp).
#ifndef QTCORE_BENCH_LIMIT_H
#define QTCORE_BENCH_LIMIT_H

#include <QtScript/QScriptEngine>

namespace limit {

// Installs the global `L`: constructors, factories and static functions whose objects carry the
// hand-written methods. Call after the plugin was imported into `engine`.
void install(QScriptEngine &engine);

} // namespace limit

#endif
