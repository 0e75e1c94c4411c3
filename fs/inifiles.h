// What QtCore would do with an INI file's values before it is asked to. QtCore reads a value
// stored as "@Variant(...)" (or "@DateTime(...)") with QDataStream and believes the counts it
// finds there: a list that announces 2^31 elements is allocated before one of them is read, and a
// nesting thousands deep overflows the stack. Such a file is unsound; QSettings must not read it.
#ifndef QTCORE_FS_INIFILES_H
#define QTCORE_FS_INIFILES_H

#include <QtCore/QByteArray>
#include <QtCore/QString>

namespace inifiles {

// Lists, maps and variants nest no deeper than this in a sound value.
constexpr int MaxNesting = 64;

// False when a value of the INI text announces a list longer than the value could hold, nests
// deeper than MaxNesting, or holds a type whose reading the plugin cannot vouch for (one that
// neither QtCore's core types nor a few fixed-size GUI types cover).
bool sound(const QByteArray &text);
// The same for a file; a file that cannot be read is sound (QtCore reads nothing of it either).
bool soundFile(const QString &path);

} // namespace inifiles

#endif
