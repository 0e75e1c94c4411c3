#include "plugin/codecs.h"
#include "plugin/shell.h"

#include <QtCore/QBuffer>
#include <QtCore/QIODevice>
#include <QtCore/QTextCodec>
#include <QtCore/QXmlStreamWriter>

#include <algorithm>

static const char *const qtscript_QXmlStreamWriter_function_names[] = {
    "QXmlStreamWriter",
    // prototype
    "autoFormatting", "autoFormattingIndent", "codec", "device", "setAutoFormatting",
    "setAutoFormattingIndent", "setCodec", "setDevice", "writeAttribute", "writeAttributes",
    "writeCDATA", "writeCharacters", "writeComment", "writeCurrentToken", "writeDTD",
    "writeDefaultNamespace", "writeEmptyElement", "writeEndDocument", "writeEndElement",
    "writeEntityReference", "writeNamespace", "writeProcessingInstruction", "writeStartDocument",
    "writeStartElement", "writeTextElement", "toString",
};

static const char *const qtscript_QXmlStreamWriter_function_signatures[] = {
    "\nQByteArray array\nQIODevice device",
    // prototype
    "", "", "", "", "bool arg__1", "int spaces", "QTextCodec codec\nchar codecName",
    "QIODevice device",
    "String namespaceUri, String name, String value\nString qualifiedName, String value\n"
    "QXmlStreamAttribute attribute",
    "QXmlStreamAttributes attributes", "String text", "String text", "String text",
    "QXmlStreamReader reader", "String dtd", "String namespaceUri",
    "String namespaceUri, String name\nString qualifiedName", "", "", "String name",
    "String namespaceUri, String prefix", "String target, String data", "\nString version",
    "String namespaceUri, String name\nString qualifiedName",
    "String namespaceUri, String name, String text\nString qualifiedName, String text",
};

static const int qtscript_QXmlStreamWriter_function_lengths[] = {
    1,
    // prototype
    0, 0, 0, 0, 1, 1, 1, 1, 3, 1, 1, 1, 1, 1, 1, 1, 2, 0, 0, 1, 2, 2, 1, 2, 3, 0,
};

static constexpr kit::ClassTables qtscript_QXmlStreamWriter_tables =
    kit::tables("QXmlStreamWriter", qtscript_QXmlStreamWriter_function_names,
                qtscript_QXmlStreamWriter_function_signatures,
                qtscript_QXmlStreamWriter_function_lengths, 0);

namespace {

// A writer on a byte array writes through a buffer of the binding's own, watched like any
// device (QtCore's own would be deleted twice once a script deleted it through device()).
using Writer = kit::StreamShell<QXmlStreamWriter>;

// Qt writes the indent before every nested line: beyond this it is no indent but a flood.
constexpr int MaxIndent = 1024;

// Attributes as a set, or read as a list of attributes through its length.
QXmlStreamAttributes attributesOf(const kit::Call &call, int i)
{
    if (call.is<QXmlStreamAttributes>(i))
        return call.get<QXmlStreamAttributes>(i);
    QXmlStreamAttributes attributes;
    const QList<QXmlStreamAttribute> list = call.get<QList<QXmlStreamAttribute>>(i);
    for (const QXmlStreamAttribute &a : list)
        attributes.append(a);
    return attributes;
}

bool hasLoneSurrogate(const QString &s)
{
    for (int i = 0; i < s.size(); ++i) {
        if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            ++i;
        else if (s.at(i).isSurrogate())
            return true;
    }
    return false;
}

// What one call writes, checked before anything is written. Where XML allows no character
// reference (names, prefixes, comments, processing instructions, CDATA, the DTD, the version),
// every character must be one the codec encodes; in text and attribute values (namespace names
// included) the codec's stand-in writes the others as references. A lone surrogate is no
// character XML can hold anywhere.
class Output
{
    static constexpr const char *Unencodable =
        "text the codec cannot encode, where XML allows no character reference";

public:
    explicit Output(QXmlStreamWriter *writer)
        : m_used(writer->codec()), m_codec(kit::codecBehind(m_used))
    {}

    Output &markup(const QString &s)
    {
        if (!m_refusal && !hasLoneSurrogate(s) && !kit::encodesEverything(m_codec)
            && !m_codec->canEncode(s))
            m_refusal = Unencodable;
        return text(s);
    }
    Output &text(const QString &s)
    {
        if (!m_refusal && hasLoneSurrogate(s))
            m_refusal = "a lone surrogate, which XML cannot hold";
        return *this;
    }
    Output &attribute(const QXmlStreamAttribute &a)
    {
        return markup(a.qualifiedName().toString())
            .markup(a.name().toString())
            .text(a.namespaceUri().toString())
            .text(a.value().toString());
    }
    // The declaration names the codec, so QtCore writes it through the script's codec, not the
    // stand-in: a character beyond U+FFFF would meet QtCore's UTF-32 encoder there.
    Output &declaration(const QString &version)
    {
        const bool utf32 = m_codec != m_used && kit::encodesEverything(m_codec);
        if (!m_refusal && utf32
            && std::any_of(version.begin(), version.end(), [](QChar c) { return c.isSurrogate(); }))
            m_refusal = Unencodable;
        return markup(version);
    }
    Output &token(const QXmlStreamReader &reader)
    {
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartDocument:
            return declaration(reader.documentVersion().toString());
        case QXmlStreamReader::StartElement:
            markup(reader.name().toString()).text(reader.namespaceUri().toString());
            for (const QXmlStreamNamespaceDeclaration &d : reader.namespaceDeclarations())
                markup(d.prefix().toString()).text(d.namespaceUri().toString());
            for (const QXmlStreamAttribute &a : reader.attributes())
                attribute(a);
            return *this;
        case QXmlStreamReader::Characters:
            return reader.isCDATA() ? markup(reader.text().toString())
                                    : text(reader.text().toString());
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::DTD:
            return markup(reader.text().toString());
        case QXmlStreamReader::EntityReference:
            return markup(reader.name().toString());
        case QXmlStreamReader::ProcessingInstruction:
            return markup(reader.processingInstructionTarget().toString())
                .markup(reader.processingInstructionData().toString());
        default:
            return *this;
        }
    }

    // Runs `write` unless something was refused; while it writes a declaration, the writer
    // encodes through the script's codec.
    template <class Write>
    QScriptValue write(kit::Call &call, QXmlStreamWriter *writer, Write &&write,
                       bool declares = false) const
    {
        if (m_refusal)
            return call.error(QScriptContext::UnknownError, m_refusal);
        const bool swap = declares && m_codec != m_used;
        if (swap)
            writer->setCodec(m_codec);
        struct Restore {
            QXmlStreamWriter *writer;
            QTextCodec *codec;
            ~Restore()
            {
                if (codec)
                    writer->setCodec(codec);
            }
        } restore{writer, swap ? m_used : nullptr};
        write();
        return call.ret();
    }

private:
    QTextCodec *const m_used;
    QTextCodec *const m_codec;
    const char *m_refusal = nullptr;
};

QScriptValue write(kit::Call &call, QXmlStreamWriter *self)
{
    Output out(self);
    switch (call.at()) {
    case kit::at(4, 1):
        self->setAutoFormatting(call.get<bool>(0));
        return call.ret();
    case kit::at(5, 1): {
        const int spaces = call.get<int>(0);
        if (spaces < -MaxIndent || spaces > MaxIndent) {
            return call.context->throwError(
                QScriptContext::RangeError,
                QStringLiteral("QXmlStreamWriter::setAutoFormattingIndent(): indent out of range"));
        }
        self->setAutoFormattingIndent(spaces);
        return call.ret();
    }
    case kit::at(6, 1): {
        QTextCodec *codec = nullptr;
        if (call.is<QTextCodec *>(0))
            codec = call.get<QTextCodec *>(0);
        else if (call.is<QString>(0))
            codec = kit::codecForName(call.get<QString>(0).toLatin1());
        else
            break;
        if (codec)   // an unknown name changes nothing
            self->setCodec(kit::standIn(codec, kit::CodecUse::Xml));
        return call.ret();
    }
    case kit::at(7, 1): {
        // Scripts get writers only from the constructor, which makes shells.
        QIODevice *device = call.get<QIODevice *>(0);
        static_cast<Writer *>(self)->useDevice(device, device ? call.arg(0) : QScriptValue());
        return call.ret();
    }
    case kit::at(8, 1): {
        const QXmlStreamAttribute attribute = call.get<QXmlStreamAttribute>(0);
        return out.attribute(attribute).write(call, self, [&] { self->writeAttribute(attribute); });
    }
    case kit::at(8, 2): {
        const QString name = call.get<QString>(0), value = call.get<QString>(1);
        return out.markup(name).text(value).write(call, self,
                                                  [&] { self->writeAttribute(name, value); });
    }
    case kit::at(8, 3): {
        const QString uri = call.get<QString>(0), name = call.get<QString>(1),
                      value = call.get<QString>(2);
        return out.text(uri).markup(name).text(value).write(
            call, self, [&] { self->writeAttribute(uri, name, value); });
    }
    case kit::at(9, 1): {
        const QXmlStreamAttributes attributes = attributesOf(call, 0);
        for (const QXmlStreamAttribute &a : attributes)
            out.attribute(a);
        return out.write(call, self, [&] { self->writeAttributes(attributes); });
    }
    case kit::at(10, 1): {
        const QString text = call.get<QString>(0);
        return out.markup(text).write(call, self, [&] { self->writeCDATA(text); });
    }
    case kit::at(11, 1): {
        const QString text = call.get<QString>(0);
        return out.text(text).write(call, self, [&] { self->writeCharacters(text); });
    }
    case kit::at(12, 1): {
        const QString text = call.get<QString>(0);
        return out.markup(text).write(call, self, [&] { self->writeComment(text); });
    }
    case kit::at(13, 1): {
        // Never a reference made from a null pointer: anything but a reader is a mismatch.
        const QXmlStreamReader *reader = call.get<QXmlStreamReader *>(0);
        if (!reader)
            break;
        const kit::InUse busy(reader);
        return out.token(*reader).write(
            call, self, [&] { self->writeCurrentToken(*reader); },
            reader->tokenType() == QXmlStreamReader::StartDocument);
    }
    case kit::at(14, 1): {
        const QString dtd = call.get<QString>(0);
        return out.markup(dtd).write(call, self, [&] { self->writeDTD(dtd); });
    }
    case kit::at(15, 1): {
        const QString uri = call.get<QString>(0);
        return out.text(uri).write(call, self, [&] { self->writeDefaultNamespace(uri); });
    }
    case kit::at(16, 1): {
        const QString name = call.get<QString>(0);
        return out.markup(name).write(call, self, [&] { self->writeEmptyElement(name); });
    }
    case kit::at(16, 2): {
        const QString uri = call.get<QString>(0), name = call.get<QString>(1);
        return out.text(uri).markup(name).write(call, self,
                                                [&] { self->writeEmptyElement(uri, name); });
    }
    case kit::at(17, 0):
        self->writeEndDocument();
        return call.ret();
    case kit::at(18, 0):
        self->writeEndElement();
        return call.ret();
    case kit::at(19, 1): {
        const QString name = call.get<QString>(0);
        return out.markup(name).write(call, self, [&] { self->writeEntityReference(name); });
    }
    case kit::at(20, 1):
    case kit::at(20, 2): {
        const QString uri = call.get<QString>(0), prefix = call.get<QString>(1, QString());
        return out.text(uri).markup(prefix).write(call, self,
                                                  [&] { self->writeNamespace(uri, prefix); });
    }
    case kit::at(21, 1):
    case kit::at(21, 2): {
        const QString target = call.get<QString>(0), data = call.get<QString>(1, QString());
        return out.markup(target).markup(data).write(
            call, self, [&] { self->writeProcessingInstruction(target, data); });
    }
    case kit::at(22, 0):
        return out.write(call, self, [&] { self->writeStartDocument(); }, true);
    case kit::at(22, 1): {
        const QString version = call.get<QString>(0);
        return out.declaration(version).write(
            call, self, [&] { self->writeStartDocument(version); }, true);
    }
    case kit::at(23, 1): {
        const QString name = call.get<QString>(0);
        return out.markup(name).write(call, self, [&] { self->writeStartElement(name); });
    }
    case kit::at(23, 2): {
        const QString uri = call.get<QString>(0), name = call.get<QString>(1);
        return out.text(uri).markup(name).write(call, self,
                                                [&] { self->writeStartElement(uri, name); });
    }
    case kit::at(24, 2): {
        const QString name = call.get<QString>(0), text = call.get<QString>(1);
        return out.markup(name).text(text).write(call, self,
                                                 [&] { self->writeTextElement(name, text); });
    }
    case kit::at(24, 3): {
        const QString uri = call.get<QString>(0), name = call.get<QString>(1),
                      text = call.get<QString>(2);
        return out.text(uri).markup(name).text(text).write(
            call, self, [&] { self->writeTextElement(uri, name, text); });
    }
    }
    return call.mismatch();
}

} // namespace

static QScriptValue qtscript_QXmlStreamWriter_prototype_call(kit::Call &call,
                                                             QXmlStreamWriter *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->autoFormatting());
    case kit::at(1, 0):
        return call.ret(self->autoFormattingIndent());
    case kit::at(2, 0):
        return call.ret(kit::codecBehind(self->codec()));
    case kit::at(3, 0):
        return call.ret(self->device());
    }
    if (call.index == 25)
        return call.className();
    if (call.index < 4)
        return call.mismatch();
    // Everything else changes the writer, and writing may run a script device's functions.
    if (kit::InUse::test(self))
        return call.inUse();
    const kit::InUse busy(self);
    return write(call, self);
}

static QScriptValue qtscript_QXmlStreamWriter_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapShell<QXmlStreamWriter>(new Writer);
    case kit::at(0, 1): {
        const QScriptValue target = call.arg(0);
        QByteArray *bytes = kit::bytesInPlace(target);
        QIODevice *device = bytes ? nullptr : call.get<QIODevice *>(0);
        if (!bytes && !device)
            break;
        // Wrapped first: what the writer keeps lives in its script object.
        auto *writer = new Writer;
        const QScriptValue wrapper = call.wrapShell<QXmlStreamWriter>(writer);
        if (bytes)
            writer->useBytes(bytes, QIODevice::WriteOnly, target);
        else
            writer->useDevice(device, target);
        return wrapper;
    }
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QXmlStreamWriter_class(QScriptEngine *engine)
{
    return kit::pointerClass<QXmlStreamWriter, qtscript_QXmlStreamWriter_tables,
                             qtscript_QXmlStreamWriter_static_call,
                             qtscript_QXmlStreamWriter_prototype_call>(engine);
}
