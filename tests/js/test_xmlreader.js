// QXmlStreamReader: reading token by token from strings and byte arrays, namespaces, DTDs,
// errors and their positions, input that arrives in pieces, and entity resolvers in script.

function mismatch(cls, name, lines) {
    return cls + "::" + name + "(): could not find a function match; candidates are:\n" +
        lines.map(function(l) { return name + "(" + l + ")"; }).join("\n");
}

// Every token as "Type:name:text", up to the first error, which ends the list as
// "Error:message@line:column".
function tokens(r) {
    var out = [];
    while (!r.atEnd()) {
        r.readNext();
        if (r.hasError()) {
            out.push(r.error().toString() + ":" + r.errorString() + "@" + r.lineNumber() + ":" +
                     r.columnNumber());
            break;
        }
        out.push(r.tokenString() + ":" + r.name() + ":" + r.text());
    }
    return out.join(" | ");
}

test("construction and mismatches", function() {
    eq(tokens(new QXmlStreamReader("<a/>")), "StartDocument:: | StartElement:a: | EndElement:a: | EndDocument::");
    eq(tokens(new QXmlStreamReader(new QByteArray("<b>x</b>"))),
       "StartDocument:: | StartElement:b: | Characters::x | EndElement:b: | EndDocument::");
    var empty = new QXmlStreamReader();
    eq(empty.readNext(), QXmlStreamReader.Invalid, "no input yet");
    eq(empty.error(), QXmlStreamReader.PrematureEndOfDocumentError);
    eq(empty.device(), null);
    var ctor = mismatch("QXmlStreamReader", "QXmlStreamReader",
                        ["", "QIODevice device", "QByteArray data", "String data"]);
    throws(function() { new QXmlStreamReader(5); }, ctor, "Error");
    throws(function() { new QXmlStreamReader({}); }, ctor);
    throws(function() { new QXmlStreamReader("<a/>", 1); }, ctor);
    throws(function() { QXmlStreamReader("<a/>"); },
           "QXmlStreamReader(): Did you forget to construct with 'new'?");
    throws(function() { empty.addData(5); },
           mismatch("QXmlStreamReader", "addData", ["QByteArray data", "String data"]));
    throws(function() { empty.atEnd(1); }, mismatch("QXmlStreamReader", "atEnd", [""]));
    throws(function() { QXmlStreamReader.prototype.atEnd(); },
           "QXmlStreamReader.atEnd(): this object is not a QXmlStreamReader", "TypeError");
    throws(function() { QXmlStreamReader.prototype.toString(); },
           "QXmlStreamReader.toString(): this object is not a QXmlStreamReader", "TypeError");
    eq(empty.toString(1, 2), "QXmlStreamReader");
});

test("token and error enumerations", function() {
    var r = new QXmlStreamReader("<a/>");
    ok(r.readNext() === QXmlStreamReader.StartDocument, "the value object itself");
    r.readNext();
    eq(r.tokenType().toString(), "StartElement");
    eq(r.tokenType().valueOf(), 4);
    ok(QXmlStreamReader.TokenType(4) === QXmlStreamReader.StartElement);
    ok(QXmlStreamReader.Error() === QXmlStreamReader.NoError);
    throws(function() { QXmlStreamReader.TokenType(11); }, "TokenType(): invalid enum value (11)");
    throws(function() { QXmlStreamReader.Error(-1); }, "Error(): invalid enum value (-1)");
    QXmlStreamReader.StartElement = 0;
    eq(QXmlStreamReader.StartElement.valueOf(), 4, "read-only");
    eq(QXmlStreamReader.TokenType.StartElement, undefined, "keys stand on the class object");
});

test("elements, characters, CDATA, references, comments and processing instructions", function() {
    var r = new QXmlStreamReader("<a>t<![CDATA[<c>]]>&amp;&#65;&#x42;<!--note--><?pi some data?> </a>");
    eq(tokens(r), "StartDocument:: | StartElement:a: | Characters::t | Characters::<c> | " +
       "Characters::&AB | Comment::note | ProcessingInstruction:: | Characters::  | " +
       "EndElement:a: | EndDocument::");
    r = new QXmlStreamReader("<a><![CDATA[x]]><?t d?> </a>");
    r.readNext(); r.readNext(); r.readNext();
    ok(r.isCDATA() && r.isCharacters() && !r.isWhitespace(), "CDATA");
    r.readNext();
    ok(r.isProcessingInstruction());
    eq(r.processingInstructionTarget(), "t");
    eq(r.processingInstructionData(), "d");
    r.readNext();
    ok(r.isWhitespace() && !r.isCDATA(), "white space");
    eq(typeof r.lineNumber(), "number");
    eq(typeof r.characterOffset(), "number");
    eq(r.name(), "", "no name for characters");
});

test("namespaces and prefixes", function() {
    var r = new QXmlStreamReader("<p:a xmlns:p='urn:p' xmlns='urn:d' p:x='1' y='2'><b/></p:a>");
    r.readNext(); r.readNext();
    eq(r.name(), "a");
    eq(r.prefix(), "p");
    eq(r.qualifiedName(), "p:a");
    eq(r.namespaceUri(), "urn:p");
    var ns = r.namespaceDeclarations();
    ok(ns instanceof Array, "an Array");
    eq(ns.length, 2);
    eq(ns[0].prefix() + "=" + ns[0].namespaceUri() + " " + ns[1].prefix() + "=" + ns[1].namespaceUri(),
       "p=urn:p =urn:d");
    var a = r.attributes();
    ok(!(a instanceof Array), "attributes are one set");
    eq(Object.getPrototypeOf(a), QXmlStreamAttributes.prototype);
    eq(Object.getPrototypeOf(ns[0]), QXmlStreamNamespaceDeclaration.prototype);
    eq(a.size(), 2);
    eq(a.value("urn:p", "x"), "1");
    eq(a.value("y"), "2");
    eq(a.at(0).prefix(), "p");
    r.readNext();
    eq(r.namespaceUri(), "urn:d", "default namespace");
    eq(r.namespaceDeclarations().length, 0);

    r = new QXmlStreamReader("<q:b/>");
    r.addExtraNamespaceDeclaration(new QXmlStreamNamespaceDeclaration("q", "urn:q"));
    r.readNext(); r.readNext();
    eq(r.namespaceUri(), "urn:q", "an extra declaration");
    r = new QXmlStreamReader("<q:b/><r:c/>");
    r.addExtraNamespaceDeclarations([new QXmlStreamNamespaceDeclaration("q", "urn:q"), 5]);
    r.addExtraNamespaceDeclarations(5);
    r.readNext(); r.readNext();
    eq(r.namespaceUri(), "urn:q");
    throws(function() { r.addExtraNamespaceDeclarations({length: 4e9}); },
           "QXmlStreamReader::addExtraNamespaceDeclarations(): list length out of range", "RangeError");
    throws(function() { r.addExtraNamespaceDeclarations({length: 16777217}); }, undefined, "RangeError");

    eq(tokens(new QXmlStreamReader("<q:b/>")),
       "StartDocument:: | NotWellFormedError:Namespace prefix 'q' not declared@1:6");
    r = new QXmlStreamReader("<q:b/>");
    r.setNamespaceProcessing(false);
    eq(r.namespaceProcessing(), false);
    r.readNext(); r.readNext();
    ok(!r.hasError(), "no namespace processing");
    eq(r.name() + " " + r.qualifiedName() + " [" + r.namespaceUri() + "]", "b q:b []");
});

test("a DTD with entity and notation declarations and a default attribute", function() {
    var r = new QXmlStreamReader(
        "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\n" +
        "<!DOCTYPE doc PUBLIC '-//X//DTD doc//EN' 'doc.dtd' [\n" +
        "<!ENTITY who 'world'>\n" +
        "<!ENTITY logo SYSTEM 'logo.png' NDATA png>\n" +
        "<!NOTATION png PUBLIC 'png-id' 'image/png'>\n" +
        "<!ATTLIST doc lang CDATA 'en'>\n" +
        "]>\n<doc>hello &who;</doc>");
    r.readNext();
    ok(r.isStartDocument());
    eq(r.documentVersion() + " " + r.documentEncoding() + " " + r.isStandaloneDocument(), "1.0 UTF-8 true");
    r.readNext();
    ok(r.isDTD());
    eq(r.dtdName() + "|" + r.dtdPublicId() + "|" + r.dtdSystemId(), "doc|-//X//DTD doc//EN|doc.dtd");
    var e = r.entityDeclarations(), n = r.notationDeclarations();
    eq(e.length, 2);
    eq(e[0].name() + "=" + e[0].value(), "who=world");
    eq([e[1].name(), e[1].systemId(), e[1].notationName(), e[1].value()].join("|"), "logo|logo.png|png|");
    eq(n.length, 1);
    eq([n[0].name(), n[0].publicId(), n[0].systemId()].join("|"), "png|png-id|image/png");
    ok(n[0].equals(new QXmlStreamNotationDeclaration(n[0])), "a copy is equal");
    while (!r.isStartElement()) r.readNext();
    var a = r.attributes();
    eq(a.size(), 1);
    eq(a.at(0).qualifiedName() + "=" + a.at(0).value(), "lang=en");
    ok(a.at(0).isDefault(), "defaulted from the DTD");
    eq(r.readElementText(), "hello world", "the declared entity is expanded");
    ok(r.isEndElement());
});

test("errors with line and column", function() {
    eq(tokens(new QXmlStreamReader("<a>\n  <b></c>\n</a>")),
       "StartDocument:: | StartElement:a: | Characters::\n   | StartElement:b: | " +
       "NotWellFormedError:Opening and ending tag mismatch.@2:9");
    eq(tokens(new QXmlStreamReader("<a>&unknown;</a>")),
       "StartDocument:: | StartElement:a: | NotWellFormedError:Entity 'unknown' not declared.@1:12");
    var r = new QXmlStreamReader("<a>x<b/></a>");
    r.readNext(); r.readNext();
    eq(r.readElementText(), "x");
    eq(r.error(), QXmlStreamReader.UnexpectedElementError);
    eq(r.errorString(), "Expected character data.");

    r = new QXmlStreamReader("<a/>");
    r.raiseError();
    eq(r.error(), QXmlStreamReader.CustomError);
    eq(r.errorString(), "Invalid document.", "Qt's text for a custom error without message");
    r.raiseError("mine");
    eq(r.errorString(), "mine");
    eq(r.tokenType(), QXmlStreamReader.Invalid);
});

test("a premature end continued with addData", function() {
    var r = new QXmlStreamReader("<a><b>te");
    eq(tokens(r), "StartDocument:: | StartElement:a: | StartElement:b: | " +
       "PrematureEndOfDocumentError:Premature end of document.@1:8");
    ok(r.atEnd(), "at the end of what it has");
    r.addData(new QByteArray("xt</b>"));
    r.addData("</a>");
    eq(tokens(r), "Characters::text | EndElement:b: | EndElement:a: | EndDocument::");
    ok(!r.hasError());

    r.clear();
    eq(r.tokenType(), QXmlStreamReader.NoToken, "clear() starts afresh");
    r.addData("<x/>");
    eq(tokens(r), "StartDocument:: | StartElement:x: | EndElement:x: | EndDocument::");
});

test("a resolver in script", function() {
    var res = new QXmlStreamEntityResolver(), asked = [];
    res.resolveUndeclaredEntity = function(name) { asked.push(name); return name.toUpperCase(); };
    var r = new QXmlStreamReader("<a t='&x;'>1&y;2</a>");
    r.setEntityResolver(res);
    r.readNext(); r.readNext();
    eq(r.attributes().value("t"), "X", "in an attribute value");
    eq(r.readElementText(), "1Y2", "in content");
    eq(asked.join(","), "x,y");
    ok(r.entityResolver() !== res, "a new handle");
    eq(r.entityResolver().resolveUndeclaredEntity("z"), "Z", "that reaches the script function");
    eq(r.entityResolver().toString(), "QXmlStreamEntityResolver");

    // The functions are looked up anew at every call; without one the base answers.
    delete res.resolveUndeclaredEntity;
    eq(res.resolveUndeclaredEntity("z"), "", "the base implementation");
    eq(res.resolveEntity("p", "s"), "");
    res.resolveEntity = function(p, s) { return p + "+" + s; };
    eq(QXmlStreamEntityResolver.prototype.resolveEntity.call(res, "p", "s"), "p+s");

    // No answer leaves the entity unresolved.
    res.resolveUndeclaredEntity = function(name) {};
    r = new QXmlStreamReader("<a>&q;</a>");
    r.setEntityResolver(res);
    eq(tokens(r), "StartDocument:: | StartElement:a: | NotWellFormedError:Entity 'q' not declared.@1:6");

    // A resolver that throws: the error reaches the script that reads.
    res.resolveUndeclaredEntity = function(name) { throw new Error("no " + name); };
    r = new QXmlStreamReader("<a>&q;</a>");
    r.setEntityResolver(res);
    r.readNext(); r.readNext();
    throws(function() { r.readNext(); }, "no q");

    r.setEntityResolver(5);
    eq(r.entityResolver(), null, "anything else leaves no resolver");
    throws(function() { new QXmlStreamEntityResolver(1); },
           mismatch("QXmlStreamEntityResolver", "QXmlStreamEntityResolver", [""]));
    throws(function() { QXmlStreamEntityResolver(); },
           "QXmlStreamEntityResolver(): Did you forget to construct with 'new'?");
    throws(function() { QXmlStreamEntityResolver.prototype.resolveEntity.call(res, "p"); },
           mismatch("QXmlStreamEntityResolver", "resolveEntity", ["String publicId, String systemId"]));
    throws(function() { QXmlStreamEntityResolver.prototype.resolveEntity("a", "b"); },
           "QXmlStreamEntityResolver.resolveEntity(): this object is not a QXmlStreamEntityResolver",
           "TypeError");
    eq(res.toString(1, 2), "QXmlStreamEntityResolver");
});

test("Qt 5's reader asks only resolveUndeclaredEntity", function() {
    var res = new QXmlStreamEntityResolver(), calls = [];
    res.resolveEntity = function(p, s) { calls.push("entity " + p + " " + s); return "E"; };
    res.resolveUndeclaredEntity = function(n) { calls.push("undeclared " + n); return "U"; };
    var r = new QXmlStreamReader("<!DOCTYPE a [<!ENTITY ext PUBLIC 'pub' 'sys.xml'>]><a>&ext;&und;</a>");
    r.setEntityResolver(res);
    r.readNext(); r.readNext(); r.readNext();
    eq(r.readElementText(), "U", "the external entity is skipped");
    eq(calls.join(), "undeclared und");
});

test("a resolver whose answer refers to itself stops", function() {
    var res = new QXmlStreamEntityResolver(), calls = 0;
    res.resolveUndeclaredEntity = function(name) { ++calls; return "&" + name + ";"; };
    var r = new QXmlStreamReader("<a>x&loop;y</a>");
    r.setEntityResolver(res);
    eq(tokens(r), "StartDocument:: | StartElement:a: | Characters::x | " +
       "CustomError:Entity 'loop' not resolved: answers nested more than 64 deep.@1:10");
    eq(calls, 64, "answers nested up to the limit");
    // The depth is per reference in the document: the next one resolves again.
    calls = 0;
    res.resolveUndeclaredEntity = function(name) { ++calls; return calls % 60 ? "&" + name + ";" : "."; };
    r = new QXmlStreamReader("<a>&e;&e;</a>");
    r.setEntityResolver(res);
    r.readNext(); r.readNext();
    eq(r.readElementText(), "..");
    eq(calls, 120);
    // Answers that grow as they refer to themselves end at the same depth; so do answers that
    // hold markup, read over many tokens.
    var bulk = new Array(65537).join("x");
    res.resolveUndeclaredEntity = function(name) { return "&" + name + ";" + bulk; };
    r = new QXmlStreamReader("<a>&e;</a>");
    r.setEntityResolver(res);
    r.readNext(); r.readNext();
    eq(r.readElementText(), "");
    eq(r.errorString(), "Entity 'e' not resolved: answers nested more than 64 deep.");
    calls = 0;
    res.resolveUndeclaredEntity = function(name) { ++calls; return "<b>&" + name + ";</b>"; };
    r = new QXmlStreamReader("<a>&e;</a>");
    r.setEntityResolver(res);
    var count = 0;
    while (!r.atEnd() && r.readNext() != QXmlStreamReader.Invalid) ++count;
    eq(calls, 64);
    eq(count, 66, "the elements up to the limit");
    eq(r.error(), QXmlStreamReader.CustomError);
});

// References in the document are not nested: any number of them resolve, each answer as large as
// a string may be, within a total for one read far above real documents.
test("any number of references, and large answers, resolve", function() {
    var res = new QXmlStreamEntityResolver(), calls = 0;
    res.resolveUndeclaredEntity = function(name) { ++calls; return "x"; };
    var r = new QXmlStreamReader("<a>" + new Array(5001).join("&e;") + "</a>");
    r.setEntityResolver(res);
    r.readNext(); r.readNext();
    eq(r.readElementText().length, 5000);
    eq(r.hasError(), false);
    eq(calls, 5000);
    var quarter = new Array((1 << 22) + 1).join("x");
    res.resolveUndeclaredEntity = function(name) { return quarter; };
    r = new QXmlStreamReader("<a>&e;&e;&e;&e;&e;</a>");
    r.setEntityResolver(res);
    r.readNext(); r.readNext();
    eq(r.readNext(), QXmlStreamReader.Characters);
    eq(r.text().length, 5 << 22, "five answers of 4M characters in one token");
    eq(r.hasError(), false);
});

// The reader parses an answer again: the references an answer holds, and those in the declared
// entities it refers to, nest one deeper; their siblings do not.
test("nested answers: the depth, and declared entities between them", function() {
    function read(doc, answers) {
        var res = new QXmlStreamEntityResolver();
        res.resolveUndeclaredEntity = function(name) { return answers[name]; };
        var r = new QXmlStreamReader(doc), text = "";
        r.setEntityResolver(res);
        while (!r.atEnd() && r.readNext() != QXmlStreamReader.Invalid)
            if (r.isCharacters()) text += r.text();
        return r.hasError() ? r.errorString() : text.length;
    }
    function chain(n) {   // e0 answers &e1;, ..., the last answers "deep"
        var a = {};
        for (var i = 0; i < n - 1; ++i) a["e" + i] = "&e" + (i + 1) + ";";
        a["e" + (n - 1)] = "deep";
        return a;
    }
    eq(read("<a>&e0;</a>", chain(64)), 4);
    eq(read("<a>&e0;</a>", chain(65)), "Entity 'e64' not resolved: answers nested more than 64 deep.");
    var many = new Array(2001).join("&y;");
    eq(read("<a>&a;</a>", {a: many, y: "&z;", z: "1"}), 2000, "siblings in one answer");
    var dtd = "<!DOCTYPE a [<!ENTITY d \"" + new Array(201).join("&x;") + "\"><!ENTITY one \"1\">]>";
    eq(read(dtd + "<a>&d;</a>", {x: "1"}), 200, "a declared entity's references");
    eq(read(dtd + "<a>&a;</a>", {a: "&d;&d;", x: "1"}), 400, "a declared entity in an answer");
    eq(read(dtd + "<a>&a;</a>", {a: many, y: "&one;&z;", z: "2"}), 4000,
       "answers that start with a declared entity");
    // A declared entity between an answer and its own reference still counts its depth.
    dtd = "<!DOCTYPE a [<!ENTITY d \"&x;\">]>";
    eq(read(dtd + "<a>&e;</a>", {e: "&d;&e;&x;", x: ""}),
       "Entity 'x' not resolved: answers nested more than 64 deep.");
    eq(read(dtd + "<a>&e;</a>", {e: "&d;&e;", x: ""}),
       "Entity 'x' not resolved: answers nested more than 64 deep.");
    eq(read(dtd + "<a>&e1;</a>", {e1: "&d;&e2;", e2: "&e1;&x;", x: ""}),
       "Entity 'e1' not resolved: answers nested more than 64 deep.");
    // A declared entity already open is not followed again (a reference to it in a comment).
    eq(read("<!DOCTYPE r [<!ENTITY a '<!-- &a; -->&u;'>]><r>&v;</r>", {v: "&a;", u: "x"}), 1);
    // The reader keeps its own predefined entities, whatever a DTD declares for them: the
    // depth counts as without the declaration. The second x comes from d's text once e's answer
    // is read, and its answers nest 64 deep from there.
    function deepSecond() {
        var xs = 0, answers = {e: "&lt;&x;"};
        for (var i = 1; i < 63; ++i) answers["c" + i] = "&c" + (i + 1) + ";";
        answers.c63 = "deep";
        return {get x() { return xs++ ? "&c1;" : ""; }, __proto__: answers};
    }
    dtd = "<!ENTITY d \"&e;&x;\">]><a>&d;</a>";
    eq(read("<!DOCTYPE a [" + dtd, deepSecond()), 5);
    eq(read("<!DOCTYPE a [<!ENTITY lt \"&x;\">" + dtd, deepSecond()), 5);
});

// What a DTD declared still counts when the document comes in pieces.
test("nested answers through declared entities, the DTD read before a premature end", function() {
    var res = new QXmlStreamEntityResolver(), answers = {e64: "deep"}, dtd = "<!DOCTYPE a [";
    for (var i = 0; i < 64; ++i) {
        dtd += "<!ENTITY d" + i + " \"&e" + (i + 1) + ";\">";
        answers["e" + i] = "&d" + i + ";";
    }
    res.resolveUndeclaredEntity = function(name) { return answers[name]; };
    var r = new QXmlStreamReader(dtd + "]>");
    r.setEntityResolver(res);
    eq([r.readNext(), r.readNext(), r.readNext()].join(), [QXmlStreamReader.StartDocument,
       QXmlStreamReader.DTD, QXmlStreamReader.Invalid].join());
    eq(r.error(), QXmlStreamReader.PrematureEndOfDocumentError);
    r.addData("<a>&e0;</a>");
    eq(tokens(r), "StartElement:a: | CustomError:Entity 'e64' not resolved: answers nested more than 64 deep.@1:" +
       (dtd.length + 9));
});

test("a reader is not changed while it reads, but can be looked at", function() {
    var res = new QXmlStreamEntityResolver(), r = new QXmlStreamReader("<a>&e;</a>"), seen = [];
    res.resolveUndeclaredEntity = function(name) {
        seen.push(typeof r.lineNumber());
        try { r.readNext(); } catch (e) { seen.push(e.message); }
        try { r.clear(); } catch (e) { seen.push(e.message); }
        return "v";
    };
    r.setEntityResolver(res);
    r.readNext(); r.readNext();
    eq(r.readElementText(), "v");
    eq(seen.join(" | "), "number | QXmlStreamReader::readNext(): called while this object is at work in " +
       "another call | QXmlStreamReader::clear(): called while this object is at work in another call");
});

test("a reader keeps its resolver alive", function() {
    var r = new QXmlStreamReader("<a>&e;</a>");
    (function() {
        var res = new QXmlStreamEntityResolver();
        res.resolveUndeclaredEntity = function() { return "kept"; };
        r.setEntityResolver(res);
    })();
    for (var i = 0; i < 3; ++i) {
        var junk = [];
        for (var k = 0; k < 5000; ++k)
            junk.push({});
        gc();
    }
    r.readNext(); r.readNext();
    eq(r.readElementText(), "kept");
    // Through another handle of it as well.
    var r2 = new QXmlStreamReader("<a>&e;</a>");
    r2.setEntityResolver(r.entityResolver());
    r.setEntityResolver(null);
    gc();
    r2.readNext(); r2.readNext();
    eq(r2.readElementText(), "kept");
});

finish();
