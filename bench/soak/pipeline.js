// Pipes one process into another, for a while: data written to a temporary file, cat reading it
// into md5sum. Each pipeline's file and processes hang under one QObject, which is dropped once
// md5sum has answered (every third one goes with deleteLater). Two pipelines run at a time; the
// next pair starts on schedule. Prints how many sums md5sum got wrong (compared with
// QCryptographicHash) and a digest of all of them in order. Twin of pipeline.cpp.
//
//     ./run.sh bench/soak/pipeline.js -- <seconds>

var seconds = Number(args[0] || 60);
var roundsPerSecond = 4, perRound = 2;
var rounds = Math.max(1, Math.round(seconds * roundsPerSecond));

var latin1 = QTextCodec.codecForMib(4);
var digest = new QCryptographicHash(QCryptographicHash.Md5);
var pipelines = 0, wrong = 0, bytes = 0;
var loop = new QEventLoop();
var next = new QTimer();
next.singleShot = true;
var begun = Date.now(), round = 0;

// Some lines of text, from a few bytes to about 40 KB.
function data(n) {
    var text = new QByteArray();
    var lines = (n * 37) % 1000;
    for (var i = 0; i < lines; ++i)
        text.append("line " + i + " of input " + n + "\n");
    return text;
}

function runPipeline(n, done) {
    var owner = new QObject();
    var input = new QTemporaryFile(owner);
    var text = data(n);
    input.open();
    input.write(text);
    input.close();
    var from = new QProcess(owner), to = new QProcess(owner);
    from.setStandardOutputProcess(to);
    // Half read the file as their input, half by name.
    if (n % 2)
        from.setStandardInputFile(input.fileName());
    // The pipeline is over when both have finished: md5sum may answer before cat is reaped.
    var left = 2, answer, catCode;
    function finished() {
        if (--left)
            return;
        var expected = latin1.toUnicode(QCryptographicHash.hash(text, QCryptographicHash.Md5).toHex());
        if (catCode != 0 || answer != "0 " + expected)
            ++wrong;
        bytes += text.size();
        if (n % 3 == 0)
            owner.deleteLater();
        done(n + " " + catCode + " " + answer);
    }
    from["finished(int,QProcess::ExitStatus)"].connect(function(code) {
        catCode = code;
        finished();
    });
    to["finished(int,QProcess::ExitStatus)"].connect(function(code) {
        answer = code + " " + latin1.toUnicode(to.readAllStandardOutput()).split(" ")[0];
        finished();
    });
    to.start("md5sum", []);
    from.start("cat", n % 2 ? [] : [input.fileName()]);
}

function runRound(r) {
    var answers = [], left = perRound;
    for (var i = 0; i < perRound; ++i)
        (function(i) {
            runPipeline(r * perRound + i, function(answer) {
                answers[i] = answer;
                ++pipelines;
                if (--left == 0)
                    roundDone(answers);
            });
        })(i);
}

function roundDone(answers) {
    digest.addData(answers.join("|") + "\n");
    if (++round == rounds) {
        loop.exit(0);
        return;
    }
    var due = begun + round * 1000 / roundsPerSecond;
    next.start(Math.max(0, Math.round(due - Date.now())));
}

next.timeout.connect(function() { runRound(round); });
next.start(0);
loop.exec();

print("rounds " + rounds);
print("pipelines " + pipelines + ", bytes " + bytes + ", wrong sums " + wrong);
print("digest " + latin1.toUnicode(digest.result().toHex()));
