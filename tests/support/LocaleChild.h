#pragma once

#include "platform/files/GuardedListing.h"
#include "platform/files/TextInput.h"
#include "platform/names/LegacyCodePage.h"
#include "platform/names/NativePath.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <cstdio>

// A process decides its code page and its order of names once, from its environment, so a test
// of them runs a child of itself with the locale of a row in its environment, as a user's
// session starts the program. The test's main() hands "--list <folder>" to LocaleChild::Run.
namespace LocaleChild {

// What a child prints: its code page, then for each note of the folder, in the order of the
// list, the name a user sees and the lines read through that name.
inline int Run(const QString& folder)
{
    QStringList output {QString::fromLatin1(platform::LegacyCodePage::Name())};
    for (const QString& name : platform::GuardedListing::Files(folder, QStringLiteral("*"))) {
        platform::TextInput input(folder + u'/' + name);
        QStringList lines;
        while (!input.AtEnd())
            lines << input.ReadLine();
        output << platform::NativePath::ForDisplay(name) + QStringLiteral(" → ") + lines.join(u'|');
    }
    return std::fputs(qPrintable(output.join(u'\n')), stdout) < 0;
}

// The output of this test run as a child with the given locale variables ("LANG=zh_TW.UTF-8")
// and no other.
inline QStringList Output(const QStringList& locale, const QString& folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto* variable : {"LC_ALL", "LC_CTYPE", "LC_COLLATE", "LANG"})
        environment.remove(QString::fromLatin1(variable));
    for (const QString& assignment : locale)
        environment.insert(assignment.section(u'=', 0, 0), assignment.section(u'=', 1));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--list"), folder});
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return {QStringLiteral("child failed: ") + QString::fromLocal8Bit(child.readAllStandardError())};
    return QString::fromUtf8(child.readAllStandardOutput()).split(u'\n');
}

} // namespace LocaleChild
