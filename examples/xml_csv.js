// An XML document turned into CSV text and back: the books of a library, read token by token
// (QXmlStreamReader), written as CSV lines (QTextStream), read back line by line and written as
// XML again (QXmlStreamWriter, auto-formatted). The round trip must give the input back.
//
//     ./run.sh examples/xml_csv.js -- [document.xml]
//
// With no document it converts data/library.xml beside this script. A document must hold
// <book id=".." year=".."> elements with <title> and <author> children under one root element.

var utf8 = QTextCodec.codecForMib(106);
var here = new QFileInfo(scriptFile()).absolutePath();

function scriptFile() {
    try { throw new Error(); } catch (e) { return e.fileName; }
}

function readAll(path) {
    var file = new QFile(path);
    if (!file.open(QIODevice.ReadOnly))
        throw new Error("cannot read " + path + ": " + file.errorString());
    var bytes = file.readAll();
    file.close();
    return bytes;
}

// XML to records.
function readBooks(xml) {
    var reader = new QXmlStreamReader(xml), books = [], root = null;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (root === null) {
            root = reader.name();
        } else if (reader.name() == "book") {
            var attributes = reader.attributes();
            var book = { id: attributes.value("id"), year: attributes.value("year") };
            while (!reader.atEnd() && !(reader.readNext() == QXmlStreamReader.EndElement
                                        && reader.name() == "book")) {
                if (reader.isStartElement())
                    book[reader.name()] = reader.readElementText();
            }
            books.push(book);
        }
    }
    if (reader.hasError())
        throw new Error("line " + reader.lineNumber() + ": " + reader.errorString());
    return { root: root, books: books };
}

var columns = ["id", "year", "title", "author"];

function csvField(text) {
    return /[",\n]/.test(text) ? '"' + text.replace(/"/g, '""') + '"' : text;
}

function parseCsvLine(line) {
    var fields = [], field = "", quoted = false;
    for (var i = 0; i < line.length; ++i) {
        var c = line.charAt(i);
        if (quoted) {
            if (c == '"' && line.charAt(i + 1) == '"') { field += '"'; ++i; }
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ",") {
            fields.push(field);
            field = "";
        } else {
            field += c;
        }
    }
    fields.push(field);
    return fields;
}

// Records to CSV text, through a text stream on a buffer over a byte array (what the buffer
// writes, the array holds at once).
function toCsv(books) {
    var bytes = new QByteArray();
    var buffer = new QBuffer(bytes);
    buffer.open(QIODevice.OpenMode(QIODevice.WriteOnly));
    var out = new QTextStream(buffer);
    out.setCodec(utf8);
    out.writeString(columns.join(",") + "\n");
    for (var i = 0; i < books.length; ++i) {
        var fields = [];
        for (var c = 0; c < columns.length; ++c)
            fields.push(csvField(books[i][columns[c]]));
        out.writeString(fields.join(",") + "\n");
    }
    out.flush();
    return bytes;
}

// CSV text back to records, through a text stream reading the bytes.
function fromCsv(bytes) {
    var stream = new QTextStream(bytes);
    stream.setCodec(utf8);
    var header = parseCsvLine(stream.readLine()), books = [];
    while (!stream.atEnd()) {
        var line = stream.readLine();
        if (line == "")
            continue;
        var fields = parseCsvLine(line), book = {};
        for (var c = 0; c < header.length; ++c)
            book[header[c]] = fields[c];
        books.push(book);
    }
    return books;
}

// Records to XML, auto-formatted as the input is.
function toXml(root, books) {
    var xml = new QByteArray();
    var writer = new QXmlStreamWriter(xml);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(root);
    for (var i = 0; i < books.length; ++i) {
        writer.writeStartElement("book");
        writer.writeAttribute("id", books[i].id);
        writer.writeAttribute("year", books[i].year);
        writer.writeTextElement("title", books[i].title);
        writer.writeTextElement("author", books[i].author);
        writer.writeEndElement();
    }
    writer.writeEndDocument();
    return xml;
}

var path = args.length ? args[0] : here + "/data/library.xml";
var input = readAll(path);
var document = readBooks(input);
var csv = toCsv(document.books);
print(utf8.toUnicode(csv).replace(/\n$/, ""));
var output = toXml(document.root, fromCsv(csv));
if (output.equals(input)) {
    print("round trip: identical (" + input.size() + " bytes)");
} else {
    print("round trip: different");
    print(utf8.toUnicode(output));
}
