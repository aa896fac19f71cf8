// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

// Plain-text clipboard access goes through here, so tests can script it.
class Clipboard {
public:
    class Backend {
    public:
        virtual ~Backend() = default;
        virtual bool hasText() const = 0;
        virtual QString text() const = 0;
        virtual void clear() = 0;
        virtual void setText(const QString& text) = 0;
    };

    static bool hasText() { return backend().hasText(); }
    static QString text() { return backend().text(); }
    static void clear() { backend().clear(); }
    static void setText(const QString& text) { backend().setText(text); }

    static void install(std::unique_ptr<Backend> backend);

private:
    static Backend& backend();
};
