// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// One cell of a grid: its text and colours (saved to files) and the display settings
// that belong to the table's layout (never saved).
struct GridCell {
    QString text;
    quint32 fore = 0;     // text colour, 0 = not chosen
    quint32 back = 0;     // background colour, 0 = not chosen
    qint8 alignment = -1; // -1 = the column's default
    qint8 check = 0;      // 0 none, 1 ticked, 2 not ticked
    qint16 bar = -1;      // filled-bar percentage, -1 = none
    qint8 access = 0;     // GridModel::Access: whether the user may type into the cell
};

struct GridData {
    int rows = 0;
    int cols = 0;
    std::vector<GridCell> cells; // row-major, rows * cols
};

// What a file operation came to. `message(path)` is the Japanese text shown to the
// user (and printed by the command-line tool).
struct FileResult {
    enum Code {
        Ok,
        NotFound,
        Unreadable,
        TooLarge,
        NotAGridFile,
        NewerVersion,
        Damaged,
        NotADocument,
        NotATemplate,
        WriteFailed,
        Unsupported,
        NoSpace,         // the disk or the user's quota is full
        ProtectedTarget, // an export aimed at a DayLog file
    };
    Code code = Ok;
    QString detail; // the reason in words, for the message

    bool ok() const { return code == Ok; }
    static FileResult success() { return {}; }
    static FileResult failure(Code c, const QString& detail = {}) { return {c, detail}; }
    // "…を開けませんでした。" / "…を保存できませんでした。" with the reason.
    QString loadMessage(const QString& path) const;
    QString saveMessage(const QString& path) const;
    // "…に書き出せませんでした。" with the reason: an export's failure.
    QString exportMessage(const QString& path) const;
    QString reason() const;
};

namespace GridFile {

// Bounds every reader enforces before it allocates anything.
inline constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;
inline constexpr int MaxRows = 100000;
inline constexpr int MaxCols = 1000;
inline constexpr qint64 MaxCells = 1000000;
inline constexpr int Version = 1;

// The file image of a grid: a versioned UTF-8 text, one line per cell.
QByteArray serialize(int rows, int cols, const std::vector<GridCell>& cells);

// Parses a file image. `out` is written only when the whole image is valid.
FileResult parse(QByteArrayView bytes, GridData& out);

// Reads and parses a file; nothing is returned unless all of it is valid.
FileResult read(const QString& path, GridData& out);

// What the file system says of a path (following symbolic links): whether something
// is there, whether it is a regular file, its size and its time of last modification.
struct FileStamp {
    bool exists = false;
    bool regular = false;
    qint64 size = -1;
    qint64 modifiedMs = 0; // ms since the epoch
};
FileStamp stampOf(const QString& path);

// Reads a whole file of at most MaxFileBytes into `out` (written only on success),
// and its stamp as it was read. A path that is not a regular file (a folder, a named
// pipe, a device) is refused without being opened for reading.
FileResult readBytes(const QString& path, QByteArray& out, FileStamp* stamp = nullptr);

// The pieces of a file image, for writers that produce one straight from their own
// data: exact sizes, and writers into a buffer of that size (each returns the end of
// what it wrote).
namespace Image {
qsizetype headerBytes(int rows, int cols);
qsizetype textBytes(QStringView text); // UTF-8 with escapes
qsizetype cellBytes(quint32 fore, quint32 back, QStringView text);
inline constexpr qsizetype EndBytes = 4;
char* putHeader(char* out, int rows, int cols);
char* putCell(char* out, quint32 fore, quint32 back, QStringView text);
char* putEnd(char* out);
} // namespace Image

enum class Backup { Keep, None };
enum class Access {
    AsBefore,  // an existing file's permissions (and group); a new file's by the umask
    OwnerOnly, // readable and writable by the owner only (0600)
};
// Writes a file atomically: the content goes to a temporary file beside it, is flushed
// to disk, and is renamed over the file; the folder is flushed then. Unless `backup`
// says otherwise, the version replaced is kept as "<path>.bak", which is replaced in
// one step as well: at every moment both names hold a complete file. A symbolic link
// is followed: its target is replaced. Temporary files a killed save of the same file
// left behind are removed first. On failure the file and its backup are left as they
// were.
FileResult writeAtomically(const QString& path, const QByteArray& bytes,
                           Backup backup = Backup::Keep, Access access = Access::AsBefore);

QString backupPath(const QString& path);

// Every write of file data goes through `hook` when one is set (tests make a disk
// full with it): it returns what write(2) returns and sets errno the same way.
using WriteHook = qint64 (*)(int fd, const char* data, qint64 size);
void setWriteHook(WriteHook hook);
// `hook` is called before every call of a save that changes what is on disk (open,
// write, fchmod, fchown, fsync, link, rename, unlink), with the call's name: tests stop
// a save there to see what a crash at that moment leaves.
using CallHook = void (*)(const char* call);
void setCallHook(CallHook hook);

// The reason for a system error number (errno), in Japanese.
QString systemErrorText(int error);

} // namespace GridFile
