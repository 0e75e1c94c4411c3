// Runs processes one after another without ever returning to the event loop: start and
// waitForFinished on a new process each time and on one kept process, a sleeper given until the
// round's time is up and then killed, and every third round a sleeper closed. Prints the sum of
// the exit codes and a digest of every round's codes and output. Twin of sync.cpp.
//
//     ./run.sh bench/soak/sync.js -- <seconds>

var seconds = Number(args[0] || 60);
var roundsPerSecond = 10;
var rounds = Math.max(1, Math.round(seconds * roundsPerSecond));

var latin1 = QTextCodec.codecForMib(4);
var digest = new QCryptographicHash(QCryptographicHash.Md5);
var exitCodes = 0, killed = 0, closed = 0;
var kept = new QProcess();
var begun = Date.now();

for (var round = 0; round < rounds; ++round) {
    var fresh = new QProcess();
    fresh.start("/bin/sh", ["-c", "exit " + round % 5]);
    fresh.waitForFinished();
    var line = "" + fresh.exitCode();

    kept.start("/bin/sh", ["-c", "echo " + round + "; exit " + round % 3]);
    kept.waitForFinished();
    line += " " + kept.exitCode() + " " + latin1.toUnicode(kept.readAllStandardOutput());
    exitCodes += fresh.exitCode() + kept.exitCode();

    // The sleeper keeps the schedule: it gets what is left of the round, then it is killed.
    var sleeper = new QProcess();
    sleeper.start("sleep", ["10"]);
    sleeper.waitForStarted();
    var due = begun + (round + 1) * 1000 / roundsPerSecond;
    if (!sleeper.waitForFinished(Math.max(0, Math.round(due - Date.now())))) {
        sleeper.kill();
        sleeper.waitForFinished();
    }
    var crashed = sleeper.exitStatus() == QProcess.CrashExit;
    if (crashed)
        ++killed;
    line += crashed ? " killed" : " exited";

    if (round % 3 == 0) {
        var closing = new QProcess();
        closing.start("sleep", ["10"]);
        closing.waitForStarted();
        closing.close();
        var stopped = closing.state() == QProcess.NotRunning;
        if (stopped)
            ++closed;
        line += stopped ? " closed" : " still running";
    }
    digest.addData(line + "\n");
}

print("rounds " + rounds);
print("exit codes " + exitCodes + ", killed " + killed + ", closed " + closed);
print("digest " + latin1.toUnicode(digest.result().toHex()));
