// QProcess: programs started by name (/bin/sh), fed, read, waited for, killed; and the binding's
// overload choices. Only this file starts processes.

function str(ba) {
    var s = "";
    for (var i = 0; i < ba.size(); ++i) s += String.fromCharCode(ba.at(i) & 0xff);
    return s;
}
function sh(script) {
    var p = new QProcess();
    p.start("/bin/sh", ["-c", script]);
    ok(p.waitForStarted(), "started: " + script);
    return p;
}
var error = QProcess.prototype.error;   // the wrapper's error signal hides the method

test("class shape and argument checks", function() {
    eq(Object.getPrototypeOf(QProcess.prototype), QIODevice.prototype);
    throws(function() { QProcess(); }, "QProcess(): Did you forget to construct with 'new'?");
    throws(function() { new QProcess(1, 2); },
           "QProcess::QProcess(): could not find a function match; candidates are:\nQProcess(QObject parent)");
    eq(QProcess.Running, new QProcess.ProcessState(2));
    throws(function() { new QProcess.ProcessError(6); }, "ProcessError(): invalid enum value (6)");
    throws(function() { new QProcess.ExitStatus(-1); }, "ExitStatus(): invalid enum value (-1)");
    eq(new QProcess.ProcessState(), QProcess.NotRunning);
    throws(function() { QProcess.systemEnvironment(1); },
           "QProcess::systemEnvironment(): could not find a function match; candidates are:\nsystemEnvironment()");
    ok(QProcess.systemEnvironment().length > 0);
    throws(function() { QProcess.prototype.closeReadChannel.call(new QFile("x"), QProcess.StandardOutput); },
           "QProcess.closeReadChannel(): this object is not a QProcess", "TypeError");
    var p = new QProcess();
    var startCandidates = "QProcess::start(): could not find a function match; candidates are:\n" +
        "start(String program, OpenMode mode)\nstart(String program, List arguments, OpenMode mode)";
    throws(function() { p.start("/bin/true", QIODevice.ReadOnly); }, startCandidates);
    throws(function() { p.start("/bin/true", 1); }, startCandidates);
    throws(function() { p.setStandardOutputProcess(new QFile("x")); },
           "QProcess::setStandardOutputProcess(): could not find a function match; candidates are:\n" +
           "setStandardOutputProcess(QProcess destination)");
    throws(function() { p.setStandardOutputProcess(null); });
    p.setReadChannel(1);
    eq(p.readChannel(), QProcess.StandardOutput, "a plain number is no channel");
    p.setReadChannel(QProcess.StandardError);
    eq(p.readChannel(), QProcess.StandardError);
    p.setWorkingDirectory("somewhere");
    eq(p.workingDirectory(), "somewhere");
    p.setEnvironment(["A=1"]);
    eq(p.environment().join(), "A=1");
    eq(p.toString(3), "QProcess");
});

test("a process echoes its input and exits with a code", function() {
    var p = sh("cat; exit 3");
    eq(p.state(), QProcess.Running);
    eq(p.write("hello "), 6);
    p.write(new QByteArray("world"));
    p.closeWriteChannel();
    ok(p.waitForFinished());
    eq(p.exitCode(), 3);
    eq(p.exitStatus(), QProcess.NormalExit);
    eq(str(p.readAllStandardOutput()), "hello world");
    var e = sh("echo out; echo err >&2");
    ok(e.waitForFinished());
    eq(str(e.readAllStandardError()), "err\n");
    eq(str(e.readAll()), "out\n", "the device reads standard output");
});

test("command lines are split as QtCore splits them", function() {
    var p = new QProcess();
    p.start("/bin/sh -c \"exit 7\"");
    ok(p.waitForFinished());
    eq(p.exitCode(), 7);
    var q = new QProcess();
    q.start("/bin/sh -c \"echo mode\"", new QIODevice.OpenMode(QIODevice.ReadOnly));
    ok(q.waitForFinished());
    eq(str(q.readAll()), "mode\n");
    eq(QProcess.execute("/bin/sh -c \"exit 5\""), 5);
    eq(QProcess.execute("/bin/sh", ["-c", "exit 6"]), 6);
    eq(QProcess.execute(""), -2, "an empty command fails");
    eq(QProcess.startDetached(""), false);
    eq(QProcess.startDetached("/bin/sh", ["-c", "exit 0"], ".", 5), true, "no process id reported");
    var r = new QProcess();
    r.start("");
    eq(error.call(r), QProcess.FailedToStart);
});

test("a process that does not exist, one that is killed, one that is piped", function() {
    var missing = new QProcess();
    missing.start("./no-such-program", []);
    eq(missing.waitForStarted(), false);
    eq(error.call(missing), QProcess.FailedToStart);
    var s = sh("sleep 30");
    s.kill();
    ok(s.waitForFinished());
    eq(s.exitStatus(), QProcess.CrashExit);
    eq(error.call(s), QProcess.Crashed);
    var from = new QProcess(), to = new QProcess();
    from.setStandardOutputProcess(to);
    to.start("/bin/sh", ["-c", "tr a-z A-Z"]);
    from.start("/bin/sh", ["-c", "echo piped"]);
    ok(from.waitForFinished() && to.waitForFinished());
    eq(str(to.readAll()), "PIPED\n");
});

test("files as standard channels, in the scratch folder", function() {
    var p = new QProcess();
    p.setStandardOutputFile("out.txt");
    p.start("/bin/sh", ["-c", "echo first"]);
    ok(p.waitForFinished());
    var input = new QFile("in.txt");
    input.open(QIODevice.WriteOnly);
    input.write("input\n");
    input.close();
    var q = new QProcess();
    q.setStandardOutputFile("out.txt", new QIODevice.OpenMode(QIODevice.Append));
    q.setStandardInputFile("in.txt");
    q.setStandardErrorFile("err.txt");
    q.start("/bin/sh", ["-c", "cat; echo second; echo oops >&2"]);
    ok(q.waitForFinished());
    var f = new QFile("out.txt");
    f.open(QIODevice.ReadOnly);
    eq(str(f.readAll()), "first\ninput\nsecond\n");
    f.close();
    eq(new QFile("err.txt").size(), 5);
    ["in.txt", "out.txt", "err.txt"].forEach(function(n) { eq(QFile.remove(n), true, n); });
});

test("processes dropped while they run go on and report, as native ones do", function() {
    var codes = [];
    (function() {
        for (var i = 0; i < 4; ++i) {
            var p = new QProcess();
            p["finished(int,QProcess::ExitStatus)"].connect(function(code) { codes.push(code); });
            p.start("/bin/sh", ["-c", "sleep 0.3; exit " + i]);
        }
    })();
    for (var i = 0; i < 3; ++i) gc();
    ok(waitFor(function() { gc(); return codes.length == 4; }, 10000), "reported: " + codes);
    eq(codes.sort().join(), "0,1,2,3");
    // Those still sleeping at the engine's end are killed and reaped with it.
    (function() { for (var i = 0; i < 3; ++i) sh("sleep 30"); })();
});

test("a process deleted while it runs tells its handlers it crashed, as QtCore does", function() {
    // How it goes; what its finished handler does then; what its handlers hear (state or
    // status, and the process's own).
    var reported = "NotRunning NotRunning,CrashExit CrashExit";
    [["deleteLater", function(p) { p.deleteLater(); }, null, reported],
     ["its parent's deleteLater", function(p) { p.parent().deleteLater(); }, null, reported],
     // Started again from there, it is ended once more with no handler told.
     ["a handler starts it again", function(p) { p.deleteLater(); },
      function(p) { p.start("/bin/sh", ["-c", "sleep 60"]); }, reported + ",Starting Starting"],
     // Its parent's deletion waits until the process is gone.
     ["a handler deletes its parent", function(p) { p.deleteLater(); },
      function(p) {
          p.parent().deleteLater();
          QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);
      }, reported]
    ].forEach(function(c) {
        var heard = [], p = new QProcess(new QObject());
        p.stateChanged.connect(function(s) { heard.push(String(s) + " " + String(p.state())); });
        p["finished(int,QProcess::ExitStatus)"].connect(function(code, s) {
            heard.push(String(s) + " " + String(p.exitStatus()));
            if (c[2]) c[2](p);
        });
        p.start("/bin/sh", ["-c", "sleep 60"]);
        ok(p.waitForStarted(), c[0]);
        heard = [];
        c[1](p);
        QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);
        eq(heard.join(), c[3], c[0]);
    });
});

// A temporary file under each process shows whether the process went: its file goes with it. One
// more is run than counted: a stale copy of the last values made may keep it a while (the
// collector scans conservatively).
function runs(n, run) {
    var names = [];
    (function() {
        for (var i = 0; i <= n; ++i) {
            var p = new QProcess(), file = new QTemporaryFile(p);
            file.open();
            names.push(file.fileName());
            run(p);
        }
    })();
    names.pop();
    return names;
}
function collected(names) {
    for (var i = 0; i < 3; ++i) gc();
    return names.filter(function(name) { return !QFile.exists(name); }).length;
}

test("a process that ended inside a blocking call goes with the next collection, the loop still", function() {
    var finished = 0, count = function() { ++finished; };
    var ways = {
        waited: function(p) {
            p["finished(int,QProcess::ExitStatus)"].connect(count);
            p.start("true", []);
            p.waitForFinished();
        },
        "failed to start": function(p) { p.start("/nonexistent/program", []); p.waitForStarted(); },
        "killed, then waited": function(p) {
            p.start("sleep", ["10"]);
            p.waitForStarted();
            p.kill();
            p.waitForFinished();
        },
        closed: function(p) { p.start("sleep", ["10"]); p.waitForStarted(); p.close(); },
        "closed after the loop turned": function(p) {
            p.start("sleep", ["10"]);
            p.waitForStarted();
            waitFor(function() { return false; }, 2);
            p.close();
        },
    };
    for (var way in ways)
        eq(collected(runs(10, ways[way])), 10, way);
    eq(finished, 11, "each waited one reported");
    // One process run many times keeps none of QtCore's helpers of its runs.
    var p = new QProcess();
    for (var i = 0; i < 20; ++i) {
        p.start("true", []);
        p.waitForFinished();
    }
    ok(waitFor(function() { return p.children().length == 0; }), p.children().length + " left");
});

test("a dropped process goes once it finished, whatever its overrides and handlers do", function() {
    var reported = [], notices = 0;
    // Its event override swallows every event; its report collects garbage while QtCore still
    // reports; a filter of its own helper (a pipe's notifier) sees QtCore's deliveries to it.
    var swallowing = runs(3, function(p) {
        p.event = function(e) { return true; };
        p.start("true", []);
    });
    var collecting = runs(3, function(p) {
        p.stateChanged.connect(function(state) {
            if (state == QProcess.NotRunning)
                gc();
        });
        p["finished(int,QProcess::ExitStatus)"].connect(function(code) { reported.push(code); });
        p.start("/bin/sh", ["-c", "exit 3"]);
    });
    var filtered = runs(3, function(p) {
        p.start("/bin/sh", ["-c", "sleep 0.1; echo out"]);
        var f = new QObject();
        f.eventFilter = function(w, e) {
            if (e.type() == QEvent.SockAct)
                ++notices;
            return false;
        };
        p.children().forEach(function(helper) { helper.installEventFilter(f); });
    });
    ok(waitFor(function() { return reported.length == 4 && notices > 0; }, 10000),
       "reported: " + reported + ", notices: " + notices);
    eq(reported.join(), "3,3,3,3");
    ok(waitFor(function() {
        return collected(swallowing) == 3 && collected(collecting) == 3 && collected(filtered) == 3;
    }), "collected: " + [collected(swallowing), collected(collecting), collected(filtered)]);
});

finish();
