#pragma once

#include <QtTest>

// A stand-in for the editor: a script that writes each argument, NUL-terminated, to a record
// file, then marks it complete. It runs detached, so a test waits for the mark, not the process.
class StandInEditor {
public:
    static inline const QByteArray Recorder = R"(#!/bin/sh
for argument in "$@"; do printf '%s\0' "$argument"; done > "$VELLUMRY_RECORD.args"
: > "$VELLUMRY_RECORD.done"
)";

    // Writes an executable program called `name` into `folder`; by default the recorder.
    static void install(const QString& folder, const QString& name = QStringLiteral("Notepad.exe"),
        const QByteArray& content = Recorder)
    {
        QFile file(folder + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
    }

    // Puts the recorder, as the editor, alone on the search path in `work`/bin, and makes `work`
    // the current folder: were a shell to see a name, "touch MARKER" would leave a file there.
    static void installAloneOnPath(const QString& work)
    {
        QVERIFY(QDir(work).mkpath(QStringLiteral("bin")));
        install(work + QStringLiteral("/bin"));
        qputenv("PATH", QFile::encodeName(work + QStringLiteral("/bin")));
        QVERIFY(QDir::setCurrent(work));
    }

    // Points the recorder at a fresh record in `folder` and returns its base name.
    QString nextRecord(const QString& folder)
    {
        QString record = folder + QStringLiteral("/record-") + QString::number(++m_launches);
        qputenv("VELLUMRY_RECORD", QFile::encodeName(record));
        return record;
    }

    // Waits for the record to be complete and returns the arguments it holds, as bytes.
    static QList<QByteArray> argumentsOf(const QString& record)
    {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record + QStringLiteral(".done")), 20000); }();
        QFile args(record + QStringLiteral(".args"));
        if (QTest::currentTestFailed() || !args.open(QIODevice::ReadOnly))
            return {"<no record>"};
        QList<QByteArray> arguments = args.readAll().split('\0');
        arguments.removeLast();
        return arguments;
    }

private:
    int m_launches {0};
};

// Keeps the search path and current folder a test started with, to put back after a test.
class SavedSurroundings {
public:
    const QByteArray& path() const { return m_path; }

    void restore() const
    {
        QDir::setCurrent(m_folder);
        qputenv("PATH", m_path);
    }

private:
    QByteArray m_path {qgetenv("PATH")};
    QString m_folder {QDir::currentPath()};
};
