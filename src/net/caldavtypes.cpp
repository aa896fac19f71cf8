// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/caldavtypes.h"

#include <algorithm>

namespace {

CalDavError make(CalDavError::Kind kind, int status, const QString& message,
                 const QString& detail = {}) {
    CalDavError e;
    e.kind = kind;
    e.status = status;
    e.message = message;
    e.detail = detail;
    return e;
}

} // namespace

CalDavError CalDavError::network(const QString& detail) {
    return make(Kind::Network, 0,
                QStringLiteral("サーバーに接続できませんでした（%1）").arg(detail), detail);
}

CalDavError CalDavError::proxy(const QString& detail) {
    return make(Kind::Network, 0,
                QStringLiteral("プロキシサーバーを通してサーバーに接続できませんでした（%1）。"
                               "デスクトップのプロキシの設定を確かめてください")
                    .arg(detail),
                detail);
}

CalDavError CalDavError::timeout(int seconds) {
    return make(Kind::Network, 0,
                QStringLiteral("サーバーから %1 秒間応答がありませんでした").arg(seconds));
}

CalDavError CalDavError::cancelled() {
    return make(Kind::Network, 0, QStringLiteral("サーバーとの通信を中断しました"));
}

CalDavError CalDavError::auth() {
    return make(Kind::Auth, 401, QStringLiteral("ユーザー名かパスワードが違います"));
}

CalDavError CalDavError::tls(const QStringList& errors) {
    const QString text = errors.join(QStringLiteral("、"));
    return make(Kind::Tls, 0, QStringLiteral("証明書を確認できませんでした：%1").arg(text), text);
}

CalDavError CalDavError::http(int status, const QString& reason) {
    const QString code = (QString::number(status) + u' ' + reason).trimmed();
    QString message;
    if (status == 403)
        message = QStringLiteral("サーバーがこの操作を許可しませんでした（%1）");
    else if (status == 404 || status == 410)
        message = QStringLiteral("サーバーに見つかりませんでした（%1）");
    else if (status == 405 || status == 501)
        message = QStringLiteral("サーバーがこの操作を受け付けませんでした（%1）");
    else if (status == 507)
        message = QStringLiteral("サーバーの容量が足りません（%1）");
    else if (status >= 500)
        message = QStringLiteral("サーバーでエラーが起きました（%1）");
    else
        message = QStringLiteral("サーバーがエラーを返しました（%1）");
    return make(Kind::Http, status, message.arg(code), code);
}

CalDavError CalDavError::precondition(int status) {
    return make(Kind::PreconditionFailed, status,
                QStringLiteral("サーバー上の項目がほかで変更されていました"));
}

CalDavError CalDavError::invalidSyncToken(int status) {
    return make(Kind::InvalidSyncToken, status,
                QStringLiteral("サーバーが前回の同期の記録を受け付けませんでした"));
}

CalDavError CalDavError::malformed(const QString& detail) {
    return make(Kind::Malformed, 0,
                QStringLiteral("サーバーの応答を読み取れませんでした（%1）").arg(detail), detail);
}

CalDavError CalDavError::tooLarge(qint64 limit) {
    return make(Kind::Malformed, 0,
                QStringLiteral("サーバーの応答が大きすぎます（%1 MB を超えています）")
                    .arg(std::max<qint64>(1, limit >> 20)));
}

CalDavError CalDavError::tooManyRedirects(int status) {
    return make(Kind::Http, status,
                QStringLiteral("サーバーの転送が多すぎるか、転送先が正しくありません"));
}

int PutBatchResult::failed() const {
    return int(std::count_if(results.begin(), results.end(),
                             [](const PutResult& r) { return bool(r.error); }));
}
