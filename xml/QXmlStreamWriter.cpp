#include "plugin/shell.h"

#include <QtCore/QBuffer>
#include <QtCore/QIODevice>
#include <QtCore/QTextCodec>
#include <QtCore/QXmlStreamWriter>

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

QScriptValue write(kit::Call &call, QXmlStreamWriter *self)
{
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
    case kit::at(6, 1):
        if (QTextCodec *codec = call.get<QTextCodec *>(0)) {
            self->setCodec(codec);
            return call.ret();
        }
        if (call.is<QString>(0)) {
            const QByteArray name = call.get<QString>(0).toLatin1();
            self->setCodec(name.constData());
            return call.ret();
        }
        break;
    case kit::at(7, 1): {
        // Scripts get writers only from the constructor, which makes shells.
        QIODevice *device = call.get<QIODevice *>(0);
        static_cast<Writer *>(self)->useDevice(device, device ? call.arg(0) : QScriptValue());
        return call.ret();
    }
    case kit::at(8, 1):
        self->writeAttribute(call.get<QXmlStreamAttribute>(0));
        return call.ret();
    case kit::at(8, 2):
        self->writeAttribute(call.get<QString>(0), call.get<QString>(1));
        return call.ret();
    case kit::at(8, 3):
        self->writeAttribute(call.get<QString>(0), call.get<QString>(1), call.get<QString>(2));
        return call.ret();
    case kit::at(9, 1):
        self->writeAttributes(attributesOf(call, 0));
        return call.ret();
    case kit::at(10, 1):
        self->writeCDATA(call.get<QString>(0));
        return call.ret();
    case kit::at(11, 1):
        self->writeCharacters(call.get<QString>(0));
        return call.ret();
    case kit::at(12, 1):
        self->writeComment(call.get<QString>(0));
        return call.ret();
    case kit::at(13, 1): {
        // Never a reference made from a null pointer: anything but a reader is a mismatch.
        const QXmlStreamReader *reader = call.get<QXmlStreamReader *>(0);
        if (!reader)
            break;
        const kit::InUse busy(reader);
        self->writeCurrentToken(*reader);
        return call.ret();
    }
    case kit::at(14, 1):
        self->writeDTD(call.get<QString>(0));
        return call.ret();
    case kit::at(15, 1):
        self->writeDefaultNamespace(call.get<QString>(0));
        return call.ret();
    case kit::at(16, 1):
        self->writeEmptyElement(call.get<QString>(0));
        return call.ret();
    case kit::at(16, 2):
        self->writeEmptyElement(call.get<QString>(0), call.get<QString>(1));
        return call.ret();
    case kit::at(17, 0):
        self->writeEndDocument();
        return call.ret();
    case kit::at(18, 0):
        self->writeEndElement();
        return call.ret();
    case kit::at(19, 1):
        self->writeEntityReference(call.get<QString>(0));
        return call.ret();
    case kit::at(20, 1):
    case kit::at(20, 2):
        self->writeNamespace(call.get<QString>(0), call.get<QString>(1, QString()));
        return call.ret();
    case kit::at(21, 1):
    case kit::at(21, 2):
        self->writeProcessingInstruction(call.get<QString>(0), call.get<QString>(1, QString()));
        return call.ret();
    case kit::at(22, 0):
        self->writeStartDocument();
        return call.ret();
    case kit::at(22, 1):
        self->writeStartDocument(call.get<QString>(0));
        return call.ret();
    case kit::at(23, 1):
        self->writeStartElement(call.get<QString>(0));
        return call.ret();
    case kit::at(23, 2):
        self->writeStartElement(call.get<QString>(0), call.get<QString>(1));
        return call.ret();
    case kit::at(24, 2):
        self->writeTextElement(call.get<QString>(0), call.get<QString>(1));
        return call.ret();
    case kit::at(24, 3):
        self->writeTextElement(call.get<QString>(0), call.get<QString>(1), call.get<QString>(2));
        return call.ret();
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
        return call.ret(self->codec());
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
