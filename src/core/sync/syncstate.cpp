// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/syncstate.h"

#include "core/grid/gridfile.h"
#include "core/store/yearstore.h"
#include "core/time/dates.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

constexpr char16_t Format[] = u"DayLogSync";

// The names of the store columns a piece can be in.
QString columnName(int col) {
    using namespace StoreCol;
    if (col == Events)
        return u"events"_s;
    if (col == Record)
        return u"record"_s;
    if (col == ToDo)
        return u"todo"_s;
    if (col >= SlotItem1 && col < SlotItem1 + 7)
        return u"title%1"_s.arg(col - SlotItem1 + 1);
    if (col >= SlotText1 && col < SlotText1 + 7)
        return u"content%1"_s.arg(col - SlotText1 + 1);
    return {};
}

int columnOf(const QString& name) {
    using namespace StoreCol;
    if (name == u"events")
        return Events;
    if (name == u"record")
        return Record;
    if (name == u"todo")
        return ToDo;
    for (int i = 0; i < 7; ++i) {
        if (name == u"title%1"_s.arg(i + 1))
            return SlotItem1 + i;
        if (name == u"content%1"_s.arg(i + 1))
            return SlotText1 + i;
    }
    return -1;
}

bool fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

} // namespace

QByteArray SyncState::toJson(int baseYear) const {
    QJsonArray list;
    for (const auto& [uid, item] : items) {
        QJsonObject o{{u"uid"_s, uid},
                      {u"href"_s, item.href},
                      {u"etag"_s, QString::fromUtf8(item.etag)},
                      {u"hash"_s, QString::fromLatin1(item.hash)}};
        if (item.pending)
            o.insert(u"pending"_s, true);
        if (item.foreign) {
            QJsonArray placed;
            for (const SyncPiece& p : item.placed)
                placed.append(QJsonObject{
                    {u"date"_s, Dates::dateOfRow(p.row, baseYear).toString(Qt::ISODate)},
                    {u"column"_s, columnName(p.col)},
                    {u"text"_s, p.text}});
            o.insert(u"foreign"_s, true);
            o.insert(u"placed"_s, placed);
        }
        list.append(o);
    }
    QJsonObject linkObject{
        {u"server"_s, link.server}, {u"user"_s, link.user}, {u"collection"_s, link.collection}};
    if (link.made)
        linkObject.insert(u"made"_s, true);
    const QJsonObject root{{u"format"_s, QString::fromUtf16(Format)},
                           {u"version"_s, Version},
                           {u"document"_s, documentId.toString(QUuid::WithoutBraces)},
                           {u"year"_s, baseYear},
                           {u"link"_s, linkObject},
                           {u"syncToken"_s, syncToken},
                           {u"items"_s, list}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool SyncState::fromJson(QByteArrayView bytes, int baseYear, SyncState& out, QString* error) {
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes.toByteArray(), &parse);
    const QJsonObject root = doc.object();
    if (parse.error != QJsonParseError::NoError ||
        root.value(u"format"_s).toString() != QStringView(Format))
        return fail(error, u"同期の記録ではないか、壊れています。"_s);
    if (root.value(u"version"_s).toInt() > Version)
        return fail(error, u"新しい版の DayLog が書いた同期の記録です。"_s);
    if (root.value(u"version"_s).toInt() < 1 || root.value(u"year"_s).toInt() != baseYear)
        return fail(error, u"同期の記録が壊れています（版か年度が違います）。"_s);
    SyncState s;
    s.documentId = QUuid::fromString(root.value(u"document"_s).toString());
    const QJsonObject link = root.value(u"link"_s).toObject();
    s.link = {link.value(u"server"_s).toString(), link.value(u"user"_s).toString(),
              link.value(u"collection"_s).toString(), link.value(u"made"_s).toBool()};
    s.syncToken = root.value(u"syncToken"_s).toString();
    const int lastRow = YearStore::DayRows;
    for (const QJsonValue v : root.value(u"items"_s).toArray()) {
        const QJsonObject o = v.toObject();
        SyncItem item;
        item.uid = o.value(u"uid"_s).toString();
        item.href = o.value(u"href"_s).toString();
        item.etag = o.value(u"etag"_s).toString().toUtf8();
        item.hash = o.value(u"hash"_s).toString().toLatin1();
        item.pending = o.value(u"pending"_s).toBool();
        item.foreign = o.value(u"foreign"_s).toBool();
        for (const QJsonValue pv : o.value(u"placed"_s).toArray()) {
            const QJsonObject p = pv.toObject();
            const QDate day = QDate::fromString(p.value(u"date"_s).toString(), Qt::ISODate);
            const int row = day.isValid() ? Dates::rowOfDate(day, baseYear) : 0;
            const int col = columnOf(p.value(u"column"_s).toString());
            if (row < 1 || row > lastRow || col < 0)
                return fail(error,
                            u"同期の記録が壊れています（項目「%1」の置き場所）。"_s.arg(item.uid));
            item.placed.push_back({row, col, p.value(u"text"_s).toString()});
        }
        if (item.uid.isEmpty() || item.href.isEmpty() || s.items.count(item.uid))
            return fail(error, u"同期の記録が壊れています（項目の名前）。"_s);
        s.items.emplace(item.uid, std::move(item));
    }
    if (s.documentId.isNull())
        return fail(error, u"同期の記録が壊れています（文書の識別子がありません）。"_s);
    out = std::move(s);
    return true;
}

QString Sync_StatePath(const QString& documentPath) {
    return documentPath + u".sync"_s;
}

bool Sync_ReadState(const QString& documentPath, const YearStore& store, int baseYear,
                    SyncState& out, QString* error) {
    const QString path = Sync_StatePath(documentPath);
    QFile file(path);
    if (!file.exists()) {
        out = SyncState{};
        out.documentId = store.documentId();
        return true;
    }
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, u"同期の記録 %1 を読めません: %2"_s.arg(path, file.errorString()));
    SyncState s;
    QString why;
    if (!SyncState::fromJson(file.readAll(), baseYear, s, &why))
        return fail(error, u"同期の記録 %1 を読めません: %2"_s.arg(path, why));
    if (s.documentId != store.documentId())
        return fail(
            error,
            u"同期の記録 %1 はほかの文書のものです。この文書の同期には使えません。"_s.arg(path));
    out = std::move(s);
    return true;
}

bool Sync_WriteState(const QString& documentPath, const SyncState& state, int baseYear,
                     QString* error) {
    const QString path = Sync_StatePath(documentPath);
    const FileResult r = GridFile::writeAtomically(
        path, state.toJson(baseYear), GridFile::Backup::None, GridFile::Access::OwnerOnly);
    if (!r.ok())
        return fail(error, r.saveMessage(path));
    return true;
}

QString Sync_NewCalendarPath(const QUuid& documentId, int baseYear) {
    return u"daylog-%1-%2"_s.arg(baseYear).arg(documentId.toString(QUuid::Id128).left(8));
}

QString Sync_NewCalendarName(int baseYear) {
    return u"%1年度"_s.arg(baseYear);
}
