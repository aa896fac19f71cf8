// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the grid file reader.
//
// Any input: parse must either refuse it, leaving its output untouched, or accept it;
// an accepted grid must save to an image that loads back to the very same cells and
// saves again to the very same bytes, and the year-document check must cope with it.
// An input the reader refuses is also taken as cell texts to save and load back:
// whatever the program can save, it must load unchanged. The document reader must
// refuse what is not a year document without touching its store, and what it reads
// must be written back as a document it reads again.

#include "core/grid/gridfile.h"
#include "core/store/documentfile.h"
#include "core/store/yearstore.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, int index = -1) {
    std::fprintf(stderr, "fuzz_gridfile: %s (cell %d)\n", what, index);
    std::abort();
}

void checkSameCells(const GridData& a, const GridData& b) {
    if (a.rows != b.rows || a.cols != b.cols || a.cells.size() != b.cells.size())
        fail("the size changed through save and load");
    for (size_t i = 0; i < a.cells.size(); ++i) {
        const GridCell& x = a.cells[i];
        const GridCell& y = b.cells[i];
        if (x.text != y.text)
            fail("a text changed through save and load", int(i));
        if (x.fore != y.fore || x.back != y.back)
            fail("a colour changed through save and load", int(i));
    }
}

// Saves `data`, loads the image back and compares; the second image must equal the
// first.
void checkRoundTrip(const GridData& data) {
    const QByteArray image = GridFile::serialize(data.rows, data.cols, data.cells);
    GridData again;
    const FileResult r = GridFile::parse(image, again);
    if (!r.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(r.reason()));
        fail("a saved image does not load");
    }
    checkSameCells(data, again);
    if (GridFile::serialize(again.rows, again.cols, again.cells) != image)
        fail("saving the loaded image gives other bytes");
}

// The input as one row of cells: texts split at 0xFF bytes (never part of UTF-8),
// each decoded from UTF-8 with the replacement character for malformed bytes, so
// every text is one the program could hold.
GridData cellsFromBytes(QByteArrayView bytes) {
    GridData data;
    data.rows = 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != char(0xFF))
            continue;
        GridCell cell;
        cell.text = QString::fromUtf8(bytes.sliced(start, i - start));
        cell.fore = quint32(i) * 2654435761u;
        cell.back = quint32(data.cells.size());
        data.cells.push_back(std::move(cell));
        start = i + 1;
        if (data.cells.size() == size_t(GridFile::MaxCols))
            break;
    }
    data.cols = int(data.cells.size());
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    GridData parsed;
    const FileResult r = GridFile::parse(bytes, parsed);
    if (!r.ok()) {
        if (parsed.rows != 0 || parsed.cols != 0 || !parsed.cells.empty())
            fail("a refused image changed the output");
        if (r.reason().isEmpty())
            fail("a refusal without a reason");
        checkRoundTrip(cellsFromBytes(bytes));
        return 0;
    }
    if (parsed.rows < 0 || parsed.cols < 0 ||
        parsed.cells.size() != size_t(parsed.rows) * size_t(parsed.cols))
        fail("the cell count does not match the size");
    checkRoundTrip(parsed);
    const FileResult shape = DocFiles::checkDocumentShape(parsed);
    if (!shape.ok() && shape.code != FileResult::NotADocument)
        fail("the document check failed with an unexpected code");
    YearStore store;
    store.set(368, 53, QStringLiteral("untouched"));
    const FileResult document = DocFiles::parseDocument(bytes, store);
    if (!document.ok()) {
        if (document.reason().isEmpty() || store.text(368, 53) != QStringLiteral("untouched"))
            fail("a refused document without a reason, or with its store changed");
        return 0;
    }
    if (!shape.ok())
        fail("a document the shape check refuses was read");
    YearStore again;
    if (!DocFiles::parseDocument(DocFiles::documentImage(store, parsed.cols), again).ok())
        fail("a document read and written again does not read");
    return 0;
}
