#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

// A temporary folder of notes for a test, made the way a user's folder would be.
class NoteFolder {
public:
    NoteFolder() { QVERIFY(m_dir.isValid()); }

    QString path() const { return QDir(m_dir.path()).canonicalPath(); }

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path() + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // Notes named note01.txt .. noteNN.txt whose first line names them.
    void writeNumbered(int count, const QString& stem = QStringLiteral("note")) const
    {
        for (int i = 1; i <= count; ++i) {
            const QString name = QStringLiteral("%1%2.txt").arg(stem).arg(i, 2, 10, QLatin1Char('0'));
            write(name, QStringLiteral("第 %1 篇 note %1\nsecond line\n").arg(i).toUtf8());
        }
    }

    QString makeFolder(const QString& name) const
    {
        QDir(path()).mkpath(name);
        return path() + QLatin1Char('/') + name;
    }

private:
    QTemporaryDir m_dir;
};
