// Encoding through QtCore's codecs where QtCore's own result would be wrong.
//
// QtCore's UTF-32 encoder sizes its result at 4 bytes per UTF-16 unit and never trims it, so each
// surrogate pair leaves 4 bytes at the end that it never wrote. And a writer of XML that meets a
// character its codec cannot encode drops the text and, from then on, every name it writes. Where
// the bindings call a codec themselves they mend the result; where QtCore encodes on its own (a
// text stream, an XML writer, an encoder) it is handed a stand-in: a codec of the plugin's that
// encodes through the script's codec and mends what it returns. QtCore lists every codec made in
// the process, so a stand-in has no name (no search by name finds it) and a negative MIB number;
// the bindings never hand one to a script (codecBehind), nor find one for a script's name.
#ifndef QTCORE_PLUGIN_CODECS_H
#define QTCORE_PLUGIN_CODECS_H

#include <QtCore/QByteArray>
#include <QtCore/QString>

QT_BEGIN_NAMESPACE
class QTextCodec;
QT_END_NAMESPACE

namespace kit {

enum class CodecUse {
    Text,   // exactly the bytes written
    Xml,    // and a character the codec cannot encode as an XML character reference
};

// The codec QtCore should encode through for `use`: `codec` itself when it needs no mending.
QTextCodec *standIn(QTextCodec *codec, CodecUse use);
// The script's codec behind a stand-in; any other codec (or null) as it is.
QTextCodec *codecBehind(QTextCodec *codec);
// QtCore's codec for a name, never a stand-in: QtCore matches a name by its letters and digits,
// so that any name without either finds a stand-in's empty name.
QTextCodec *codecForName(const QByteArray &name);

// The codec's encoding of `text`, holding only the bytes written.
QByteArray encode(QTextCodec *codec, const QString &text);
// Whether the codec encodes every character (UTF-8, UTF-16, UTF-32).
bool encodesEverything(const QTextCodec *codec);

} // namespace kit

#endif
