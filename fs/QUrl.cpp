#include "plugin/compat.h"
#include "plugin/enums.h"

#include <QtCore/QDataStream>
#include <QtCore/QUrl>
#include <QtCore/QUrlQuery>

static const char *const qtscript_QUrl_function_names[] = {
    "QUrl",
    // static
    "fromAce", "fromEncoded", "fromLocalFile", "fromPercentEncoding", "idnWhitelist",
    "setIdnWhitelist", "toAce", "toPercentEncoding",
    // prototype
    "addEncodedQueryItem", "addQueryItem", "allEncodedQueryItemValues", "allQueryItemValues",
    "authority", "clear", "encodedFragment", "encodedHost", "encodedPassword", "encodedPath",
    "encodedQuery", "encodedQueryItemValue", "encodedQueryItems", "encodedUserName",
    "errorString", "fragment", "hasEncodedQueryItem", "hasFragment", "hasQuery", "hasQueryItem",
    "host", "isEmpty", "isParentOf", "isRelative", "isValid", "equals", "operator_less",
    "password", "path", "port", "queryItemValue", "queryItems", "queryPairDelimiter",
    "queryValueDelimiter", "readFrom", "removeAllEncodedQueryItems", "removeAllQueryItems",
    "removeEncodedQueryItem", "removeQueryItem", "resolved", "scheme", "setAuthority",
    "setEncodedFragment", "setEncodedHost", "setEncodedPassword", "setEncodedPath",
    "setEncodedQuery", "setEncodedQueryItems", "setEncodedUrl", "setEncodedUserName",
    "setFragment", "setHost", "setPassword", "setPath", "setPort", "setQueryDelimiters",
    "setQueryItems", "setScheme", "setUrl", "setUserInfo", "setUserName", "toEncoded",
    "toLocalFile", "toString", "userInfo", "userName", "writeTo",
};

static const char *const qtscript_QUrl_function_signatures[] = {
    "\nString url\nString url, ParsingMode mode\nQUrl copy",
    // static
    "QByteArray arg__1", "QByteArray url\nQByteArray url, ParsingMode mode", "String localfile",
    "QByteArray arg__1", "", "List arg__1", "String arg__1",
    "String arg__1, QByteArray exclude, QByteArray include",
    // prototype
    "QByteArray key, QByteArray value", "String key, String value", "QByteArray key",
    "String key", "", "", "", "", "", "", "", "QByteArray key", "", "", "", "",
    "QByteArray key", "", "", "String key", "", "", "QUrl url", "", "", "QUrl url", "QUrl url",
    "", "", "\nint defaultPort", "String key", "", "", "", "QDataStream arg__1",
    "QByteArray key", "String key", "QByteArray key", "String key", "QUrl relative", "",
    "String authority", "QByteArray fragment", "QByteArray host", "QByteArray password",
    "QByteArray path", "QByteArray query", "List query",
    "QByteArray url\nQByteArray url, ParsingMode mode", "QByteArray userName",
    "String fragment", "String host", "String password", "String path", "int port",
    "char valueDelimiter, char pairDelimiter", "List query", "String scheme",
    "String url\nString url, ParsingMode mode", "String userInfo", "String userName",
    "FormattingOptions options", "", "FormattingOptions options", "", "", "QDataStream arg__1",
};

static const int qtscript_QUrl_function_lengths[] = {
    2,
    // static
    1, 2, 1, 1, 0, 1, 1, 3,
    // prototype
    2, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 1,
    0, 0, 0, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 2, 1, 1, 2, 1, 1, 1,
    0, 1, 0, 0, 1,
};

static constexpr kit::ClassTables qtscript_QUrl_tables =
    kit::tables("QUrl", qtscript_QUrl_function_names, qtscript_QUrl_function_signatures,
                qtscript_QUrl_function_lengths, 8);

static const char *const qtscript_QUrl_ParsingMode_keys[] = {"TolerantMode", "StrictMode"};
static const int qtscript_QUrl_ParsingMode_values[] = {0, 1};
static constexpr kit::EnumInfo qtscript_QUrl_ParsingMode =
    kit::enumeration<QUrl::ParsingMode>("QUrl", "ParsingMode", qtscript_QUrl_ParsingMode_keys,
                                        qtscript_QUrl_ParsingMode_values,
                                        kit::KeyLookup::DirectIndex);

static const char *const qtscript_QUrl_FormattingOption_keys[] = {
    "None", "RemoveScheme", "RemovePassword", "RemoveUserInfo", "RemovePort", "RemoveAuthority",
    "RemovePath", "RemoveQuery", "RemoveFragment", "StripTrailingSlash",
};
static const int qtscript_QUrl_FormattingOption_values[] = {
    0x0, 0x1, 0x2, 0x6, 0x8, 0x1E, 0x20, 0x40, 0x80, 0x10000,
};
static constexpr kit::EnumInfo qtscript_QUrl_FormattingOption =
    kit::enumeration<compat::UrlFormattingOption>(
        "QUrl", "FormattingOption", qtscript_QUrl_FormattingOption_keys,
        qtscript_QUrl_FormattingOption_values, kit::KeyLookup::TableSearch);
static constexpr kit::FlagsInfo qtscript_QUrl_FormattingOptions =
    kit::flags<compat::UrlFormattingOption>(qtscript_QUrl_FormattingOption, "FormattingOptions");

namespace {

using StringPairs = QList<QPair<QString, QString>>;
using BytePairs = QList<QPair<QByteArray, QByteArray>>;

// Qt 5 keeps the query items in QUrlQuery. A key or value crosses in one of two forms: decoded
// (Qt 4.4's query items, where '%' stands for itself) or percent-encoded bytes.
QString literal(const QString &key)
{
    return compat::percentLiteral(key);
}
QString encodedText(const QByteArray &key)
{
    return compat::fromEncodedComponent(key);
}

QString encodedUrl(const QByteArray &url, QUrl::ParsingMode mode)
{
    return compat::fromEncodedComponent(url, mode == QUrl::TolerantMode);
}

// Qt 5's setEncodedUrl escapes every byte past ASCII before it parses, and in strict mode an
// escape is no host character: a host given as such bytes leaves the URL invalid, as QtCore
// leaves it. Anywhere else a UTF-8 sequence reads as its characters, as its escape would.
QString setEncodedUrlText(const QByteArray &url, QUrl::ParsingMode mode)
{
    const QString text = encodedUrl(url, mode);
    if (mode != QUrl::StrictMode)
        return text;
    const QString escaped = compat::escapedPastAscii(url);
    return escaped == text || QUrl(escaped, mode).isValid() ? text : escaped;
}

template <class Edit>
void editQuery(QUrl &url, Edit &&edit)
{
    QUrlQuery query(url);
    edit(query);
    url.setQuery(query);
}

QList<QByteArray> toBytes(const QStringList &texts)
{
    QList<QByteArray> list;
    for (const QString &t : texts)
        list.append(compat::toEncodedComponent(t));
    return list;
}

QUrl::FormattingOptions options(kit::Call &call)
{
    return compat::urlFormattingOptions(call.get<compat::UrlFormattingOptions>(0, {}));
}

QUrl::ParsingMode mode(kit::Call &call, int i)
{
    return call.get<QUrl::ParsingMode>(i, QUrl::TolerantMode);
}

// Sets one component. The value is read before `this` is edited: it may be `this` itself.
QScriptValue setPart(kit::Call &call, kit::ValueHandle<QUrl> &self,
                     void (QUrl::*set)(const QString &, QUrl::ParsingMode), const QString &value,
                     QUrl::ParsingMode mode)
{
    (self.edit()->*set)(value, mode);
    return call.ret();
}
template <class T>
QScriptValue setValue(kit::Call &call, kit::ValueHandle<QUrl> &self, void (QUrl::*set)(T),
                      std::decay_t<T> value)
{
    (self.edit()->*set)(value);
    return call.ret();
}

} // namespace

static QScriptValue qtscript_QUrl_prototype_call(kit::Call &call, kit::ValueHandle<QUrl> &self)
{
    switch (call.at()) {
    case kit::at(0, 2): {
        const QString key = encodedText(call.get<QByteArray>(0));
        const QString value = encodedText(call.get<QByteArray>(1));
        editQuery(*self.edit(), [&](QUrlQuery &q) { q.addQueryItem(key, value); });
        return call.ret();
    }
    case kit::at(1, 2): {
        const QString key = literal(call.get<QString>(0));
        const QString value = literal(call.get<QString>(1));
        editQuery(*self.edit(), [&](QUrlQuery &q) { q.addQueryItem(key, value); });
        return call.ret();
    }
    case kit::at(2, 1):
        return call.ret(toBytes(QUrlQuery(*self).allQueryItemValues(
            encodedText(call.get<QByteArray>(0)), QUrl::FullyEncoded)));
    case kit::at(3, 1):
        return call.ret(QUrlQuery(*self).allQueryItemValues(literal(call.get<QString>(0)),
                                                            QUrl::FullyDecoded));
    case kit::at(4, 0):
        return call.ret(compat::urlAuthority(*self));
    case kit::at(5, 0):
        self.edit()->clear();
        return call.ret();
    case kit::at(6, 0):
        return call.ret(compat::toEncodedComponent(self->fragment(QUrl::FullyEncoded)));
    case kit::at(7, 0):
        return call.ret(compat::toEncodedComponent(self->host(QUrl::FullyEncoded)));
    case kit::at(8, 0):
        return call.ret(compat::toEncodedComponent(self->password(QUrl::FullyEncoded)));
    case kit::at(9, 0):
        return call.ret(compat::toEncodedComponent(self->path(QUrl::FullyEncoded)));
    case kit::at(10, 0):
        return call.ret(compat::toEncodedComponent(self->query(QUrl::FullyEncoded)));
    case kit::at(11, 1):
        return call.ret(compat::toEncodedComponent(QUrlQuery(*self).queryItemValue(
            encodedText(call.get<QByteArray>(0)), QUrl::FullyEncoded)));
    case kit::at(12, 0): {
        BytePairs items;
        for (const auto &item : QUrlQuery(*self).queryItems(QUrl::FullyEncoded))
            items.append(qMakePair(compat::toEncodedComponent(item.first),
                                   compat::toEncodedComponent(item.second)));
        return call.ret(items);
    }
    case kit::at(13, 0):
        return call.ret(compat::toEncodedComponent(self->userName(QUrl::FullyEncoded)));
    case kit::at(14, 0):
        return call.ret(self->errorString());
    case kit::at(15, 0):
        return call.ret(self->fragment(QUrl::FullyDecoded));
    case kit::at(16, 1):
        return call.ret(QUrlQuery(*self).hasQueryItem(encodedText(call.get<QByteArray>(0))));
    case kit::at(17, 0):
        return call.ret(self->hasFragment());
    case kit::at(18, 0):
        return call.ret(self->hasQuery());
    case kit::at(19, 1):
        return call.ret(QUrlQuery(*self).hasQueryItem(literal(call.get<QString>(0))));
    case kit::at(20, 0):
        return call.ret(self->host(QUrl::FullyDecoded));
    case kit::at(21, 0):
        return call.ret(self->isEmpty());
    case kit::at(22, 1):
        return call.ret(self->isParentOf(call.get<QUrl>(0)));
    case kit::at(23, 0):
        return call.ret(self->isRelative());
    case kit::at(24, 0):
        return call.ret(self->isValid());
    case kit::at(25, 1):
        return call.ret(*self == call.get<QUrl>(0));
    case kit::at(26, 1):
        return call.ret(*self < call.get<QUrl>(0));
    case kit::at(27, 0):
        return call.ret(self->password(QUrl::FullyDecoded));
    case kit::at(28, 0):
        return call.ret(self->path(QUrl::FullyDecoded));
    case kit::at(29, 0):
    case kit::at(29, 1):
        return call.ret(self->port(call.get<int>(0, -1)));
    case kit::at(30, 1):
        return call.ret(QUrlQuery(*self).queryItemValue(literal(call.get<QString>(0)),
                                                        QUrl::FullyDecoded));
    case kit::at(31, 0):
        return call.ret(QUrlQuery(*self).queryItems(QUrl::FullyDecoded));
    // The only delimiters a Qt 5 URL keeps.
    case kit::at(32, 0):
        return call.ret(char('&'));
    case kit::at(33, 0):
        return call.ret(char('='));
    case kit::at(34, 1):
        return kit::readFrom(call, self);
    case kit::at(35, 1): {
        const QString key = encodedText(call.get<QByteArray>(0));
        editQuery(*self.edit(), [&](QUrlQuery &q) { q.removeAllQueryItems(key); });
        return call.ret();
    }
    case kit::at(36, 1): {
        const QString key = literal(call.get<QString>(0));
        editQuery(*self.edit(), [&](QUrlQuery &q) { q.removeAllQueryItems(key); });
        return call.ret();
    }
    case kit::at(37, 1): {
        const QString key = encodedText(call.get<QByteArray>(0));
        editQuery(*self.edit(), [&](QUrlQuery &q) { q.removeQueryItem(key); });
        return call.ret();
    }
    case kit::at(38, 1): {
        const QString key = literal(call.get<QString>(0));
        editQuery(*self.edit(), [&](QUrlQuery &q) { q.removeQueryItem(key); });
        return call.ret();
    }
    case kit::at(39, 1):
        return call.ret(self->resolved(call.get<QUrl>(0)));
    case kit::at(40, 0):
        return call.ret(self->scheme());
    case kit::at(41, 1):
        return setPart(call, self, &QUrl::setAuthority, call.get<QString>(0), QUrl::TolerantMode);
    // The encoded setters take percent-encoded bytes as they are.
    case kit::at(42, 1):
        return setPart(call, self, &QUrl::setFragment, encodedText(call.get<QByteArray>(0)),
                       QUrl::TolerantMode);
    case kit::at(43, 1):
        return setPart(call, self, &QUrl::setHost, encodedText(call.get<QByteArray>(0)),
                       QUrl::TolerantMode);
    case kit::at(44, 1):
        return setPart(call, self, &QUrl::setPassword, encodedText(call.get<QByteArray>(0)),
                       QUrl::TolerantMode);
    case kit::at(45, 1):
        return setPart(call, self, &QUrl::setPath, encodedText(call.get<QByteArray>(0)),
                       QUrl::TolerantMode);
    case kit::at(46, 1):
        return setPart(call, self, &QUrl::setQuery, encodedText(call.get<QByteArray>(0)),
                       QUrl::TolerantMode);
    case kit::at(47, 1): {
        const BytePairs items = call.get<BytePairs>(0);
        QUrlQuery query;
        for (const auto &item : items)
            query.addQueryItem(encodedText(item.first), encodedText(item.second));
        self.edit()->setQuery(query);
        return call.ret();
    }
    case kit::at(48, 1):
    case kit::at(48, 2): {
        const QUrl::ParsingMode m = mode(call, 1);
        return setPart(call, self, &QUrl::setUrl, setEncodedUrlText(call.get<QByteArray>(0), m), m);
    }
    case kit::at(49, 1):
        return setPart(call, self, &QUrl::setUserName, encodedText(call.get<QByteArray>(0)),
                       QUrl::TolerantMode);
    // The decoded setters take '%' as itself, as Qt 4.4 did.
    case kit::at(50, 1):
        return setPart(call, self, &QUrl::setFragment, call.get<QString>(0), QUrl::DecodedMode);
    case kit::at(51, 1):
        return setPart(call, self, &QUrl::setHost, call.get<QString>(0), QUrl::DecodedMode);
    case kit::at(52, 1):
        return setPart(call, self, &QUrl::setPassword, call.get<QString>(0), QUrl::DecodedMode);
    case kit::at(53, 1):
        return setPart(call, self, &QUrl::setPath, call.get<QString>(0), QUrl::DecodedMode);
    case kit::at(54, 1):
        return setValue(call, self, &QUrl::setPort, call.get<int>(0));
    case kit::at(55, 2):
        if (call.get<char>(0) != '=' || call.get<char>(1) != '&') {
            return call.error(QScriptContext::UnknownError,
                              "a Qt 5 URL keeps only '=' and '&' as query delimiters");
        }
        return call.ret();
    case kit::at(56, 1): {
        const StringPairs items = call.get<StringPairs>(0);
        QUrlQuery query;
        for (const auto &item : items)
            query.addQueryItem(literal(item.first), literal(item.second));
        self.edit()->setQuery(query);
        return call.ret();
    }
    case kit::at(57, 1):
        return setValue(call, self, &QUrl::setScheme, call.get<QString>(0));
    case kit::at(58, 1):
    case kit::at(58, 2):
        return setPart(call, self, &QUrl::setUrl, call.get<QString>(0), mode(call, 1));
    case kit::at(59, 1):
        return setPart(call, self, &QUrl::setUserInfo, call.get<QString>(0), QUrl::TolerantMode);
    case kit::at(60, 1):
        return setPart(call, self, &QUrl::setUserName, call.get<QString>(0), QUrl::DecodedMode);
    case kit::at(61, 0):
    case kit::at(61, 1):
        return call.ret(self->toEncoded(options(call)));
    case kit::at(62, 0):
        return call.ret(self->toLocalFile());
    case kit::at(63, 0):
    case kit::at(63, 1):
        return call.ret(self->toString(options(call)));
    case kit::at(64, 0):
        return call.ret(compat::urlUserInfo(*self));
    case kit::at(65, 0):
        return call.ret(self->userName(QUrl::FullyDecoded));
    case kit::at(66, 1):
        return kit::writeTo(call, self);
    }
    return call.mismatch();
}

static QScriptValue qtscript_QUrl_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QUrl());
    case kit::at(0, 1):
        if (call.is<QString>(0))
            return call.wrapValue(QUrl(call.get<QString>(0)));
        if (call.is<QUrl>(0))
            return call.wrapValue(call.get<QUrl>(0));
        break;
    case kit::at(0, 2):
        return call.wrapValue(QUrl(call.get<QString>(0), mode(call, 1)));
    case kit::at(1, 1):
        return call.ret(QUrl::fromAce(call.get<QByteArray>(0)));
    case kit::at(2, 1):
    case kit::at(2, 2): {
        // Bytes that are not UTF-8 stay escaped instead of turning into U+FFFD; the rest reads
        // as QtCore's reads it, a host too.
        const QUrl::ParsingMode m = mode(call, 1);
        return call.ret(QUrl(encodedUrl(call.get<QByteArray>(0), m), m));
    }
    case kit::at(3, 1):
        return call.ret(QUrl::fromLocalFile(call.get<QString>(0)));
    case kit::at(4, 1):
        return call.ret(QUrl::fromPercentEncoding(call.get<QByteArray>(0)));
    case kit::at(5, 0):
        return call.ret(QUrl::idnWhitelist());
    case kit::at(6, 1):
        QUrl::setIdnWhitelist(call.get<QStringList>(0));
        return call.ret();
    case kit::at(7, 1):
        return call.ret(QUrl::toAce(call.get<QString>(0)));
    case kit::at(8, 1):
    case kit::at(8, 2):
    case kit::at(8, 3):
        return call.ret(QUrl::toPercentEncoding(call.get<QString>(0), call.get<QByteArray>(1, {}),
                                                call.get<QByteArray>(2, {})));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QUrl_class(QScriptEngine *engine)
{
    QScriptValue ctor = kit::valueClass<QUrl, qtscript_QUrl_tables, qtscript_QUrl_static_call,
                                        qtscript_QUrl_prototype_call>(engine);
    kit::addEnum<qtscript_QUrl_ParsingMode>(engine, ctor);
    kit::addEnum<qtscript_QUrl_FormattingOption>(engine, ctor);
    kit::addFlags<qtscript_QUrl_FormattingOptions>(engine, ctor);
    return ctor;
}
