#include "plugin/enums.h"
#include "xml/QtScriptShell_QXmlStreamEntityResolver.h"

#include <QtCore/QIODevice>
#include <QtCore/QXmlStreamReader>

static const char *const qtscript_QXmlStreamReader_function_names[] = {
    "QXmlStreamReader",
    // prototype
    "addData", "addExtraNamespaceDeclaration", "addExtraNamespaceDeclarations", "atEnd",
    "attributes", "characterOffset", "clear", "columnNumber", "device", "documentEncoding",
    "documentVersion", "dtdName", "dtdPublicId", "dtdSystemId", "entityDeclarations",
    "entityResolver", "error", "errorString", "hasError", "isCDATA", "isCharacters", "isComment",
    "isDTD", "isEndDocument", "isEndElement", "isEntityReference", "isProcessingInstruction",
    "isStandaloneDocument", "isStartDocument", "isStartElement", "isWhitespace", "lineNumber",
    "name", "namespaceDeclarations", "namespaceProcessing", "namespaceUri",
    "notationDeclarations", "prefix", "processingInstructionData", "processingInstructionTarget",
    "qualifiedName", "raiseError", "readElementText", "readNext", "setDevice",
    "setEntityResolver", "setNamespaceProcessing", "text", "tokenString", "tokenType", "toString",
};

static const char *const qtscript_QXmlStreamReader_function_signatures[] = {
    "\nQIODevice device\nQByteArray data\nString data",
    // prototype
    "QByteArray data\nString data", "QXmlStreamNamespaceDeclaration extraNamespaceDeclaraction",
    "List extraNamespaceDeclaractions", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "String message", "", "", "QIODevice device", "QXmlStreamEntityResolver resolver",
    "bool arg__1", "", "", "",
};

static const int qtscript_QXmlStreamReader_function_lengths[] = {
    1,
    // prototype
    1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 1, 1, 0, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QXmlStreamReader_tables =
    kit::tables("QXmlStreamReader", qtscript_QXmlStreamReader_function_names,
                qtscript_QXmlStreamReader_function_signatures,
                qtscript_QXmlStreamReader_function_lengths, 0);

static const char *const qtscript_QXmlStreamReader_Error_keys[] = {
    "NoError", "UnexpectedElementError", "CustomError", "NotWellFormedError",
    "PrematureEndOfDocumentError",
};
static const int qtscript_QXmlStreamReader_Error_values[] = {0, 1, 2, 3, 4};
static constexpr kit::EnumInfo qtscript_QXmlStreamReader_Error =
    kit::enumeration<QXmlStreamReader::Error>(
        "QXmlStreamReader", "Error", qtscript_QXmlStreamReader_Error_keys,
        qtscript_QXmlStreamReader_Error_values, kit::KeyLookup::DirectIndex);

static const char *const qtscript_QXmlStreamReader_TokenType_keys[] = {
    "NoToken", "Invalid", "StartDocument", "EndDocument", "StartElement", "EndElement",
    "Characters", "Comment", "DTD", "EntityReference", "ProcessingInstruction",
};
static const int qtscript_QXmlStreamReader_TokenType_values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
static constexpr kit::EnumInfo qtscript_QXmlStreamReader_TokenType =
    kit::enumeration<QXmlStreamReader::TokenType>(
        "QXmlStreamReader", "TokenType", qtscript_QXmlStreamReader_TokenType_keys,
        qtscript_QXmlStreamReader_TokenType_values, kit::KeyLookup::DirectIndex);

namespace {

enum Kept { DeviceSlot, ResolverSlot };

// The reader (whose script object is `self`) keeps the device's script object; a device deleted
// by other means leaves it without one.
void useDevice(QXmlStreamReader *reader, const QScriptValue &self, QIODevice *device,
               const QScriptValue &value)
{
    kit::keepDevice(reader, kit::holderOf<QXmlStreamReader>(self), DeviceSlot, device, value,
                    [reader] { reader->setDevice(nullptr); });
}

// The reader keeps the resolver's own script object, which carries its script functions (the
// argument may be another handle of it, from entityResolver()).
void useResolver(QXmlStreamReader *reader, const QScriptValue &self,
                 QXmlStreamEntityResolver *resolver, const QScriptValue &value)
{
    QScriptValue kept;
    if (auto *shell = dynamic_cast<QtScriptShell_QXmlStreamEntityResolver *>(resolver))
        kept = shell->scriptSelf.get();
    kit::keepAlive(reader, kit::holderOf<QXmlStreamReader>(self), ResolverSlot,
                   resolver ? (kept.isValid() ? kept : value) : QScriptValue());
}

// Methods that change the reader: refused while it is at work further up (a resolver or a
// device's script function running inside readNext).
bool changes(int index)
{
    switch (index) {
    case 0: case 1: case 2: case 6: case 41: case 42: case 43: case 44: case 45: case 46:
        return true;
    }
    return false;
}

} // namespace

static QScriptValue qtscript_QXmlStreamReader_prototype_call(kit::Call &call,
                                                             QXmlStreamReader *&self)
{
    if (changes(call.index) && kit::InUse::test(self))
        return call.inUse();
    switch (call.at()) {
    case kit::at(0, 1):
        if (call.is<QByteArray>(0)) {
            self->addData(call.get<QByteArray>(0));
            return call.ret();
        }
        if (call.is<QString>(0)) {
            self->addData(call.get<QString>(0));
            return call.ret();
        }
        break;
    case kit::at(1, 1):
        self->addExtraNamespaceDeclaration(call.get<QXmlStreamNamespaceDeclaration>(0));
        return call.ret();
    case kit::at(2, 1):
        self->addExtraNamespaceDeclarations(
            QVector<QXmlStreamNamespaceDeclaration>::fromList(
                call.get<QList<QXmlStreamNamespaceDeclaration>>(0)));
        return call.ret();
    case kit::at(3, 0):
        return call.ret(self->atEnd());
    case kit::at(4, 0):
        return call.ret(self->attributes());
    case kit::at(5, 0):
        return call.ret(self->characterOffset());
    case kit::at(6, 0):
        // Qt's clear() lets go of the device too.
        self->clear();
        useDevice(self, call.thisObject(), nullptr, QScriptValue());
        return call.ret();
    case kit::at(7, 0):
        return call.ret(self->columnNumber());
    case kit::at(8, 0):
        return call.ret(self->device());
    case kit::at(9, 0):
        return call.ret(self->documentEncoding().toString());
    case kit::at(10, 0):
        return call.ret(self->documentVersion().toString());
    case kit::at(11, 0):
        return call.ret(self->dtdName().toString());
    case kit::at(12, 0):
        return call.ret(self->dtdPublicId().toString());
    case kit::at(13, 0):
        return call.ret(self->dtdSystemId().toString());
    case kit::at(14, 0):
        return call.ret(self->entityDeclarations().toList());
    case kit::at(15, 0):
        return call.ret(self->entityResolver());
    case kit::at(16, 0):
        return call.ret(self->error());
    case kit::at(17, 0):
        return call.ret(self->errorString());
    case kit::at(18, 0):
        return call.ret(self->hasError());
    case kit::at(19, 0):
        return call.ret(self->isCDATA());
    case kit::at(20, 0):
        return call.ret(self->isCharacters());
    case kit::at(21, 0):
        return call.ret(self->isComment());
    case kit::at(22, 0):
        return call.ret(self->isDTD());
    case kit::at(23, 0):
        return call.ret(self->isEndDocument());
    case kit::at(24, 0):
        return call.ret(self->isEndElement());
    case kit::at(25, 0):
        return call.ret(self->isEntityReference());
    case kit::at(26, 0):
        return call.ret(self->isProcessingInstruction());
    case kit::at(27, 0):
        return call.ret(self->isStandaloneDocument());
    case kit::at(28, 0):
        return call.ret(self->isStartDocument());
    case kit::at(29, 0):
        return call.ret(self->isStartElement());
    case kit::at(30, 0):
        return call.ret(self->isWhitespace());
    case kit::at(31, 0):
        return call.ret(self->lineNumber());
    case kit::at(32, 0):
        return call.ret(self->name().toString());
    case kit::at(33, 0):
        return call.ret(self->namespaceDeclarations().toList());
    case kit::at(34, 0):
        return call.ret(self->namespaceProcessing());
    case kit::at(35, 0):
        return call.ret(self->namespaceUri().toString());
    case kit::at(36, 0):
        return call.ret(self->notationDeclarations().toList());
    case kit::at(37, 0):
        return call.ret(self->prefix().toString());
    case kit::at(38, 0):
        return call.ret(self->processingInstructionData().toString());
    case kit::at(39, 0):
        return call.ret(self->processingInstructionTarget().toString());
    case kit::at(40, 0):
        return call.ret(self->qualifiedName().toString());
    case kit::at(41, 0):
        self->raiseError(QString());
        return call.ret();
    case kit::at(41, 1):
        self->raiseError(call.get<QString>(0));
        return call.ret();
    case kit::at(42, 0): {
        const kit::InUse busy(self);
        QtScriptShell_QXmlStreamEntityResolver::Read read(self);
        const QString text = self->readElementText();
        read.finish(self->tokenType());
        return call.ret(text);
    }
    case kit::at(43, 0): {
        const kit::InUse busy(self);
        QtScriptShell_QXmlStreamEntityResolver::Read read(self);
        const QXmlStreamReader::TokenType token = self->readNext();
        return call.ret(read.finish(token) ? QXmlStreamReader::Invalid : token);
    }
    case kit::at(44, 1): {
        QIODevice *device = call.get<QIODevice *>(0);
        self->setDevice(device);
        useDevice(self, call.thisObject(), device, call.arg(0));
        return call.ret();
    }
    case kit::at(45, 1): {
        QXmlStreamEntityResolver *resolver = call.get<QXmlStreamEntityResolver *>(0);
        self->setEntityResolver(resolver);
        useResolver(self, call.thisObject(), resolver, call.arg(0));
        return call.ret();
    }
    case kit::at(46, 1):
        self->setNamespaceProcessing(call.get<bool>(0));
        return call.ret();
    case kit::at(47, 0):
        return call.ret(self->text().toString());
    case kit::at(48, 0):
        return call.ret(self->tokenString());
    case kit::at(49, 0):
        return call.ret(self->tokenType());
    }
    if (call.index == 50)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QXmlStreamReader_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapOwned(new QXmlStreamReader());
    case kit::at(0, 1):
        if (QIODevice *device = call.get<QIODevice *>(0)) {
            auto *reader = new QXmlStreamReader(device);
            const QScriptValue wrapper = call.wrapOwned(reader);
            useDevice(reader, wrapper, device, call.arg(0));
            return wrapper;
        }
        if (call.is<QByteArray>(0))
            return call.wrapOwned(new QXmlStreamReader(call.get<QByteArray>(0)));
        if (call.is<QString>(0))
            return call.wrapOwned(new QXmlStreamReader(call.get<QString>(0)));
        break;
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QXmlStreamReader_class(QScriptEngine *engine)
{
    QScriptValue ctor = kit::pointerClass<QXmlStreamReader, qtscript_QXmlStreamReader_tables,
                                          qtscript_QXmlStreamReader_static_call,
                                          qtscript_QXmlStreamReader_prototype_call>(engine);
    kit::addEnum<qtscript_QXmlStreamReader_Error>(engine, ctor);
    kit::addEnum<qtscript_QXmlStreamReader_TokenType>(engine, ctor);
    return ctor;
}
