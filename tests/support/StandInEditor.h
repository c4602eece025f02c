#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QtTest>

// A stand-in for the editor the program starts: a script that writes each argument it
// receives, NUL-terminated, to a record file, then marks the record complete. It is started
// detached, so a test waits for the mark rather than for the process.
class StandInEditor {
public:
    static inline const QByteArray Recorder = R"(#!/bin/sh
for argument in "$@"; do printf '%s\0' "$argument"; done > "$VELLUMRY_RECORD.args"
printf '%s' "$#" > "$VELLUMRY_RECORD.count"
: > "$VELLUMRY_RECORD.done"
)";

    // Writes an executable program called `name` into `folder`; by default the recorder.
    static void install(const QString& folder, const QString& name = QStringLiteral("Notepad.exe"),
        const QByteArray& content = Recorder)
    {
        QFile file(folder + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup
            | QFile::ExeOther | QFile::ReadGroup | QFile::ReadOther));
    }

    // Puts the recorder, as the editor, alone on the search path in `work`/bin, and makes
    // `work` the current folder: were a shell to see a file name, "touch MARKER" would leave
    // a file there.
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
        QList<QByteArray> none {"<no record>"};
        [&] { QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record + QStringLiteral(".done")), 20000); }();
        if (QTest::currentTestFailed())
            return none;
        QFile args(record + QStringLiteral(".args"));
        if (!args.open(QIODevice::ReadOnly))
            return none;
        QList<QByteArray> arguments = args.readAll().split('\0');
        arguments.removeLast();
        return arguments;
    }

private:
    int m_launches {0};
};

// Keeps the search path and the current folder a test started with, so each test can
// change both and put them back afterwards.
class SavedSurroundings {
public:
    SavedSurroundings()
        : m_path(qgetenv("PATH"))
        , m_folder(QDir::currentPath())
    {
    }

    const QByteArray& path() const { return m_path; }

    void restore() const
    {
        QDir::setCurrent(m_folder);
        qputenv("PATH", m_path);
    }

private:
    QByteArray m_path;
    QString m_folder;
};
