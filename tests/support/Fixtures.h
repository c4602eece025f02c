#pragma once

#include "app/frmMain.h"
#include "platform/drives/DriveTable.h"
#include "support/FakeDrives.h"
#include "support/Files.h"
#include "support/StandInEditor.h"

#include <QListView>
#include <QtTest>

#include <ftw.h>
#include <memory>
#include <unistd.h>

// What the window's tests share: a folder of their own, the window on fake drives, the stand-in editor.

// A real double-click: a click that presses the place, then the double-click on it.
inline void doubleClick(QWidget* widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
}

inline QPoint rowCentre(QListView* view, int row)
{
    return view->visualRect(view->model()->index(row, 0)).center();
}

class Desk {
public:
    Desk()
        : m_dir(QDir::tempPath() + QStringLiteral("/vellumry-test-XXXXXX"))
    {
        QVERIFY(m_dir.isValid());
        m_dir.setAutoRemove(false);
    }
    // Removed by bytes: Qt's decoded names cannot reach names that are not UTF-8.
    ~Desk()
    {
        m_form.reset();
        m_saved.restore();
        ::nftw(QFile::encodeName(m_dir.path()).constData(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    }

    QString top() const { return QDir(m_dir.path()).canonicalPath(); }
    QString path(const QString& relative) const { return top() + u'/' + relative; }
    QByteArray bytesOf(const QByteArray& relative) const { return QFile::encodeName(top()) + '/' + relative; }

    QString folder(const QString& relative) const
    {
        QDir(top()).mkpath(relative);
        return path(relative);
    }

    // Written by bytes, so that a name that is not UTF-8 keeps them.
    void write(const QByteArray& relative, const QByteArray& content = "text\n") const
    {
        if (relative.contains('/'))
            folder(QString::fromUtf8(relative.left(relative.lastIndexOf('/'))));
        OddFiles::file(bytesOf(relative), content);
    }
    void write(const QString& relative, const QByteArray& content = "text\n") const
    {
        write(QFile::encodeName(relative), content);
    }

    // Notes named note01.txt .. noteNN.txt in `relative`, whose first line names them.
    void writeNumbered(int count, const QString& relative = QStringLiteral("notes")) const
    {
        folder(relative);
        for (int i = 1; i <= count; ++i)
            write(relative + QStringLiteral("/note%1.txt").arg(i, 2, 10, QLatin1Char('0')),
                numbered(i).toUtf8() + "\nline two\n");
    }
    static QString numbered(int i) { return QStringLiteral("第 %1 篇 note %1").arg(i); }

    // Starts the window in `processFolder`, one drive per mount point; those in `notReady` do not answer.
    app::frmMain& start(const QString& processFolder, QStringList mountPoints = {}, const QSet<QString>& notReady = {})
    {
        if (mountPoints.isEmpty())
            mountPoints << top();
        QList<platform::MountEntry> mounts;
        for (const QString& mountPoint : mountPoints)
            mounts << disk(mountPoint, "/dev/fake" + QByteArray::number(mounts.size() + 1));
        m_form.reset();
        m_form = std::make_unique<app::frmMain>(
            std::make_unique<platform::DriveTable>(fakeDrives(mounts, processFolder, unready(notReady))));
        m_form->Show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(m_form->Me.widget())); }();
        return *m_form;
    }
    app::frmMain& form() { return *m_form; }

    // The stand-in editor alone on the search path; a shell that saw a name would leave MARKER.
    void useStandInEditor() { StandInEditor::installAloneOnPath(folder(QStringLiteral("work"))); }
    bool markerLeft() const { return QFileInfo::exists(path(QStringLiteral("work/MARKER"))); }

    // Points the editor at a fresh record file and returns its base name.
    QString nextRecord() { return m_editor.nextRecord(path(QStringLiteral("work"))); }

    // Runs `action` and returns the arguments the editor received, as bytes.
    template<typename Action> QList<QByteArray> editorArgumentsAfter(Action action)
    {
        const QString record = nextRecord();
        action();
        return StandInEditor::argumentsOf(record);
    }

    // The centre of the directory list's row that shows `folder`.
    QPoint folderRow(const QString& folder)
    {
        for (int row = 0; row < m_form->DirList.EntryCount(); ++row)
            if (m_form->DirList.EntryPath(row) == folder)
                return rowCentre(qobject_cast<QListView*>(m_form->DirList.widget()), row);
        return {};
    }

    void doubleClickName(int row)
    {
        auto* files = qobject_cast<QListView*>(m_form->FileList.widget());
        doubleClick(files->viewport(), rowCentre(files, row));
    }

    // Every box's tooltip and text, in box order.
    QStringList previews()
    {
        QStringList shown;
        for (int i = 1; i <= m_form->txtPreview.UBound(); ++i)
            shown << m_form->txtPreview(i).ToolTipText() + u": " + m_form->txtPreview(i).Text();
        return shown;
    }

private:
    static int removeEntry(const char* path, const struct stat*, int type, struct FTW*)
    {
        return type == FTW_DP ? ::rmdir(path) : ::unlink(path);
    }

    SavedSurroundings m_saved;
    QTemporaryDir m_dir;
    StandInEditor m_editor;
    std::unique_ptr<app::frmMain> m_form;
};
