#pragma once

#include "platform/controls/Control.h"
#include "platform/runtime/Error.h"
#include "support/ErrorOf.h"
#include "support/FakeDrives.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

// Shared by the tests of the drive, folder and file lists.

inline platform::ErrorCode errorOf(const std::function<void()>& call)
{
    // Stands for "no error" here: no list operation raises it.
    return codeRaisedBy(call, platform::ErrorCode::Overflow);
}

inline QListView* viewOf(platform::Control& control)
{
    return qobject_cast<QListView*>(control.widget());
}

inline QPoint centreOf(QListView* view, int row)
{
    return view->visualRect(view->model()->index(row, 0)).center();
}

// A real double-click: the first click presses the entry, the second arrives as a
// double-click on it.
inline void doubleClick(QWidget* widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
}

inline QString shown(QListView* view, int row)
{
    return view->model()->index(row, 0).data(Qt::DisplayRole).toString();
}

// A fresh temporary folder for each test function, with the few ways the list tests fill it.
// A test class inherits it beside QObject and calls makeScratch() from init() and
// dropScratch() from cleanup().
class ScratchFolder {
protected:
    void makeScratch()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void dropScratch() { m_dir.reset(); }

    QString root() const { return QDir(m_dir->path()).canonicalPath(); }
    QString make(const QString& relative) const
    {
        QDir(root()).mkpath(relative);
        return root() + QLatin1Char('/') + relative;
    }
    void touch(const QString& relative, const QByteArray& bytes = "text\n") const
    {
        QFile file(root() + QLatin1Char('/') + relative);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};
