// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/secretstore.h"

#include <QEventLoop>
#include <QUrl>

#include <qt6keychain/keychain.h>

using namespace Qt::StringLiterals;

namespace {

// The service name the passwords are filed under in the store.
const QString Service = u"DayLog"_s;

SecretStore::Result resultOf(const QKeychain::Job& job) {
    SecretStore::Result r;
    switch (job.error()) {
    case QKeychain::NoError:
        r.code = SecretStore::Result::Ok;
        break;
    case QKeychain::EntryNotFound:
        r.code = SecretStore::Result::NotFound;
        break;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
        r.code = SecretStore::Result::NoStore;
        break;
    case QKeychain::AccessDeniedByUser:
    case QKeychain::AccessDenied:
        r.code = SecretStore::Result::Denied;
        break;
    default:
        r.code = SecretStore::Result::Failed;
    }
    if (!r.ok())
        r.detail = job.errorString();
    return r;
}

// Starts a job and waits for its answer.
SecretStore::Result run(QKeychain::Job& job) {
    // Never the library's clear-text fallback in a settings file.
    job.setInsecureFallback(false);
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    return resultOf(job);
}

class DesktopStore : public SecretStore::Backend {
public:
    SecretStore::Result read(const QString& account) override {
        QKeychain::ReadPasswordJob job(Service);
        job.setKey(account);
        SecretStore::Result r = run(job);
        if (r.ok())
            r.secret = job.textData();
        return r;
    }
    SecretStore::Result write(const QString& account, const QString& secret) override {
        QKeychain::WritePasswordJob job(Service);
        job.setKey(account);
        job.setTextData(secret);
        return run(job);
    }
    SecretStore::Result remove(const QString& account) override {
        QKeychain::DeletePasswordJob job(Service);
        job.setKey(account);
        SecretStore::Result r = run(job);
        if (r.code == SecretStore::Result::NotFound)
            r = {};
        return r;
    }
};

std::unique_ptr<SecretStore::Backend>& backend() {
    static std::unique_ptr<SecretStore::Backend> b = std::make_unique<DesktopStore>();
    return b;
}

} // namespace

QString SecretStore::Result::message() const {
    switch (code) {
    case Ok:
        return {};
    case NotFound:
        return u"パスワードが保管されていません。"_s;
    case NoStore:
        return u"パスワードを保管する場所（デスクトップのキーリング）がありません。"
               u"パスワードは保管せずに、同期のたびに入力してください。"_s;
    case Denied:
        return u"パスワードの保管場所が使えませんでした（%1）。"_s.arg(detail);
    case Failed:
        break;
    }
    return u"パスワードを保管場所から読み書きできませんでした（%1）。"_s.arg(detail);
}

QString SecretStore::account(const QString& server, const QString& user) {
    const QUrl url = QUrl::fromUserInput(server);
    return user + u'@' +
           url.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery |
                        QUrl::RemoveFragment)
               .toString() +
           u'/';
}

SecretStore::Result SecretStore::read(const QString& account) {
    return backend()->read(account);
}

SecretStore::Result SecretStore::write(const QString& account, const QString& secret) {
    return backend()->write(account, secret);
}

SecretStore::Result SecretStore::remove(const QString& account) {
    return backend()->remove(account);
}

void SecretStore::install(std::unique_ptr<Backend> b) {
    backend() = b ? std::move(b) : std::make_unique<DesktopStore>();
}
