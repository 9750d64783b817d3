#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace dictora::cli {

// Thrown by a command for bad input; main prints the message on one line
// and exits with status 2.
struct UsageError {
    QString message;
};

// One sub-command of dictora-cli. A command file defines a static
// CommandRegistration; main.cpp looks commands up by name.
struct Command {
    QString name;
    QString synopsis; // one line for the help text
    std::function<int(const QStringList& args)> run;
};

const std::vector<Command>& commands();

struct CommandRegistration {
    explicit CommandRegistration(Command command);
};

// Prints to standard output / standard error in UTF-8.
void printOut(const QString& text);
void printError(const QString& text);
// Prints an object as one line of JSON on standard output.
void printJson(const QJsonObject& object);

// Takes "--name VALUE" out of args; returns the value, or fallback when absent.
// A flag without a following value is a UsageError.
QString takeOption(QStringList& args, const QString& name, const QString& fallback = {});
// Takes a bare "--name" out of args; true when it was there.
bool takeFlag(QStringList& args, const QString& name);

} // namespace dictora::cli
