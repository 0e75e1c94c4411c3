// Assertions shared by the script tests. Each file groups its cases with test(name, fn) and
// ends with finish(), which throws when any case failed.
var __failed = 0, __passed = 0;

function fail(message) { throw new Error(message); }

function show(v) {
    if (typeof v == "string") return JSON.stringify(v);
    try { return String(v); } catch (e) { return "<" + typeof v + ">"; }
}

function eq(actual, expected, what) {
    if (actual !== expected)
        fail((what ? what + ": " : "") + "expected " + show(expected) + ", got " + show(actual));
}

function ok(value, what) {
    if (!value) fail(what || "expected a true value");
}

// Calls fn, which must throw an error whose message is `text` (and whose name is `kind`, when
// given: "Error", "TypeError", "RangeError").
function throws(fn, text, kind) {
    try {
        fn();
    } catch (e) {
        if (text !== undefined && e.message !== text)
            fail("expected the error " + show(text) + ", got " + show(e.message));
        if (kind !== undefined && e.name !== kind)
            fail("expected a " + kind + ", got a " + e.name + " (" + e.message + ")");
        return e;
    }
    fail("expected an error" + (text ? " " + show(text) : ""));
}

function test(name, fn) {
    try {
        fn();
        ++__passed;
    } catch (e) {
        ++__failed;
        print("FAIL " + name + ": " + e.message + (e.lineNumber ? " (line " + e.lineNumber + ")" : ""));
    }
}

// Runs an event loop until cond() holds or ms milliseconds pass; returns cond(). A running
// loop also performs deferred deletions (deleteLater).
function waitFor(cond, ms) {
    if (cond()) return true;
    var loop = new QEventLoop(), poll = new QTimer();
    var deadline = new Date().getTime() + (ms === undefined ? 5000 : ms);
    poll.timeout.connect(function() {
        if (cond() || new Date().getTime() >= deadline) loop.exit(0);
    });
    poll.start(2);
    loop.exec();
    poll.stop();
    return cond();
}

function finish() {
    print(__passed + " passed, " + __failed + " failed");
    if (__failed) throw new Error(__failed + " test(s) failed");
}
