// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What daylog-tool's commands share as a command-line program: its output streams
// (every write checked), its arguments (options, "--", "-"), standard input.

#include "core/grid/gridfile.h"
#include "core/store/documentlock.h"

#include <QDate>

#include <QHash>
#include <QString>
#include <QStringList>

class AppState;

namespace Cli {

inline constexpr int Success = 0;
inline constexpr int Failure = 1;
inline constexpr int UsageError = 2;

// Makes sure standard input, output and error are open before anything else is: a
// closed one gets /dev/null opened the wrong way round, so that every read or write
// there fails (and is reported) instead of reaching a file the tool opens later.
void guardStandardStreams();

// Text to standard output, as UTF-8. A write that fails is remembered for finish().
void out(const QString& text);
void outBytes(const QByteArray& bytes);
// "daylog-tool: <text>" and a line break to standard error.
void err(const QString& text);
// A write of the tool into the file at `path` that failed: the reason in Japanese.
QString writeMessage(const QString& path, const FileResult& r);
// A date as the commands take it, YYYY-MM-DD; invalid for any other form. What to
// write instead, for the usage message.
QDate parseIsoDate(const QString& text);
QString dateUsage();
// Reads the document at `path` into `app` (its current date today); false after the
// message why it could not be read.
bool loadStore(AppState& app, const QString& path);
// The document and date range of a command's "FILE FROM TO" (`args`, at least three):
// reads the document into `app` and gives the range's rows. 0, or the exit code after
// the message (a date of another form: the usage; FROM after TO: a failure).
int openRange(const QString& command, const QStringList& args, AppState& app, int& first,
              int& last);

// Takes `lock` on the document at `path` for a command that writes it. False, after a
// message naming who has it open, when a running program holds it: what the tool
// wrote would be overwritten by that program's next save. A lock that cannot be
// written (a read-only folder) is no refusal.
bool lockDocument(DocumentLock& lock, const QString& path);
// Flushes and closes standard output: `code`, or Failure after a message when anything
// written there did not arrive (a full disk, a closed output).
int finish(int code);

// The usage: all of it, or the part of one command (all of it when there is none of
// that name).
QString usageText(const QString& command = {});
// The usage to standard output, for --help: Success.
int help(const QString& command = {});
// `why` and the usage to standard error: UsageError.
int usage(const QString& why, const QString& command = {});

// A command's arguments split as a command-line program does: options (each of
// `valued` takes the next argument or "=VALUE" as its value, each of `flags` none),
// "--help" or "-h", and the rest in order. After "--" every argument is one of the
// rest, and "-" always is.
struct Arguments {
    QStringList rest;
    QHash<QString, QStringList> values;
    QStringList flags;
    bool help = false;
    bool has(const QString& flag) const { return flags.contains(flag); }
};
// False, after the usage message, for an unknown option or one without its value.
bool split(const QString& command, const QStringList& args, const QStringList& valued,
           const QStringList& flags, Arguments& out);

// "-": standard input or output, where a command reads or writes a file.
inline bool isStdio(const QString& path) {
    return path == QStringLiteral("-");
}
// A document's file name: never standard input or output. False, after the usage
// message, for "-".
bool documentName(const QString& command, const QString& path);

// Standard input to its end, at most GridFile::MaxFileBytes.
FileResult readStdin(QByteArray& out);

// A text on one line of the output: a backslash, TAB, LF and CR written as "\\", "\t",
// "\n" and "\r".
QString escaped(const QString& text);

} // namespace Cli
