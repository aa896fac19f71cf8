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
    };
    Code code = Ok;
    QString detail; // the reason in words, for the message

    bool ok() const { return code == Ok; }
    static FileResult success() { return {}; }
    static FileResult failure(Code c, const QString& detail = {}) { return {c, detail}; }
    // "…を開けませんでした。" / "…を保存できませんでした。" with the reason.
    QString loadMessage(const QString& path) const;
    QString saveMessage(const QString& path) const;
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

enum class Backup { Keep, None };
// Writes a file atomically (temporary file, then rename); the previous version of an
// existing file is kept beside it as "<path>.bak" unless `backup` says otherwise. On
// failure the file on disk is left as it was.
FileResult writeAtomically(const QString& path, const QByteArray& bytes,
                           Backup backup = Backup::Keep);

QString backupPath(const QString& path);

} // namespace GridFile
