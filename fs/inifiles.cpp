#include "fs/inifiles.h"

#include <QtCore/QDataStream>
#include <QtCore/QFile>
#include <QtCore/QMetaType>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

namespace inifiles {

namespace {

// ---------------------------------------------------------------------------------------------
// Values in QDataStream's form

enum class Kind { Walked, Read, Unsound };

// Types whose stream form QtCore reads within the bytes it has (strings and arrays grow as their
// bytes arrive; JSON parses its own text): the core types that are not lists, and the GUI types of
// fixed size.
bool readWithinBytes(int type)
{
    switch (type) {
    case QMetaType::UnknownType:
    case QMetaType::QString: case QMetaType::QByteArray: case QMetaType::QBitArray:
    case QMetaType::QDate: case QMetaType::QTime: case QMetaType::QDateTime:
    case QMetaType::QUrl: case QMetaType::QLocale: case QMetaType::QRegExp: case QMetaType::QUuid:
    case QMetaType::QRegularExpression:
    case QMetaType::QJsonValue: case QMetaType::QJsonObject: case QMetaType::QJsonArray:
    case QMetaType::QJsonDocument:
    case QMetaType::QFont: case QMetaType::QColor: case QMetaType::QTextLength:
        return true;
    }
    return (type >= QMetaType::Bool && type <= QMetaType::QChar)
        || (type >= QMetaType::QRect && type <= QMetaType::QPointF)
        || (type >= QMetaType::Long && type <= QMetaType::Float) || type == QMetaType::SChar
        || (type >= QMetaType::QMatrix && type <= QMetaType::QQuaternion);
}

// Whether any module or the application reads the type from a stream at all (probed on no bytes).
bool readable(int type)
{
    void *object = QMetaType::create(type);
    if (!object)
        return false;
    QByteArray none;
    QDataStream stream(&none, QIODevice::ReadOnly);
    const bool reads = QMetaType::load(stream, type, object);
    QMetaType::destroy(type, object);
    return reads;
}

Kind kindOf(int type)
{
    switch (type) {
    case QMetaType::QVariantMap: case QMetaType::QVariantHash: case QMetaType::QVariantList:
    case QMetaType::QStringList: case QMetaType::QByteArrayList: case QMetaType::QVariant:
        return Kind::Walked;
    }
    // What nothing reads fails at once (QtCore stops there); what another module reads, nothing
    // here vouches for (an easing curve's point lists, CBOR, GUI lists, application types).
    return readWithinBytes(type) || !readable(type) ? Kind::Read : Kind::Unsound;
}

// One value as QVariant::load reads it. The containers whose counts QtCore believes are walked
// here; any other value QtCore reads itself, from the same position.
class Walk
{
public:
    Walk(const QByteArray &bytes, QDataStream::Version version) : m_bytes(bytes), m_version(version)
    {}

    // False: unsound. True: sound so far, or QtCore reads no further (the bytes ended, or are
    // corrupt), as this walk then does not.
    bool variant(int depth)
    {
        if (m_ended)
            return true;
        if (depth > MaxNesting)
            return false;
        const qint64 start = m_pos;
        quint32 type;
        if (!u32(type))
            return true;
        if (m_version < QDataStream::Qt_5_0) {
            // Qt 4's ids, mapped as QVariant::load maps them.
            if (type == 127)
                type = QMetaType::User;
            else if (type >= 128 && type != QMetaType::User)
                type -= 97;
            else if (type == 75)
                type = QMetaType::QSizePolicy;
            else if (type > 75 && type <= 86)
                type -= 1;
        }
        if (m_version >= QDataStream::Qt_4_2 && !skip(1))
            return true;
        if (type == QMetaType::User) {
            const qint64 name = m_pos + 4;
            if (!block(false))
                return true;
            type = QMetaType::type(m_bytes.mid(int(name), int(qMax<qint64>(m_pos - name, 0))).constData());
            if (type == QMetaType::UnknownType)
                return end();
        }
        switch (kindOf(int(type))) {
        case Kind::Unsound:
            return false;
        case Kind::Read:
            return read(start);
        case Kind::Walked:
            break;
        }
        if (type == QMetaType::QVariant)
            return variant(depth + 1);
        quint32 count;
        if (!u32(count))
            return true;
        // QtCore reserves the list before it reads an element; every element takes four bytes.
        const bool list = type != QMetaType::QVariantMap && type != QMetaType::QVariantHash;
        if (list && count > quint64(left()) / 4)
            return false;
        for (quint32 i = 0; i < count && !m_ended; ++i) {
            switch (type) {
            case QMetaType::QVariantList:
                if (!variant(depth + 1))
                    return false;
                break;
            case QMetaType::QStringList:
                block(true);
                break;
            case QMetaType::QByteArrayList:
                block(false);
                break;
            default: // a map: a string key, then a value
                if (block(true) && !variant(depth + 1))
                    return false;
            }
        }
        return true;
    }

private:
    qint64 left() const { return m_bytes.size() - m_pos; }
    bool end()
    {
        m_ended = true;
        return true;
    }
    bool skip(qint64 n)
    {
        if (n > left()) {
            m_ended = true;
            return false;
        }
        m_pos += n;
        return true;
    }
    bool u32(quint32 &v)
    {
        if (left() < 4)
            return !end();
        const uchar *p = reinterpret_cast<const uchar *>(m_bytes.constData() + m_pos);
        v = quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
        m_pos += 4;
        return true;
    }
    // A string (UTF-16) or byte array; false where QtCore stops reading.
    bool block(bool utf16)
    {
        quint32 bytes;
        if (!u32(bytes))
            return false;
        if (bytes == 0xffffffffu)
            return true;
        if (utf16 && (bytes & 1))
            return !end();
        return skip(bytes);
    }
    // QtCore reads the value that starts at `start`.
    bool read(qint64 start)
    {
        QDataStream stream(m_bytes);
        stream.setVersion(m_version);
        stream.device()->seek(start);
        QVariant value;
        stream >> value;
        if (stream.status() != QDataStream::Ok)
            return end();
        m_pos = stream.device()->pos();
        return true;
    }

    const QByteArray &m_bytes;
    const QDataStream::Version m_version;
    qint64 m_pos = 0;
    bool m_ended = false;
};

// What QSettings decodes of a value's text (QSettingsPrivate::stringToVariant).
bool soundValue(const QString &text)
{
    if (!text.endsWith(QLatin1Char(')')))
        return true;
    QDataStream::Version version;
    int offset;
    if (text.startsWith(QLatin1String("@Variant("))) {
        version = QDataStream::Qt_4_0;
        offset = 9;
    } else if (text.startsWith(QLatin1String("@DateTime("))) {
        version = QDataStream::Qt_5_6;
        offset = 10;
    } else {
        return true;
    }
    const QByteArray bytes = text.midRef(offset).toLatin1();
    return Walk(bytes, version).variant(0);
}

// ---------------------------------------------------------------------------------------------
// INI text, split and unescaped as QSettings does (QConfFileSettingsPrivate::readIniLine and
// QSettingsPrivate::iniUnescapedStringList), so that every value QSettings decodes is seen.

enum { Space = 0x1, Special = 0x2 };

int traitsOf(char c)
{
    switch (c) {
    case '\t': case ' ':
        return Space;
    case '\n': case '\r':
        return Space | Special;
    case '"': case ';': case '=': case '\\':
        return Special;
    }
    return 0;
}

bool readLine(const QByteArray &data, int &pos, int &lineStart, int &lineLen, int &equalsPos)
{
    const int size = data.size();
    bool inQuotes = false;
    equalsPos = -1;
    lineStart = pos;
    while (lineStart < size && (traitsOf(data.at(lineStart)) & Space))
        ++lineStart;
    int i = lineStart;
    bool done = false;
    while (i < size && !done) {
        char ch = data.at(i);
        while (!(traitsOf(ch) & Special) && ++i < size)
            ch = data.at(i);
        if (i == size)
            break;
        ++i;
        if (ch == '=') {
            if (!inQuotes && equalsPos == -1)
                equalsPos = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == lineStart + 1) {
                ++lineStart;
            } else if (!inQuotes) {
                --i;
                done = true;
            }
        } else if (ch == '\\') {
            if (i < size) {
                const char escaped = data.at(i++);
                if (i < size) {
                    const char next = data.at(i);
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else { // ';'
            if (i == lineStart + 1) {
                while (i < size && (ch = data.at(i)) != '\n' && ch != '\r')
                    ++i;
                while (i < size && (traitsOf(data.at(i)) & Space))
                    ++i;
                lineStart = i;
            } else if (!inQuotes) {
                --i;
                done = true;
            }
        }
    }
    pos = i;
    lineLen = i - lineStart;
    return lineLen > 0;
}

void chopSpaces(QString &s, int limit)
{
    int n = s.size() - 1;
    while (n >= limit && (s.at(n) == QLatin1Char(' ') || s.at(n) == QLatin1Char('\t')))
        s.truncate(n--);
}

int digitOf(char c, int base)
{
    const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
    return d < base ? d : -1;
}

// The value between `from` and `to`: its text, or its elements when it is a list.
QStringList unescape(const QByteArray &str, int from, int to, bool utf8)
{
    static const char escapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},
                                      {'r', '\r'}, {'t', '\t'}, {'v', '\v'}, {'"', '"'},
                                      {'?', '?'}, {'\'', '\''}, {'\\', '\\'}};
    enum State { SkipSpaces, Normal, Escape, End };
    QStringList list;
    bool isList = false, inQuotes = false, quoted = false;
    QString result;
    int i = from, base = 16;
    uint escapeValue = 0;
    State state = SkipSpaces;
    while (state != End) {
        if (state == SkipSpaces) {
            while (i < to && (str.at(i) == ' ' || str.at(i) == '\t'))
                ++i;
            state = Normal;
        } else if (state == Escape) {
            // A numeric escape: its digits as long as they come.
            char c = i < to ? str.at(i) : 0;
            if (base == 16 && c >= 'a')
                c = char(c - ('a' - 'A'));
            const int d = i < to ? digitOf(c, base) : -1;
            if (d >= 0) {
                escapeValue = escapeValue * uint(base) + uint(d);
                ++i;
            } else {
                result += QChar(ushort(escapeValue));
                state = i < to ? Normal : End;
            }
        } else {
            int chopLimit = result.size();
            state = End;
            bool jumped = false;
            while (i < to && !jumped) {
                const char c = str.at(i);
                if (c == '\\') {
                    jumped = ++i >= to;
                    if (jumped)
                        break;
                    const char e = str.at(i++);
                    for (const auto &code : escapes) {
                        if (e == code[0]) {
                            result += QLatin1Char(code[1]);
                            state = Normal;
                            jumped = true;
                        }
                    }
                    if (jumped)
                        break;
                    if (e == 'x') {
                        escapeValue = 0;
                        base = 16;
                        jumped = i >= to;
                        if (!jumped && digitOf(str.at(i) >= 'a' ? char(str.at(i) - ('a' - 'A')) : str.at(i), 16) >= 0) {
                            state = Escape;
                            jumped = true;
                        }
                        if (jumped)
                            break;
                    } else if (e >= '0' && e <= '7') {
                        escapeValue = uint(e - '0');
                        base = 8;
                        state = Escape;
                        jumped = true;
                        break;
                    } else if ((e == '\n' || e == '\r') && i < to) {
                        const char next = str.at(i);
                        if ((next == '\n' || next == '\r') && next != e)
                            ++i;
                    }
                    chopLimit = result.size();
                } else if (c == '"') {
                    ++i;
                    quoted = true;
                    inQuotes = !inQuotes;
                    if (!inQuotes) {
                        state = SkipSpaces;
                        jumped = true;
                    }
                } else if (c == ',' && !inQuotes) {
                    if (!quoted)
                        chopSpaces(result, chopLimit);
                    isList = true;
                    list.append(result);
                    result.clear();
                    quoted = false;
                    ++i;
                    state = SkipSpaces;
                    jumped = true;
                } else {
                    int j = i + 1;
                    while (j < to && str.at(j) != '\\' && str.at(j) != '"' && str.at(j) != ',')
                        ++j;
                    result += utf8 ? QString::fromUtf8(str.constData() + i, j - i)
                                   : QString::fromLatin1(str.constData() + i, j - i);
                    i = j;
                }
            }
            if (!jumped && !quoted)
                chopSpaces(result, chopLimit);
        }
    }
    if (!isList)
        return QStringList(result);
    list.append(result);
    return list;
}

} // namespace

bool sound(const QByteArray &text)
{
    int pos = 0;
    // A UTF-8 byte order mark makes QSettings read the file as UTF-8.
    const bool utf8 = text.startsWith("\xef\xbb\xbf");
    if (utf8)
        pos = 3;
    int lineStart, lineLen, equalsPos;
    while (readLine(text, pos, lineStart, lineLen, equalsPos)) {
        if (text.at(lineStart) == '[' || equalsPos < 0)
            continue;
        const QStringList values = unescape(text, equalsPos + 1, lineStart + lineLen, utf8);
        for (const QString &value : values) {
            if (!soundValue(value))
                return false;
        }
    }
    return true;
}

bool soundFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    return sound(file.readAll());
}

} // namespace inifiles
