// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

// Passwords of calendar servers, kept in the desktop's secret store (the Secret
// Service of the session, or the desktop's wallet) and nowhere else: never in a
// document, a sync state or the settings, and never in clear text when no secret store
// is there. An account is named by its server and user ("user@https://host/").
//
// The calls wait for the store's answer (a local event loop); the store may ask the
// user to unlock it meanwhile. Tests install a backend of their own.
class SecretStore {
public:
    struct Result {
        enum Code { Ok, NotFound, NoStore, Denied, Failed };
        Code code = Ok;
        QString secret; // the password read
        QString detail; // the store's own words, for a failure
        bool ok() const { return code == Ok; }
        // Why it failed, in Japanese ("パスワードを保管する場所がありません…").
        QString message() const;
    };

    class Backend {
    public:
        virtual ~Backend() = default;
        virtual Result read(const QString& account) = 0;
        virtual Result write(const QString& account, const QString& secret) = 0;
        virtual Result remove(const QString& account) = 0;
    };

    // The name an account is kept under.
    static QString account(const QString& server, const QString& user);

    static Result read(const QString& account);
    static Result write(const QString& account, const QString& secret);
    // Removing a password that is not kept is no failure.
    static Result remove(const QString& account);

    // nullptr: the desktop's store again.
    static void install(std::unique_ptr<Backend> backend);
};
