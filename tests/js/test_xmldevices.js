// XML readers and writers on devices: buffers, files, devices written in script, devices the
// script dropped and devices deleted by other means.

var utf8 = QTextCodec.codecForMib(106);
function text(ba) { return utf8.toUnicode(ba); }
function buffer(data, mode) {
    var b = new QBuffer(new QByteArray(data));
    b.open(mode === undefined ? QIODevice.ReadOnly : mode);
    return b;
}

test("a reader and a writer on buffers", function() {
    var b = buffer("<a x='1'>t</a>");
    var r = new QXmlStreamReader(b);
    ok(r.device() === b, "device() is the script's own object");
    r.readNext(); r.readNext();
    eq(r.attributes().value("x"), "1");
    eq(r.readElementText(), "t");

    var written = new QByteArray(), out = new QBuffer(written), w = new QXmlStreamWriter(out);
    out.open(QIODevice.WriteOnly);
    ok(w.device() === out);
    w.writeTextElement("t", "v");
    eq(text(written), "<t>v</t>");

    r = new QXmlStreamReader();
    r.setDevice(buffer("<b/>"));
    r.readNext(); r.readNext();
    eq(r.name(), "b", "setDevice");
    r.setDevice(5);
    eq(r.device(), null, "anything but a device leaves none");
    r.setDevice(buffer("<c/>"));
    r.clear();
    eq(r.device(), null, "clear() lets go of the device");
    // ... which then goes with its script object, though its readers stay (a temporary file it
    // refers to shows it).
    var readers = [new QXmlStreamReader(), new QXmlStreamReader()];
    var name = (function() {
        var names = [];
        for (var i = 0; i <= 1; ++i) {
            var b = buffer("<d/>"), file = new QTemporaryFile();
            file.open();
            b.file = file;
            names.push(file.fileName());
            readers[i].setDevice(b);
            readers[i].clear();
        }
        return names[0];
    })();
    for (var i = 0; i < 3; ++i) {
        var junk = [];
        for (var k = 0; k < 5000; ++k)
            junk.push({});
        gc();
    }
    ok(!QFile.exists(name), "a device cleared away is not kept");
});

test("readers and writers keep the devices the script dropped", function() {
    var r, w, given = new QXmlStreamReader(), ba = new QByteArray();
    (function() {
        r = new QXmlStreamReader(buffer("<kept>yes</kept>"));
        given.setDevice(buffer("<given>too</given>"));
        var out = new QBuffer(ba);
        out.open(QIODevice.WriteOnly);
        w = new QXmlStreamWriter(out);
    })();
    for (var i = 0; i < 3; ++i) {
        var junk = [];
        for (var k = 0; k < 5000; ++k)
            junk.push({});
        gc();
    }
    r.readNext(); r.readNext();
    eq(r.readElementText(), "yes");
    given.readNext(); given.readNext();
    eq(given.readElementText(), "too", "a device given with setDevice");
    w.writeEmptyElement("kept");
    w.writeEndDocument();
    eq(text(ba), "<kept/>\n");
});

test("a device deleted by other means leaves no device", function() {
    var parent = new QObject();
    var b = new QBuffer(new QByteArray("<a>x</a>"), parent);
    b.open(QIODevice.ReadOnly);
    var r = new QXmlStreamReader(b);
    var given = new QXmlStreamReader();
    given.setDevice(new QBuffer(parent));
    var out = new QBuffer(parent), w = new QXmlStreamWriter(out);
    out.open(QIODevice.WriteOnly);
    r.readNext();
    parent.deleteLater();
    ok(waitFor(function() { return r.device() === null; }), "the reader has none");
    eq(given.device(), null, "nor one given with setDevice");
    eq(w.device(), null, "nor the writer");
    eq(r.readNext(), QXmlStreamReader.Invalid, "nothing left to read");
    w.writeStartElement("nowhere");
    w.writeEndDocument();
});

test("devices written in script cannot change their reader or writer", function() {
    var w, seen = [], got = new QByteArray();
    var d = new QIODevice();
    d.writeData = function(buf, len) {
        try { w.writeComment("again"); } catch (e) { seen.push(e.message); }
        seen.push(w.autoFormatting());
        return len;
    };
    d.open(QIODevice.WriteOnly);
    w = new QXmlStreamWriter(d);
    w.writeEmptyElement("a");
    eq(seen[0], "QXmlStreamWriter::writeComment(): called while this object is at work in another call");
    eq(seen[1], false, "looking at it is fine");

    var r, src = buffer("<a>b</a>"), errors = [];
    var s = new QIODevice();
    s.readData = function(buf, max) {
        try { r.readNext(); } catch (e) { errors.push(e.message); }
        var n = 0;
        while (n < max && src.getChar(buf)) ++n;
        return n;
    };
    s.isSequential = function() { return true; };
    s.open(QIODevice.ReadOnly);
    r = new QXmlStreamReader(s);
    r.readNext(); r.readNext();
    eq(r.name(), "a");
    ok(errors.length > 0, "a nested readNext was refused");
    eq(errors[0], "QXmlStreamReader::readNext(): called while this object is at work in another call");
});

test("a 5 MB document written to a file and read back through a device", function() {
    var items = 50000, payload = "0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz0123456789";
    var f = new QFile("big.xml");
    ok(f.open(QIODevice.WriteOnly), "open for writing");
    var w = new QXmlStreamWriter(f);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement("urn:big", "items");
    for (var i = 0; i < items; ++i) {
        w.writeStartElement("urn:big", "item");
        w.writeAttribute("n", String(i));
        w.writeCharacters(payload);
        w.writeEndElement();
    }
    w.writeEndDocument();
    f.close();
    ok(f.size() > 5 * 1024 * 1024, "over 5 MB: " + f.size());

    var g = new QFile("big.xml");
    ok(g.open(QIODevice.ReadOnly));
    var r = new QXmlStreamReader(g), count = 0, chars = 0, last = -1;
    while (!r.atEnd()) {
        if (r.readNext() === QXmlStreamReader.StartElement && r.name() == "item") {
            ++count;
            last = Number(r.attributes().value("n"));
            if (r.namespaceUri() != "urn:big") fail("namespace of item " + count);
            chars += r.readElementText().length;
        }
    }
    ok(!r.hasError(), r.errorString());
    eq(count, items);
    eq(last, items - 1);
    eq(chars, items * payload.length);
    g.close();
    ok(g.remove(), "the scratch file goes");
});

finish();
