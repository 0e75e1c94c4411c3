// Runs short child processes in batches, for a while. A batch's processes and their input files
// hang under one QObject, each process with a watchdog timer of its own; when the last process of
// a batch has finished, the batch is let go (every other one with deleteLater, the rest dropped)
// and the next batch starts on schedule. Prints a digest of every exit code and output, in batch
// and process order. Twin of runner.cpp.
//
//     ./run.sh bench/soak/runner.js -- <seconds>

var seconds = Number(args[0] || 60);
var batchesPerSecond = 4, perBatch = 6;
var batches = Math.max(1, Math.round(seconds * batchesPerSecond));

var latin1 = QTextCodec.codecForMib(4);
var digest = new QCryptographicHash(QCryptographicHash.Md5);
var processes = 0, exitCodes = 0, crashes = 0;
var loop = new QEventLoop();
var next = new QTimer();
next.singleShot = true;
var begun = Date.now(), batch = 0;

// Three kinds of child: a shell that reads its number from the input file, true, and printf.
function command(n) {
    switch (n % 3) {
    case 0: return ["/bin/sh", ["-c", "read n; echo $((n * 2)); exit $((n % 7))"]];
    case 1: return ["true", []];
    default: return ["printf", ["run %s\n", String(n)]];
    }
}

function runBatch(b) {
    var owner = new QObject();
    var results = [], left = perBatch;
    for (var i = 0; i < perBatch; ++i)
        (function(i) {
            var n = b * perBatch + i;
            var input = new QTemporaryFile(owner);
            input.open();
            input.write(n + "\n");
            input.close();
            var process = new QProcess(owner);
            var watchdog = new QTimer(process);
            watchdog.singleShot = true;
            watchdog.timeout.connect(function() { process.kill(); });
            process["finished(int,QProcess::ExitStatus)"].connect(function(code, status) {
                watchdog.stop();
                var crashed = status == QProcess.CrashExit;
                results[i] = n + " " + code + " " + (crashed ? "crash" : "exit") + " " +
                             latin1.toUnicode(process.readAllStandardOutput());
                ++processes;
                exitCodes += code;
                if (crashed)
                    ++crashes;
                if (--left == 0)
                    batchDone(b, owner, results);
            });
            process.setStandardInputFile(input.fileName());
            var c = command(n);
            process.start(c[0], c[1]);
            watchdog.start(10000);
        })(i);
}

function batchDone(b, owner, results) {
    digest.addData(results.join("|") + "\n");
    if (b % 2)
        owner.deleteLater();
    if (++batch == batches) {
        loop.exit(0);
        return;
    }
    var due = begun + batch * 1000 / batchesPerSecond;
    next.start(Math.max(0, Math.round(due - Date.now())));
}

next.timeout.connect(function() { runBatch(batch); });
next.start(0);
loop.exec();

print("batches " + batches);
print("processes " + processes);
print("exit codes " + exitCodes + ", crashes " + crashes);
print("digest " + latin1.toUnicode(digest.result().toHex()));
