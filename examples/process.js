// Runs a program with arguments and input, collects its output, error output and exit code, and
// gives up after a time limit (QProcess, QEventLoop, a single-shot QTimer).
//
//     ./run.sh examples/process.js -- <program> [arguments...]
//
// With no program it runs a small shell script that upper-cases its input, writes to its error
// output and exits with 3. Its input is the text "hello\nworld\n".

var latin1 = QTextCodec.codecForMib(4);
var limitMs = 10000;

function run(program, arguments, input) {
    var process = new QProcess();
    var output = new QByteArray(), errors = new QByteArray();
    var loop = new QEventLoop(), timedOut = false;

    process.readyReadStandardOutput.connect(function() { output.append(process.readAllStandardOutput()); });
    process.readyReadStandardError.connect(function() { errors.append(process.readAllStandardError()); });
    process["finished(int,QProcess::ExitStatus)"].connect(function() { loop.exit(0); });
    // A program that cannot start never finishes.
    process["error(QProcess::ProcessError)"].connect(function(e) {
        if (e == QProcess.FailedToStart) loop.exit(1);
    });
    var limit = new QTimer();
    limit.singleShot = true;
    limit.timeout.connect(function() { timedOut = true; process.kill(); });

    process.start(program, arguments);
    if (input !== undefined) {
        process.write(new QByteArray(input));
        process.closeWriteChannel();
    }
    limit.start(limitMs);
    var failed = loop.exec();
    limit.stop();
    if (failed)
        return { started: false, error: process.errorString() };
    output.append(process.readAllStandardOutput());
    errors.append(process.readAllStandardError());
    return {
        started: true,
        timedOut: timedOut,
        crashed: process.exitStatus() == QProcess.CrashExit,
        exitCode: process.exitCode(),
        output: latin1.toUnicode(output),
        errors: latin1.toUnicode(errors),
    };
}

var program = args.length ? args[0] : "/bin/sh";
var programArguments = args.length ? args.slice(1)
                                   : ["-c", "tr a-z A-Z; echo 'to stderr' >&2; exit 3"];
var result = run(program, programArguments, args.length ? undefined : "hello\nworld\n");
if (!result.started) {
    print("could not start " + program + ": " + result.error);
} else {
    print("output:");
    print(result.output.replace(/\n$/, ""));
    print("error output:");
    print(result.errors.replace(/\n$/, ""));
    print(result.timedOut ? "killed after " + limitMs + " ms"
                          : result.crashed ? "crashed" : "exit code " + result.exitCode);
}
