#include "cli/cli_command.h"

#include <QCoreApplication>
#include <QJsonDocument>

#include <algorithm>
#include <cstdio>

namespace dictora::cli {

namespace {
std::vector<Command>& registry()
{
    static std::vector<Command> all;
    return all;
}

void writeLine(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
}
} // namespace

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
    writeLine(stderr, text);
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

} // namespace dictora::cli

int main(int argc, char** argv)
{
    using namespace dictora::cli;
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    std::vector<Command> sorted = commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    if (args.isEmpty() || args.first() == "--help" || args.first() == "-h") {
        printOut(QStringLiteral("usage: dictora-cli COMMAND [ARGS]  (common option: --home DIR)"));
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
    try {
        return found->run(args);
    } catch (const UsageError& error) {
        printError(QStringLiteral("dictora-cli %1: %2").arg(name, error.message));
        return 2;
    }
}
