// QXmlStreamWriter: the exact bytes it writes into a script's byte array, with auto-formatting,
// namespaces and codecs, and copies of a reader's tokens.

var utf8 = QTextCodec.codecForMib(106), latin1 = QTextCodec.codecForMib(4);
function text(ba) { return utf8.toUnicode(ba); }
function mismatch(name, lines) {
    return "QXmlStreamWriter::" + name + "(): could not find a function match; candidates are:\n" +
        lines.map(function(l) { return name + "(" + l + ")"; }).join("\n");
}

test("a writer writes into the script's own byte array", function() {
    var ba = new QByteArray();
    var w = new QXmlStreamWriter(ba);
    w.writeStartDocument();
    eq(text(ba), '<?xml version="1.0" encoding="UTF-8"?>', "at once");
    w.writeTextElement("t", "v");
    w.writeEndDocument();
    eq(text(ba), '<?xml version="1.0" encoding="UTF-8"?><t>v</t>\n');
    var written = ba.size();
    ba.clear();
    w.writeComment("c");
    // The writer goes on where it was: what the script changed, the writer sees.
    eq(ba.size(), written + 8);
    eq(text(ba.mid(written)), "<!--c-->");
});

test("a writer keeps its byte array alive", function() {
    var w, probe = {};
    (function() {
        var ba = new QByteArray();
        w = new QXmlStreamWriter(ba);
        probe.get = function() { return ba; };
    })();
    w.writeStartElement("a");
    gc();
    w.writeCharacters("xyz");
    w.writeEndElement();
    eq(text(probe.get()), "<a>xyz</a>");
});

test("exact bytes with auto-formatting and namespaces", function() {
    var ba = new QByteArray(), w = new QXmlStreamWriter(ba);
    w.setAutoFormatting(true);
    eq(w.autoFormatting(), true);
    eq(w.autoFormattingIndent(), 4);
    w.writeStartDocument();
    w.writeNamespace("urn:p", "p");
    w.writeDefaultNamespace("urn:d");
    w.writeStartElement("urn:d", "root");
    w.writeAttribute("urn:p", "a", "1");
    w.writeAttribute("b", "x\"<&>'y");
    w.writeStartElement("urn:p", "item");
    w.writeCharacters("a<b&c>d");
    w.writeEndElement();
    w.writeEmptyElement("urn:q", "e");
    w.writeEmptyElement("plain");
    w.writeComment(" c ");
    w.writeProcessingInstruction("pi", "d");
    w.writeProcessingInstruction("pj");
    w.writeCDATA("x]]>y");
    w.writeEntityReference("amp");
    w.writeTextElement("urn:p", "t", "v");
    w.writeEndDocument();
    eq(text(ba), '<?xml version="1.0" encoding="UTF-8"?>\n' +
       '<root xmlns:p="urn:p" xmlns="urn:d" p:a="1" b="x&quot;&lt;&amp;&gt;\'y">\n' +
       '    <p:item>a&lt;b&amp;c&gt;d</p:item>\n' +
       '    <n1:e xmlns:n1="urn:q"/>\n' +
       '    <plain/>\n' +
       '    <!-- c -->\n' +
       '    <?pi d?>\n' +
       '    <?pj?><![CDATA[x]]]]><![CDATA[>y]]>&amp;<p:t>v</p:t>\n' +
       '</root>\n');

    ba = new QByteArray();
    w = new QXmlStreamWriter(ba);
    w.setAutoFormattingIndent(-1);
    w.setAutoFormatting(true);
    w.writeStartDocument("1.1");
    w.writeDTD("<!DOCTYPE a>");
    w.writeStartElement("a");
    w.writeNamespace("urn:n");
    w.writeStartElement("b");
    w.writeEndDocument();
    eq(text(ba), '<?xml version="1.1" encoding="UTF-8"?>\n<!DOCTYPE a>\n<a xmlns:n1="urn:n">\n\t<b/>\n</a>\n',
       "a negative indent is tabs; a namespace without prefix gets one");
    throws(function() { w.setAutoFormattingIndent(-2147483648); },
           "QXmlStreamWriter::setAutoFormattingIndent(): indent out of range", "RangeError");
});

test("attributes one by one, as a set and as a list", function() {
    var ba = new QByteArray(), w = new QXmlStreamWriter(ba);
    w.writeStartElement("a");
    w.writeAttribute(new QXmlStreamAttribute("one", "1"));
    var set = new QXmlStreamAttributes();
    set.append("two", "2");
    set.append("urn:x", "three", "3");
    w.writeAttributes(set);
    w.writeAttributes([new QXmlStreamAttribute("four", "4")]);
    w.writeAttributes(5);
    w.writeEndElement();
    eq(text(ba), '<a one="1" two="2" xmlns:n1="urn:x" n1:three="3" four="4"/>');
    throws(function() { w.writeAttributes({length: 4e9}); },
           "QXmlStreamWriter::writeAttributes(): list length out of range", "RangeError");
    var attr = mismatch("writeAttribute", ["String namespaceUri, String name, String value",
                                           "String qualifiedName, String value",
                                           "QXmlStreamAttribute attribute"]);
    throws(function() { w.writeAttribute(); }, attr);
    throws(function() { w.writeAttribute(1, 2, 3, 4); }, attr);
});

test("codecs, and characters XML 1.0 does not allow", function() {
    var ba = new QByteArray(), w = new QXmlStreamWriter(ba);
    w.setCodec(latin1);
    eq(w.codec().mibEnum(), 4);
    w.writeStartDocument();
    w.writeTextElement("t", "caf\u00e9");
    eq(latin1.toUnicode(ba), '<?xml version="1.0" encoding="ISO-8859-1"?><t>caf\u00e9</t>');
    eq(ba.at(ba.size() - 5) & 0xff, 0xe9, "one Latin-1 byte");
    // Text the codec cannot encode costs neither the text nor the names written after it.
    w.writeTextElement("u", "\u20ac!");
    w.writeTextElement("v", "ok");
    w.writeEndDocument();
    eq(latin1.toUnicode(ba), '<?xml version="1.0" encoding="ISO-8859-1"?><t>caf\u00e9</t>' +
       "<u>&#x20AC;!</u><v>ok</v>\n");

    ba = new QByteArray();
    w = new QXmlStreamWriter(ba);
    w.setCodec("UTF-16LE");
    eq(w.codec().mibEnum(), 1014);
    w.setCodec("no such codec");
    eq(w.codec().mibEnum(), 1014, "an unknown name changes nothing");
    throws(function() { w.setCodec(5); }, mismatch("setCodec", ["QTextCodec codec", "char codecName"]));
    // Qt 5.15 drops characters that XML 1.0 does not allow.
    ba = new QByteArray();
    w = new QXmlStreamWriter(ba);
    w.writeTextElement("t", "a\u0001b");
    eq(text(ba), "<t>ab</t>");
});

test("construction, devices and mismatches", function() {
    var ctor = mismatch("QXmlStreamWriter", ["", "QByteArray array", "QIODevice device"]);
    throws(function() { new QXmlStreamWriter("text"); }, ctor);
    throws(function() { new QXmlStreamWriter(5); }, ctor);
    throws(function() { new QXmlStreamWriter(new QByteArray(), 1); }, ctor);
    throws(function() { QXmlStreamWriter(); }, "QXmlStreamWriter(): Did you forget to construct with 'new'?");
    var w = new QXmlStreamWriter();
    eq(w.device(), null);
    w.writeStartElement("nowhere");
    w.setDevice(5);
    eq(w.device(), null);
    throws(function() { w.writeEmptyElement(); },
           mismatch("writeEmptyElement", ["String namespaceUri, String name", "String qualifiedName"]));
    throws(function() { QXmlStreamWriter.prototype.writeEndDocument(); },
           "QXmlStreamWriter.writeEndDocument(): this object is not a QXmlStreamWriter", "TypeError");
    throws(function() { QXmlStreamWriter.prototype.toString(); },
           "QXmlStreamWriter.toString(): this object is not a QXmlStreamWriter", "TypeError");
    eq(w.toString(1), "QXmlStreamWriter");
    eq(typeof w.autoFormattingIndent(), "number");
});

test("writeCurrentToken takes only a reader", function() {
    var w = new QXmlStreamWriter(new QByteArray());
    var m = mismatch("writeCurrentToken", ["QXmlStreamReader reader"]);
    throws(function() { w.writeCurrentToken(5); }, m);
    throws(function() { w.writeCurrentToken({}); }, m);
    throws(function() { w.writeCurrentToken(QXmlStreamReader.prototype); }, m);
    throws(function() { w.writeCurrentToken(null); }, m);
});

function copy(doc) {
    var r = new QXmlStreamReader(doc), ba = new QByteArray(), w = new QXmlStreamWriter(ba);
    while (!r.atEnd()) {
        r.readNext();
        w.writeCurrentToken(r);
    }
    ok(!r.hasError(), r.errorString());
    return ba;
}

// A token as the infoset sees it: names by namespace URI, attributes in order.
function token(r) {
    var a = r.attributes(), s = r.tokenString() + "{" + r.namespaceUri() + "}" + r.name() + ":" + r.text();
    for (var i = 0; i < a.size(); ++i)
        s += " {" + a.at(i).namespaceUri() + "}" + a.at(i).name() + "=" + a.at(i).value();
    return s;
}

test("a reader-to-writer copy reproduces a document", function() {
    var doc = '<?xml version="1.0" encoding="UTF-8"?>' +
        '<!DOCTYPE r [<!ENTITY e "ent">]>' +
        '<r xmlns:p="urn:p" p:a="1" b="&lt;&amp;&quot;">' +
        '<p:c>text &amp; more</p:c><![CDATA[<raw>]]><!--note--><?pi data?>' +
        '<empty/>&#233;</r>';
    eq(text(copy(doc)), doc.replace("&#233;", "\u00e9") + "\n");

    // Qt's copy names a default namespace with a prefix of its own: the same document to a reader.
    doc = '<r xmlns="urn:d" xmlns:p="urn:p" p:a="1"><c a="2">t</c><p:e/></r>';
    var ba = copy(doc);
    eq(text(ba), '<?xml version="1.0" encoding="UTF-8"?><n1:r xmlns:n1="urn:d" xmlns:p="urn:p" p:a="1"><n1:c a="2">t</n1:c><p:e/></n1:r>\n');
    var a = new QXmlStreamReader(doc), b = new QXmlStreamReader(ba);
    while (!a.atEnd()) {
        a.readNext(); b.readNext();
        eq(token(b), token(a));
    }
    ok(b.isEndDocument() && !b.hasError());
});

var refused = "text the codec cannot encode, where XML allows no character reference";

test("a codec that cannot encode a character: references in text and attribute values", function() {
    var ba = new QByteArray(), w = new QXmlStreamWriter(ba);
    w.setCodec("ISO-8859-1");
    eq(w.codec().mibEnum(), 4, "the script's codec");
    eq(latin1.toUnicode(w.codec().name()), "ISO-8859-1");
    w.writeStartDocument();
    w.writeStartElement("a");
    w.writeAttribute("k", "v\u20acx\"&");
    w.writeAttribute("urn:\u20ac", "n", "\u20ac");
    w.writeCharacters("\u20ac\u00e9\ud83d\ude00<");
    w.writeCharacters("a\ud83d\ude00b");       // a pair across the middle stays one character
    w.writeTextElement("t", "\u0100");
    w.writeEndElement();
    w.writeEndDocument();
    eq(latin1.toUnicode(ba), '<?xml version="1.0" encoding="ISO-8859-1"?>' +
       '<a k="v&#x20AC;x&quot;&amp;" xmlns:n1="urn:&#x20AC;" n1:n="&#x20AC;">' +
       "&#x20AC;\u00e9&#x1F600;&lt;a&#x1F600;b<t>&#x100;</t></a>\n");
    var r = new QXmlStreamReader(ba), got = [];
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == "a")
            got.push(r.attributes().value("k"), r.attributes().value("urn:\u20ac", "n"));
        if (r.isCharacters()) got.push(r.text());
    }
    ok(!r.hasError(), r.errorString());
    eq(got.join("|"), "v\u20acx\"&|\u20ac|\u20ac\u00e9\ud83d\ude00<a\ud83d\ude00b|\u0100");
});

test("where XML allows no reference, such a character is an Error and nothing is written", function() {
    var ba = new QByteArray(), w = new QXmlStreamWriter(ba);
    w.setCodec(latin1);
    w.writeStartElement("a");
    var before = ba.size();
    [["writeComment", ["x\u20ac"]], ["writeCDATA", ["\u20ac"]], ["writeDTD", ["<!DOCTYPE \u20ac>"]],
     ["writeProcessingInstruction", ["p\u20ac"]], ["writeProcessingInstruction", ["p", "\u20ac"]],
     ["writeStartElement", ["\u20ac"]], ["writeStartElement", ["urn", "\u20ac"]],
     ["writeEmptyElement", ["e\u20ac"]], ["writeTextElement", ["\u20ac", "x"]],
     ["writeAttribute", ["\u20ac", "v"]], ["writeAttribute", ["urn", "\u20ac", "v"]],
     ["writeAttribute", [new QXmlStreamAttribute("\u20ac", "v")]],
     ["writeAttributes", [QXmlStreamAttributes.fromList([new QXmlStreamAttribute("k", "v"),
                                                         new QXmlStreamAttribute("\u20ac", "v")])]],
     ["writeNamespace", ["urn", "p\u20ac"]], ["writeEntityReference", ["\u20ac"]],
     ["writeStartDocument", ["1.\u20ac"]]].forEach(function(c) {
        throws(function() { w[c[0]].apply(w, c[1]); },
               "QXmlStreamWriter::" + c[0] + "(): " + refused, "Error");
        eq(ba.size(), before, c[0] + " wrote nothing");
    });
    throws(function() { w.writeCharacters("x\ud800"); },
           "QXmlStreamWriter::writeCharacters(): a lone surrogate, which XML cannot hold", "Error");
    throws(function() { w.writeAttribute("k", "\udc00"); }, undefined, "Error");
    eq(ba.size(), before);
    w.writeCharacters("\u00e9");
    w.writeEndElement();
    eq(latin1.toUnicode(ba), "<a>\u00e9</a>", "names are written after a refusal");

    ba = new QByteArray();
    w = new QXmlStreamWriter(ba);       // UTF-8: only lone surrogates are refused
    w.writeStartElement("a");
    throws(function() { w.writeComment("\udfff"); }, undefined, "Error");
    w.writeComment("\u20ac");
    w.writeEndElement();
    eq(text(ba), "<a><!--\u20ac--></a>");
});

test("a reader's tokens copied into a codec that cannot encode them", function() {
    var doc = '<?xml version="1.0"?><r a="\u20ac"><!--ok--><t>\u20ac\u00e9</t><!--\u20ac--></r>';
    var r = new QXmlStreamReader(doc), ba = new QByteArray(), w = new QXmlStreamWriter(ba), errors = 0;
    w.setCodec(latin1);
    while (!r.atEnd()) {
        r.readNext();
        try { w.writeCurrentToken(r); } catch (e) { ++errors; eq(e.message, "QXmlStreamWriter::writeCurrentToken(): " + refused); }
    }
    eq(errors, 1, "the comment");
    eq(latin1.toUnicode(ba), '<?xml version="1.0" encoding="ISO-8859-1"?><r a="&#x20AC;"><!--ok-->' +
       "<t>&#x20AC;\u00e9</t></r>\n");
    r = new QXmlStreamReader('<r \u20ac="1"/>');
    r.readNext();
    r.readNext();
    var size = ba.size();
    throws(function() { w.writeCurrentToken(r); }, undefined, "Error");
    eq(ba.size(), size, "an attribute's name");
});

test("a UTF-32 writer writes four bytes per character", function() {
    var ba = new QByteArray(), w = new QXmlStreamWriter(ba);
    w.setCodec("UTF-32LE");
    eq(w.codec().mibEnum(), 1019);
    w.writeTextElement("t", "\ud83d\ude00\ud83d\ude00");
    eq(latin1.toUnicode(ba.toHex()), "3c000000740000003e000000" + "00f6010000f60100" +
       "3c0000002f000000740000003e000000");
    throws(function() { w.writeStartDocument("1.\ud83d\ude00"); }, undefined, "Error");
    ba.clear();
    var v = new QXmlStreamWriter(ba);
    v.setCodec(QTextCodec.codecForMib(1018));
    v.writeStartDocument();
    eq(QTextCodec.codecForMib(1018).toUnicode(ba), '<?xml version="1.0" encoding="UTF-32BE"?>');
});

test("text past 64 KB with characters the codec cannot encode", function() {
    var chunk = new Array(1000).join("x") + "\u20ac", big = new Array(101).join(chunk);
    var ba = new QByteArray(), w = new QXmlStreamWriter(ba);
    w.setCodec(latin1);
    w.writeTextElement("t", big);
    eq(ba.size(), 100 * 999 + 100 * 8 + 7);
    var r = new QXmlStreamReader(ba), back = "";
    while (!r.atEnd())
        if (r.readNext() == QXmlStreamReader.Characters) back += r.text();
    eq(back === big, true, "read back whole");
    ba = new QByteArray();
    w = new QXmlStreamWriter(ba);
    w.setCodec(latin1);
    w.writeCharacters(new Array(70001).join("\u20ac"));
    eq(ba.size(), 70000 * 8);
});

finish();
