// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include "core/import/text_import.h"

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

// Reads a text file for import and times its rows by aligning them with
// request.mediaPath (language: an espeak-ng voice, empty for the text's
// own). False with the learner's message when it cannot, or when a
// sentence was not found and `partial` does not allow leaving it out.
// Registered by the media part of the program; core-only builds have none.
using TextAligner =
    std::function<bool(const TextImportRequest& request, const QString& language, bool partial,
                       std::vector<SentenceRow>& rows, QString& message)>;
const TextAligner& textAligner();

struct TextAlignerRegistration {
    explicit TextAlignerRegistration(TextAligner aligner);
};

// The subtitle tracks of a film that `import VIDEO` reads: track -1 leaves
// the choice to the default rule (the target language as the sentence, a
// Chinese track as the prompt).
struct FilmTracksRequest {
    QString path;
    int track = -1;
    int secondTrack = -1;
    QString targetLanguage; // ISO 639-1, that of the Unit's sentences; empty for English
};

// Reads the rows of a film's subtitle tracks, each a copy of `blank`, and
// whether they were read from pictures by OCR; false with the learner's
// message when it cannot. Registered by the media part of the program;
// core-only builds have none.
using FilmRowsReader =
    std::function<bool(const FilmTracksRequest& request, const SentenceRow& blank,
                       std::vector<SentenceRow>& rows, bool& fromPictures, QString& message)>;
const FilmRowsReader& filmRowsReader();

struct FilmRowsReaderRegistration {
    explicit FilmRowsReaderRegistration(FilmRowsReader reader);
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
