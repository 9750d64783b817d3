// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_command.h"
#include "cli/study_context.h"

#include "core/study/program_folder.h"
#include "core/study/program_folder_lock.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

namespace dictora::cli {

namespace {
std::vector<Command>& registry()
{
    static std::vector<Command> all;
    return all;
}

// Where printError writes: standard error, or a copy of it kept when the
// libraries' own output is sent away (see quietLibraries).
std::FILE* errorStream = stderr;

void writeLine(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}
} // namespace

TextAligner& alignerSlot()
{
    static TextAligner aligner;
    return aligner;
}

const TextAligner& textAligner()
{
    return alignerSlot();
}

TextAlignerRegistration::TextAlignerRegistration(TextAligner aligner)
{
    alignerSlot() = std::move(aligner);
}

FilmRowsReader& filmReaderSlot()
{
    static FilmRowsReader reader;
    return reader;
}

const FilmRowsReader& filmRowsReader()
{
    return filmReaderSlot();
}

FilmRowsReaderRegistration::FilmRowsReaderRegistration(FilmRowsReader reader)
{
    filmReaderSlot() = std::move(reader);
}

const std::vector<Command>& commands()
{
    return registry();
}

CommandRegistration::CommandRegistration(Command command)
{
    registry().push_back(std::move(command));
}

void printOut(const QString& text)
{
    writeLine(stdout, text);
}

void printError(const QString& text)
{
    writeLine(errorStream, text);
}

void printJson(const QJsonObject& object)
{
    writeLine(stdout, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

QString takeOption(QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return fallback;
    if (at + 1 >= args.size())
        throw UsageError{name + QStringLiteral(" needs a value")};
    const QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

bool takeFlag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

namespace {

// The options every command takes. They may stand before the command name as
// well as after it; those before are moved after it.
const QStringList kCommonValueOptions{QStringLiteral("--home"), QStringLiteral("--now")};
const QString kVerboseFlag = QStringLiteral("--verbose");

QStringList leadingCommonOptions(QStringList& args)
{
    QStringList taken;
    while (!args.isEmpty()) {
        if (args.first() == kVerboseFlag) {
            taken << args.takeFirst();
        } else if (kCommonValueOptions.contains(args.first())) {
            if (args.size() < 2)
                throw UsageError{args.first() + QStringLiteral(" needs a value")};
            taken << args.takeFirst();
            taken << args.takeFirst();
        } else {
            break;
        }
    }
    return taken;
}

// The libraries below the media and speech commands (ALSA, GStreamer) write
// their own notes to standard error, which would bury the one line a command
// prints. Unless --verbose is given, their output goes to /dev/null and the
// command's own messages to a copy of standard error.
void quietLibraries()
{
    const int ownCopy = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int nothing = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (ownCopy < 0 || nothing < 0)
        return;
    std::FILE* own = ::fdopen(ownCopy, "w");
    if (!own || ::dup2(nothing, STDERR_FILENO) < 0)
        return;
    ::close(nothing);
    errorStream = own;
}

// Commands that write into the program folder hold its lock while they run;
// reading commands never wait for it.
bool writesProgramFolder(const QString& name, const QStringList& args)
{
    static const QStringList writing{QStringLiteral("delete"), QStringLiteral("import"),
                                     QStringLiteral("new"),    QStringLiteral("notebook-add"),
                                     QStringLiteral("rename"), QStringLiteral("units")};
    return writing.contains(name) ||
           (name == QLatin1String("show") && args.contains(QStringLiteral("--save")));
}

// Long enough for another command's import of a large Unit to finish.
constexpr std::chrono::seconds kCommandWait{20};

// Takes the program folder's lock for a writing command; a failure is
// printed and ends the command with status 1.
bool lockProgramFolder(dictora::ProgramFolderLock& lock, const dictora::ProgramFolder& folder,
                       const QString& name)
{
    using dictora::ProgramFolderLock;
    QDir().mkpath(folder.path);
    const QString where = QDir::toNativeSeparators(folder.path);
    switch (lock.take(ProgramFolderLock::Holder::Command, name, kCommandWait)) {
    case ProgramFolderLock::Outcome::Taken:
        return true;
    case ProgramFolderLock::Outcome::HeldByProgram:
        printError(QStringLiteral("dictora-cli %1: Dictora is running with the program folder %2; "
                                  "close it first (commands that only read work while it runs)")
                       .arg(name, where));
        return false;
    case ProgramFolderLock::Outcome::HeldByCommand:
        printError(QStringLiteral("dictora-cli %1: another command (%2) is still writing in %3 "
                                  "after %4 seconds; nothing was changed, try again when it has "
                                  "finished")
                       .arg(name, lock.holderText(), where, QString::number(kCommandWait.count())));
        return false;
    case ProgramFolderLock::Outcome::Failed:
        printError(
            QStringLiteral("dictora-cli %1: %2").arg(name, lock.failureMessage(folder.path)));
        return false;
    }
    return false;
}

} // namespace

} // namespace dictora::cli

int main(int argc, char** argv)
{
    using namespace dictora::cli;
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QStringList common;
    try {
        common = leadingCommonOptions(args);
    } catch (const UsageError& error) {
        printError(QStringLiteral("dictora-cli: ") + error.message);
        return 2;
    }

    std::vector<Command> sorted = commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    if (args.isEmpty() || args.first() == "--help" || args.first() == "-h") {
        printOut(QStringLiteral("usage: dictora-cli [COMMON OPTIONS] COMMAND [ARGS]"));
        printOut(QStringLiteral("  common options, before or after the command: --home DIR, "
                                "--now YYYYmmddHHMMSS, --verbose (the libraries' own messages)"));
        for (const Command& command : sorted)
            printOut(QStringLiteral("  ") + command.synopsis);
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    const auto found = std::find_if(sorted.begin(), sorted.end(),
                                    [&](const Command& c) { return c.name == name; });
    if (found == sorted.end()) {
        printError(QStringLiteral("dictora-cli: unknown command '%1' (try --help)").arg(name));
        return 2;
    }
    args << common;
    if (!takeFlag(args, kVerboseFlag))
        quietLibraries();
    // The common options are taken by every command; those that work
    // without the program folder and the clock have no use for them (tracks
    // reads the Unit that --unit names).
    static const QStringList folderFree{QStringLiteral("align"),    QStringLiteral("decode"),
                                        QStringLiteral("loudness"), QStringLiteral("media-info"),
                                        QStringLiteral("play"),     QStringLiteral("record"),
                                        QStringLiteral("say"),      QStringLiteral("voices")};
    if (folderFree.contains(name)) {
        try {
            for (const QString& option : kCommonValueOptions)
                takeOption(args, option);
        } catch (const UsageError& error) {
            printError(QStringLiteral("dictora-cli %1: %2").arg(name, error.message));
            return 2;
        }
    }
    try {
        // Held until the command has returned.
        std::optional<dictora::ProgramFolderLock> lock;
        if (writesProgramFolder(name, args)) {
            QStringList peek = args;
            const dictora::ProgramFolder folder =
                programFolderFor(takeOption(peek, QStringLiteral("--home")));
            lock.emplace(folder);
            if (!lockProgramFolder(*lock, folder, name))
                return 1;
        }
        return found->run(args);
    } catch (const UsageError& error) {
        printError(QStringLiteral("dictora-cli %1: %2").arg(name, error.message));
        return 2;
    }
}
