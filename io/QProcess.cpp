#include "io/QtScriptShell_QProcess.h"

#include "plugin/compat.h"
#include "plugin/enums.h"

static const char *const qtscript_QProcess_function_names[] = {
    "QProcess",
    // static
    "execute", "startDetached", "systemEnvironment",
    // prototype
    "closeReadChannel", "closeWriteChannel", "environment", "error", "exitCode", "exitStatus",
    "processChannelMode", "readAllStandardError", "readAllStandardOutput", "readChannel",
    "setEnvironment", "setProcessChannelMode", "setReadChannel", "setStandardErrorFile",
    "setStandardInputFile", "setStandardOutputFile", "setStandardOutputProcess",
    "setWorkingDirectory", "start", "state", "waitForFinished", "waitForStarted",
    "workingDirectory", "toString",
};

static const char *const qtscript_QProcess_function_signatures[] = {
    "QObject parent",
    // static
    "String program\nString program, List arguments",
    "String program\nString program, List arguments\n"
    "String program, List arguments, String workingDirectory, qint64 pid",
    "",
    // prototype
    "ProcessChannel channel", "", "", "", "", "", "", "", "", "", "List environment",
    "ProcessChannelMode mode", "ProcessChannel channel", "String fileName, OpenMode mode",
    "String fileName", "String fileName, OpenMode mode", "QProcess destination", "String dir",
    "String program, OpenMode mode\nString program, List arguments, OpenMode mode", "",
    "int msecs", "int msecs", "",
};

static const int qtscript_QProcess_function_lengths[] = {
    1,
    // static
    2, 4, 0,
    // prototype
    1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 2, 1, 2, 1, 1, 3, 0, 1, 1, 0, 0,
};

static constexpr kit::ClassTables qtscript_QProcess_tables =
    kit::tables("QProcess", qtscript_QProcess_function_names,
                qtscript_QProcess_function_signatures, qtscript_QProcess_function_lengths, 3);

static constexpr const char *qtscript_QProcess_ProcessError_keys[] = {
    "FailedToStart", "Crashed", "Timedout", "ReadError", "WriteError", "UnknownError",
};
static constexpr int qtscript_QProcess_ProcessError_values[] = {0, 1, 2, 3, 4, 5};
static constexpr kit::EnumInfo qtscript_QProcess_ProcessError = kit::enumeration<QProcess::ProcessError>(
    "QProcess", "ProcessError", qtscript_QProcess_ProcessError_keys,
    qtscript_QProcess_ProcessError_values, kit::KeyLookup::DirectIndex);

static constexpr const char *qtscript_QProcess_ProcessChannelMode_keys[] = {
    "SeparateChannels", "MergedChannels", "ForwardedChannels",
};
static constexpr int qtscript_QProcess_ProcessChannelMode_values[] = {0, 1, 2};
static constexpr kit::EnumInfo qtscript_QProcess_ProcessChannelMode =
    kit::enumeration<QProcess::ProcessChannelMode>(
        "QProcess", "ProcessChannelMode", qtscript_QProcess_ProcessChannelMode_keys,
        qtscript_QProcess_ProcessChannelMode_values, kit::KeyLookup::DirectIndex);

static constexpr const char *qtscript_QProcess_ProcessChannel_keys[] = {
    "StandardOutput", "StandardError",
};
static constexpr int qtscript_QProcess_ProcessChannel_values[] = {0, 1};
static constexpr kit::EnumInfo qtscript_QProcess_ProcessChannel =
    kit::enumeration<QProcess::ProcessChannel>(
        "QProcess", "ProcessChannel", qtscript_QProcess_ProcessChannel_keys,
        qtscript_QProcess_ProcessChannel_values, kit::KeyLookup::DirectIndex);

static constexpr const char *qtscript_QProcess_ProcessState_keys[] = {
    "NotRunning", "Starting", "Running",
};
static constexpr int qtscript_QProcess_ProcessState_values[] = {0, 1, 2};
static constexpr kit::EnumInfo qtscript_QProcess_ProcessState = kit::enumeration<QProcess::ProcessState>(
    "QProcess", "ProcessState", qtscript_QProcess_ProcessState_keys,
    qtscript_QProcess_ProcessState_values, kit::KeyLookup::DirectIndex);

static constexpr const char *qtscript_QProcess_ExitStatus_keys[] = {"NormalExit", "CrashExit"};
static constexpr int qtscript_QProcess_ExitStatus_values[] = {0, 1};
static constexpr kit::EnumInfo qtscript_QProcess_ExitStatus = kit::enumeration<QProcess::ExitStatus>(
    "QProcess", "ExitStatus", qtscript_QProcess_ExitStatus_keys,
    qtscript_QProcess_ExitStatus_values, kit::KeyLookup::DirectIndex);

using OpenMode = QIODevice::OpenMode;

static QScriptValue qtscript_QProcess_start(kit::Call &call, QProcess *self)
{
    QStringList arguments;
    OpenMode mode = QIODevice::ReadWrite;
    QString program;
    switch (call.argc) {
    case 1:
        program = compat::splitCommand(call.get<QString>(0), arguments);
        break;
    case 2:
        if (call.are<QString, OpenMode>()) {
            program = compat::splitCommand(call.get<QString>(0), arguments);
            mode = call.get<OpenMode>(1);
        } else if (call.are<QString, QStringList>()) {
            program = call.get<QString>(0);
            arguments = call.get<QStringList>(1);
        } else {
            return call.mismatch();
        }
        break;
    case 3:
        program = call.get<QString>(0);
        arguments = call.get<QStringList>(1);
        mode = call.get<OpenMode>(2);
        break;
    default:
        return call.mismatch();
    }
    self->start(program, arguments, mode);
    // Its pipes' and its death's notifiers call script code (readyRead, finished) from their
    // own events.
    kit::watchHelpers(self);
    kit::settle(self, call.context->thisObject());
    return call.ret();
}

static QScriptValue qtscript_QProcess_prototype_call(kit::Call &call, QProcess *&self)
{
    // Reads, closes, starts and waits, refused inside the device's own readData or writeData.
    if (const QScriptValue refused = kit::refuseInTransfer(call, self, {0, 1, 7, 8, 12, 18, 20, 21}); refused.isValid())
        return refused;
    switch (call.at()) {
    case kit::at(0, 1):
        self->closeReadChannel(call.get<QProcess::ProcessChannel>(0));
        return call.ret();
    case kit::at(1, 0):
        self->closeWriteChannel();
        return call.ret();
    case kit::at(2, 0):
        return call.ret(self->environment());
    case kit::at(3, 0):
        return call.ret(self->error());
    case kit::at(4, 0):
        return call.ret(self->exitCode());
    case kit::at(5, 0):
        return call.ret(self->exitStatus());
    case kit::at(6, 0):
        return call.ret(self->processChannelMode());
    case kit::at(7, 0):
        return call.ret(self->readAllStandardError());
    case kit::at(8, 0):
        return call.ret(self->readAllStandardOutput());
    case kit::at(9, 0):
        return call.ret(self->readChannel());
    case kit::at(10, 1):
        self->setEnvironment(call.get<QStringList>(0));
        return call.ret();
    case kit::at(11, 1):
        self->setProcessChannelMode(call.get<QProcess::ProcessChannelMode>(0));
        return call.ret();
    case kit::at(12, 1):
        self->setReadChannel(call.get<QProcess::ProcessChannel>(0));
        return call.ret();
    case kit::at(13, 1):
    case kit::at(13, 2):
        self->setStandardErrorFile(call.get<QString>(0), call.get<OpenMode>(1, QIODevice::Truncate));
        return call.ret();
    case kit::at(14, 1):
        self->setStandardInputFile(call.get<QString>(0));
        return call.ret();
    case kit::at(15, 1):
    case kit::at(15, 2):
        self->setStandardOutputFile(call.get<QString>(0), call.get<OpenMode>(1, QIODevice::Truncate));
        return call.ret();
    case kit::at(16, 1):
        // QtCore needs a real process here (Qt 5 crashes on null).
        if (QProcess *destination = call.get<QProcess *>(0)) {
            self->setStandardOutputProcess(destination);
            return call.ret();
        }
        break;
    case kit::at(17, 1):
        self->setWorkingDirectory(call.get<QString>(0));
        return call.ret();
    case kit::at(18, 1):
    case kit::at(18, 2):
    case kit::at(18, 3):
        return qtscript_QProcess_start(call, self);
    case kit::at(19, 0):
        return call.ret(self->state());
    case kit::at(20, 0):
    case kit::at(20, 1):
        return call.ret(self->waitForFinished(call.get<int>(0, 30000)));
    case kit::at(21, 0):
    case kit::at(21, 1):
        return call.ret(self->waitForStarted(call.get<int>(0, 30000)));
    case kit::at(22, 0):
        return call.ret(self->workingDirectory());
    }
    if (call.index == 23)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QProcess_static_call(kit::Call &call)
{
    QStringList arguments;
    switch (call.at()) {
    case kit::at(0, 0):
    case kit::at(0, 1):
        return call.wrapObject(new QtScriptShell_QProcess, call.argc ? call.get<QObject *>(0) : nullptr);
    case kit::at(1, 1): {
        const QString program = compat::splitCommand(call.get<QString>(0), arguments);
        return call.ret(QProcess::execute(program, arguments));
    }
    case kit::at(1, 2):
        return call.ret(QProcess::execute(call.get<QString>(0), call.get<QStringList>(1)));
    case kit::at(2, 1): {
        const QString program = compat::splitCommand(call.get<QString>(0), arguments);
        return call.ret(QProcess::startDetached(program, arguments));
    }
    case kit::at(2, 2):
        return call.ret(QProcess::startDetached(call.get<QString>(0), call.get<QStringList>(1)));
    case kit::at(2, 3):
    case kit::at(2, 4):
        // Scripts cannot make a "qint64*": the process id is never reported.
        return call.ret(QProcess::startDetached(call.get<QString>(0), call.get<QStringList>(1),
                                                call.get<QString>(2)));
    case kit::at(3, 0):
        return call.ret(QProcess::systemEnvironment());
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QProcess_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::objectClass<QProcess, qtscript_QProcess_tables, qtscript_QProcess_static_call,
                         qtscript_QProcess_prototype_call>(engine, qMetaTypeId<QIODevice *>());
    kit::addEnum<qtscript_QProcess_ProcessError>(engine, ctor);
    kit::addEnum<qtscript_QProcess_ProcessChannelMode>(engine, ctor);
    kit::addEnum<qtscript_QProcess_ProcessChannel>(engine, ctor);
    kit::addEnum<qtscript_QProcess_ProcessState>(engine, ctor);
    kit::addEnum<qtscript_QProcess_ExitStatus>(engine, ctor);
    return ctor;
}
