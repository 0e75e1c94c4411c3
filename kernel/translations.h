// What QTranslator reads of .qm data, checked before QtCore reads it: QtCore trusts the data's
// tables at translate time (a context table of no buckets divides by zero, offsets past a
// block read out of bounds) and loads the files it names as dependencies without end when they
// name each other.
#ifndef QTCORE_KERNEL_TRANSLATIONS_H
#define QTCORE_KERNEL_TRANSLATIONS_H

#include <QtCore/QString>

namespace translations {

// The file QTranslator::load(filename, directory, search_delimiters, suffix) reads, found the
// way QtCore finds it (null strings for its defaults); empty when there is none.
QString find(const QString &filename, const QString &directory, const QString &delimiters,
             const QString &suffix);

// True when QtCore may read the data: every table lies within its block, no table a lookup
// divides by is empty, every message a table reaches ends within the messages, and every
// dependency (looked up from `directory`) is a file that passes the same check, without cycles.
// Data QtCore refuses by itself (no magic number, a block past the end) may pass.
bool sound(const uchar *data, qint64 len, const QString &directory);

// sound() for the file at `path`.
bool soundFile(const QString &path, const QString &directory);

} // namespace translations

#endif
