// QTextBoundaryFinder: Qt 4.4's types and reasons on Qt 5, and finders as values.

var F = QTextBoundaryFinder;

test("word boundaries and their reasons", function() {
    var f = new F(F.Word, "foo bar");
    ok(f.type() === F.Word);
    ok(f.isValid());
    eq(f.position(), 0);
    eq(f.isAtBoundary(), true);
    eq(f.boundaryReasons().toString(), "NotAtBoundary,StartWord");
    eq(f.toNextBoundary(), 3);
    eq(f.boundaryReasons().valueOf(), F.EndWord.valueOf());
    eq(f.toNextBoundary(), 4);
    eq(f.toNextBoundary(), 7);
    eq(f.toPreviousBoundary(), 4);
    f.setPosition(1);
    eq(f.isAtBoundary(), false);
    eq(f.boundaryReasons().toString(), "NotAtBoundary");
    f.toEnd();
    eq(f.position(), 7);
    f.toStart();
    eq(f.position(), 0);
    eq(f.string(), "foo bar");
});

test("Line and Sentence keep their Qt 4.4 values", function() {
    eq(F.Line.valueOf(), 2);
    eq(F.Sentence.valueOf(), 3);
    ok(F.BoundaryType(3) === F.Sentence);
    var line = new F(F.Line, "One two. Three.");
    ok(line.type() === F.Line);
    eq(line.toNextBoundary(), 4, "a line may break after a space");
    var sentence = new F(F.Sentence, "One two. Three.");
    ok(sentence.type() === F.Sentence);
    eq(sentence.toNextBoundary(), 9);
});

test("a plain number is no type", function() {
    var f = new F(1, "ab");
    ok(f.type() === F.Grapheme);
    eq(f.toNextBoundary(), 1);
});

test("default finders start at 0", function() {
    var f = new F();
    eq(f.position(), 0);
    eq(f.isValid(), false);
    eq(f.string(), "");
    var g = new F("not a finder");
    eq(g.position(), 0);
    eq(g.string(), "");
    ok(g.type() === F.Grapheme);
    eq(g.toNextBoundary(), -1);
});

test("copies move on their own", function() {
    var a = new F(F.Word, "foo bar");
    a.toNextBoundary();
    var b = new F(a);
    eq(b.position(), 3);
    b.toNextBoundary();
    eq(b.position(), 4);
    eq(a.position(), 3);
    a.toEnd();
    eq(b.position(), 4);
    eq(b.string(), "foo bar");
});

test("enumeration and flags classes", function() {
    throws(function() { F.BoundaryType(4); }, "BoundaryType(): invalid enum value (4)");
    throws(function() { F.BoundaryType(-1); }, "BoundaryType(): invalid enum value (-1)");
    throws(function() { F.BoundaryReason(3); }, "BoundaryReason(): invalid enum value (3)");
    eq(F.BoundaryReasons(F.StartWord, F.EndWord).valueOf(), 3);
    eq(F.BoundaryReasons(F.StartWord, F.EndWord).toString(), "NotAtBoundary,StartWord,EndWord");
    eq(F.BoundaryReasons(2).valueOf(), 2);
    throws(function() { F.BoundaryReasons(F.StartWord, 2); },
           "BoundaryReasons(): argument 1 is not of type BoundaryReason", "TypeError");
    eq(F.BoundaryReasons().valueOf(), 0);
    eq(F.BoundaryReasons().toString(), "NotAtBoundary");
    eq(F.BoundaryReasons(1).equals(F.BoundaryReasons(F.StartWord)), true);
    eq(F.BoundaryReasons(1).equals(F.StartWord), false);
});

test("errors and toString", function() {
    var f = new F(F.Word, "x");
    eq(f.toString(1, 2, 3), "QTextBoundaryFinder");
    throws(function() { new F(F.Word, "x", 1); },
           "QTextBoundaryFinder::QTextBoundaryFinder(): could not find a function match; candidates are:\n" +
           "QTextBoundaryFinder()\nQTextBoundaryFinder(BoundaryType type, String string)\n" +
           "QTextBoundaryFinder(QTextBoundaryFinder other)");
    throws(function() { f.setPosition(); },
           "QTextBoundaryFinder::setPosition(): could not find a function match; candidates are:\n" +
           "setPosition(int position)");
    throws(function() { f.position.call(QTextCodec.codecForMib(106)); },
           "QTextBoundaryFinder.position(): this object is not a QTextBoundaryFinder", "TypeError");
    throws(function() { F(); }, "QTextBoundaryFinder(): Did you forget to construct with 'new'?");
});

finish();
