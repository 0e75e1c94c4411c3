// QXmlStreamAttribute, QXmlStreamAttributes and the three declaration classes: values, copies,
// comparisons, lists and index checks.

function mismatch(cls, name, lines) {
    return cls + "::" + name + "(): could not find a function match; candidates are:\n" +
        lines.map(function(l) { return name + "(" + l + ")"; }).join("\n");
}
function names(list) {
    return list.map(function(a) { return a.qualifiedName() + "=" + a.value(); }).join(",");
}

test("attribute", function() {
    var a = new QXmlStreamAttribute("xml:lang", "en");
    eq([a.qualifiedName(), a.name(), a.prefix(), a.value(), a.namespaceUri()].join("|"), "xml:lang|lang|xml|en|");
    eq(a.isDefault(), false);
    var n = new QXmlStreamAttribute("urn:x", "id", "7");
    eq([n.namespaceUri(), n.name(), n.qualifiedName(), n.prefix(), n.value()].join("|"), "urn:x|id|id||7");
    var c = new QXmlStreamAttribute(a);
    ok(c.equals(a) && c !== a, "an equal copy");
    var d = new QXmlStreamAttribute(42);
    eq(d.qualifiedName() + d.value(), "", "anything else gives the default attribute");
    ok(d.equals(new QXmlStreamAttribute()));
    ok(new QXmlStreamAttribute("a", "1").equals(new QXmlStreamAttribute("a", "1")));
    ok(!new QXmlStreamAttribute("a", "1").equals(new QXmlStreamAttribute("a", "2")));
    ok(n.equals(new QXmlStreamAttribute("urn:x", "id", "7")), "by namespace and local name");
    eq(a.toString(1), "QXmlStreamAttribute");
    throws(function() { new QXmlStreamAttribute(1, 2, 3, 4); },
           mismatch("QXmlStreamAttribute", "QXmlStreamAttribute",
                    ["", "String namespaceUri, String name, String value",
                     "String qualifiedName, String value", "QXmlStreamAttribute arg__1"]));
    throws(function() { a.name(1); }, mismatch("QXmlStreamAttribute", "name", [""]));
    throws(function() { QXmlStreamAttribute.prototype.value.call({}); },
           "QXmlStreamAttribute.value(): this object is not a QXmlStreamAttribute", "TypeError");
    throws(function() { QXmlStreamAttribute(); },
           "QXmlStreamAttribute(): Did you forget to construct with 'new'?");
});

test("attribute set: building and looking up", function() {
    var s = new QXmlStreamAttributes();
    ok(s.isEmpty() && s.empty() && s.size() === 0);
    eq(s.toList().length, 0);
    s.append("id", "7");
    s.append("urn:x", "id", "8");
    s.append(new QXmlStreamAttribute("b", "9"));
    eq(s.count(), 3);
    ok(!s.at(0).isDefault() && !s.at(1).isDefault() && !s.at(2).isDefault(), "made ones are no defaults");
    eq(s.value("id"), "7");
    eq(s.value("urn:x", "id"), "8");
    eq(s.value("missing"), "");
    eq(s.at(0).qualifiedName(), "id");
    ok(s.contains(new QXmlStreamAttribute("b", "9")));
    eq(s.count(new QXmlStreamAttribute("b", "9")), 1);
    eq(s.indexOf(new QXmlStreamAttribute("b", "9")), 2);
    eq(s.indexOf(new QXmlStreamAttribute("b", "9"), 3), -1);
    eq(s.lastIndexOf(new QXmlStreamAttribute("id", "7")), 0);
    eq(s.lastIndexOf(new QXmlStreamAttribute("b", "9"), 1), -1);
    eq(names(s.mid(1)), "id=8,b=9");
    eq(names(s.mid(0, 1)), "id=7");
    eq(s.size(), 3, "mid leaves the set");
    eq(s.first().value() + s.last().value(), "79");
    ok(s.equals(s.toList()), "equals its own list");
    ok(!s.equals([]), "not an empty list");
    ok(new QXmlStreamAttributes().equals([]));
    eq(s.toString(), "QXmlStreamAttributes");
    throws(function() { s.append(); },
           mismatch("QXmlStreamAttributes", "append",
                    ["String namespaceUri, String name, String value",
                     "String qualifiedName, String value", "QXmlStreamAttribute attribute"]));
    throws(function() { QXmlStreamAttributes.prototype.size.call({}); },
           "QXmlStreamAttributes.size(): this object is not a QXmlStreamAttributes", "TypeError");
    throws(function() { new QXmlStreamAttributes(1); },
           mismatch("QXmlStreamAttributes", "QXmlStreamAttributes", [""]));
});

test("attribute set: changing it", function() {
    var s = new QXmlStreamAttributes(), t = new QXmlStreamAttribute("t", "0");
    s.append("a", "1"); s.append("b", "2"); s.append("c", "3");
    s.prepend(new QXmlStreamAttribute("z", "0"));
    eq(names(s.toList()), "z=0,a=1,b=2,c=3");
    s.replace(0, new QXmlStreamAttribute("y", "9"));
    s.remove(1);
    s.remove(1, 1);
    eq(names(s.toList()), "y=9,c=3");
    s.remove(2, 0);
    var filled = s.fill(t);
    ok(filled instanceof Array, "fill gives an Array");
    eq(names(filled), "t=0,t=0");
    eq(s.size(), 2, "and keeps the size");
    eq(names(s.fill(t, 3)), "t=0,t=0,t=0");
    s.resize(1);
    s.reserve(10);
    ok(s.capacity() >= 10);
    s.squeeze();
    s.setSharable(false);
    var copy = s.toList();
    s.setSharable(true);
    eq(names(copy), "t=0");
    s.clear();
    ok(s.isEmpty());
});

test("attribute set: indexes outside the set", function() {
    var s = new QXmlStreamAttributes(), t = new QXmlStreamAttribute("t", "0");
    function range(f, name) {
        throws(f, "QXmlStreamAttributes::" + name + "(): index out of range", "RangeError");
    }
    range(function() { s.first(); }, "first");
    range(function() { s.last(); }, "last");
    range(function() { s.at(0); }, "at");
    s.append("a", "1");
    range(function() { s.at(1); }, "at");
    range(function() { s.at(-1); }, "at");
    range(function() { s.replace(1, t); }, "replace");
    range(function() { s.remove(1); }, "remove");
    range(function() { s.remove(0, 2); }, "remove");
    range(function() { s.remove(-1, 1); }, "remove");
    range(function() { s.remove(0, -1); }, "remove");
    range(function() { s.resize(-1); }, "resize");
    range(function() { s.fill(t, -2); }, "fill");
    range(function() { s.fill(t, 19463264); }, "fill");
    range(function() { s.resize(1048577); }, "resize");
    range(function() { s.reserve(2147483647); }, "reserve");
    s.reserve(-5);
    eq(names(s.toList()), "a=1", "nothing changed");
});

test("attribute lists", function() {
    var a = new QXmlStreamAttribute("a", "1");
    var list = QXmlStreamAttributes.fromList([a, 5]);
    ok(list instanceof Array, "an Array, not a set");
    eq(list.length, 2);
    ok(list[0].equals(a) && list[0] !== a, "copies");
    eq(list[1].qualifiedName(), "", "a default attribute for anything else");
    eq(QXmlStreamAttributes.fromList(5).length, 0);
    throws(function() { QXmlStreamAttributes.fromList({length: 4e9}); },
           "QXmlStreamAttributes::fromList(): list length out of range", "RangeError");
    throws(function() { new QXmlStreamAttributes().equals({length: 16777217}); },
           "QXmlStreamAttributes::equals(): list length out of range", "RangeError");
    throws(function() { QXmlStreamAttributes.fromList(); },
           mismatch("QXmlStreamAttributes", "fromList", ["List list"]));
});

test("declarations", function() {
    var n = new QXmlStreamNamespaceDeclaration("x", "urn:x");
    eq(n.prefix() + " " + n.namespaceUri(), "x urn:x");
    ok(n.equals(new QXmlStreamNamespaceDeclaration("x", "urn:x")));
    ok(!n.equals(new QXmlStreamNamespaceDeclaration("y", "urn:x")));
    ok(new QXmlStreamNamespaceDeclaration(n).equals(n));
    var e = new QXmlStreamEntityDeclaration();
    eq([e.name(), e.notationName(), e.publicId(), e.systemId(), e.value()].join(""), "");
    ok(e.equals(new QXmlStreamEntityDeclaration()));
    ok(new QXmlStreamNotationDeclaration("n").equals(new QXmlStreamNotationDeclaration()),
       "one argument that is no declaration gives the default one");
    eq(e.toString() + n.toString() + new QXmlStreamNotationDeclaration().toString(1),
       "QXmlStreamEntityDeclarationQXmlStreamNamespaceDeclarationQXmlStreamNotationDeclaration");
    throws(function() { new QXmlStreamNotationDeclaration(1, 2); },
           mismatch("QXmlStreamNotationDeclaration", "QXmlStreamNotationDeclaration",
                    ["", "QXmlStreamNotationDeclaration arg__1"]));
    throws(function() { new QXmlStreamNamespaceDeclaration(1, 2, 3); }, undefined, "Error");
    throws(function() { e.name(1); }, mismatch("QXmlStreamEntityDeclaration", "name", [""]));
    throws(function() { n.equals(); },
           mismatch("QXmlStreamNamespaceDeclaration", "equals", ["QXmlStreamNamespaceDeclaration other"]));
    throws(function() { QXmlStreamEntityDeclaration.prototype.name.call(n); },
           "QXmlStreamEntityDeclaration.name(): this object is not a QXmlStreamEntityDeclaration",
           "TypeError");
    throws(function() { QXmlStreamNotationDeclaration(); },
           "QXmlStreamNotationDeclaration(): Did you forget to construct with 'new'?");
});

finish();
