#pragma once

#include <QList>
#include <QString>

#include <memory>

class QWidget;

// The program's manual, an HTML file beside the program, shown in the program's own
// help window.
class Help {
public:
    class Backend {
    public:
        virtual ~Backend() = default;
        // Shows the help file; false (with `error` set) when it cannot be shown.
        virtual bool show(QWidget* parent, const QString& path, QString* error) = 0;
        virtual void closeAll() = 0;
    };
    static bool show(QWidget* parent, const QString& path, QString* error = nullptr);
    static void closeAll();
    // The help file: daylogHelp.html in the program's folder.
    static QString helpPath();
    static void install(std::unique_ptr<Backend> backend);
};

class ScriptedHelp : public Help::Backend {
public:
    bool show(QWidget*, const QString& path, QString*) override {
        shown.append(path);
        return true;
    }
    void closeAll() override { ++closed; }
    QList<QString> shown;
    int closed = 0;
};
