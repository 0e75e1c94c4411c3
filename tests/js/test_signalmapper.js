// QSignalMapper: the overloads of mapping/setMapping under names of their own.

// Results come back through the QObject conversion, which may make a wrapper of its own.
function same(a, b, what) { ok(a !== null && a.toString() == b.toString(), what || "same object"); }

test("class shape", function() {
    eq(QSignalMapper.length, 1);
    eq(Object.getPrototypeOf(QSignalMapper.prototype), QObject.prototype);
    var m = new QSignalMapper();
    eq(m.toString(), "QSignalMapper");
    eq(m.toString(1, 2), "QSignalMapper");
    var p = new QObject();
    eq(new QSignalMapper(p).parent().toString(), p.toString());
    throws(function() { QSignalMapper(); }, "QSignalMapper(): Did you forget to construct with 'new'?");
    throws(function() { new QSignalMapper(p, p); },
           "QSignalMapper::QSignalMapper(): could not find a function match; candidates are:\nQSignalMapper(QObject parent)");
    var lengths = [];
    ["mappingById", "mappingByObject", "mappingByString", "removeMappings", "setMappingById",
     "setMappingByObject", "setMappingByString", "toString"].forEach(function(k) {
        lengths.push(QSignalMapper.prototype[k].length);
    });
    eq(lengths.join(), "1,1,1,1,2,2,2,0");
});

test("mappings by id, text and object", function() {
    var m = new QSignalMapper(), a = new QObject(), b = new QObject(), target = new QObject();
    eq(m.mappingById(7), null, "nothing mapped");
    m.setMappingById(a, "7");
    same(m.mappingById(7), a, "id by toInt32");
    m.setMappingByString(b, 5);
    same(m.mappingByString("5"), b, "text by toString");
    same(m.mappingByString(5), b);
    m.setMappingByObject(a, target);
    same(m.mappingByObject(target), a);
    eq(m.mappingByObject(null), null);
    m.removeMappings(a);
    eq(m.mappingById(7), null);
    eq(m.mappingByObject(target), null);
    same(m.mappingByString("5"), b, "other senders keep theirs");
    m.removeMappings(null);
    m.removeMappings(5);
});

test("the mapper emits what a sender is mapped to", function() {
    var m = new QSignalMapper(), s = new QObject(), got = [];
    m.setMappingById(s, 42);
    m.mappedInt.connect(function(i) { got.push(i); });
    m["map(QObject*)"](s);
    eq(got.join(), "42");
});

test("a deleted sender loses its mappings", function() {
    var m = new QSignalMapper(), s = new QObject();
    m.setMappingById(s, 3);
    s.deleteLater();
    ok(waitFor(function() { return m.mappingById(3) === null; }));
});

function gone(o) {
    try { o.objectName; return false; } catch (e) { return true; }
}

test("a deleted mapped object is unmapped; its senders keep their id and text", function() {
    var m = new QSignalMapper(), a = new QObject(), b = new QObject(), c = new QObject();
    var target = new QObject(), other = new QObject(), got = [];
    m.mappedInt.connect(function(i) { got.push("int " + i); });
    m.mappedString.connect(function(t) { got.push("text " + t); });
    m.mappedObject.connect(function(o) { got.push("object " + o.objectName); });
    other.objectName = "other";
    m.setMappingById(a, 4);
    m.setMappingByString(a, "four");
    m.setMappingByObject(a, target);
    m.setMappingByObject(b, target);
    m.setMappingByObject(c, target);
    m.setMappingByObject(c, other);      // c no longer maps to target
    m.setMappingByObject(7, target);     // the null sender
    m.setMappingById(7, 8);
    target.deleteLater();
    ok(waitFor(function() { return gone(target); }), "target deleted");
    m["map(QObject*)"](a);
    m["map(QObject*)"](b);
    m["map(QObject*)"](c);
    m["map()"]();
    eq(got.join(), "int 4,text four,object other,int 8");
    same(m.mappingById(4), a);
    same(m.mappingByString("four"), a);
    same(m.mappingByObject(other), c);
    // A sender mapped again after that is guarded again.
    var next = new QObject();
    m.setMappingByObject(a, next);
    next.deleteLater();
    ok(waitFor(function() { return gone(next); }));
    got = [];
    m["map(QObject*)"](a);
    eq(got.join(), "int 4,text four");
});

test("senders, mapped objects and mappers end in any order", function() {
    var m = new QSignalMapper(), s = new QObject(), t = new QObject(), got = [];
    m.mappedObject.connect(function(o) { got.push(o); });
    m.setMappingByObject(s, t);
    m.setMappingByObject(t, t);          // an object mapped to itself
    s.deleteLater();
    ok(waitFor(function() { return gone(s); }));
    t.deleteLater();
    ok(waitFor(function() { return gone(t); }));
    eq(got.length, 0);
    var m2 = new QSignalMapper(), s2 = new QObject(), t2 = new QObject();
    m2.setMappingByObject(s2, t2);
    m2.setMappingByObject(s2, m2);       // mapped to the mapper itself
    m2.setMappingByObject(m2, t2);       // the mapper as a sender
    m2.deleteLater();
    ok(waitFor(function() { return gone(m2); }));
    t2.deleteLater();
    ok(waitFor(function() { return gone(t2); }));
    m.removeMappings(s2);
    eq(s2.objectName, "");
});

test("mismatches and this checks", function() {
    var m = new QSignalMapper(), s = new QObject();
    throws(function() { m.setMappingById(s); },
           "QSignalMapper::setMappingById(): could not find a function match; candidates are:\n" +
           "setMappingById(QObject sender, int id)");
    throws(function() { m.mappingById(); },
           "QSignalMapper::mappingById(): could not find a function match; candidates are:\nmappingById(int id)");
    throws(function() { QSignalMapper.prototype.mappingById.call(new QTimeLine(), 1); },
           "QSignalMapper.mappingById(): this object is not a QSignalMapper", "TypeError");
});

test("a sender that is no object is QtCore's null sender, which map() without a sender uses", function() {
    var m = new QSignalMapper(), got = [];
    m.mappedInt.connect(function(i) { got.push(i); });
    m.setMappingById(5, 9);
    m.setMappingByString({}, "x");
    m["map()"]();
    eq(got.join(), "9");
    m.removeMappings(null);
    m["map()"]();
    eq(got.join(), "9");
});

finish();
