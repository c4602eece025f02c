#include "platform/runtime/Strings.h"

#include "platform/runtime/Error.h"

#include <QDir>

namespace platform {

qsizetype Strings::Len(const QString& text)
{
    return text.size();
}

QString Strings::Left(const QString& text, qsizetype length)
{
    if (length < 0)
        throw Error(ErrorCode::InvalidProcedureCall);
    return text.left(length);
}

QString Strings::Right(const QString& text, qsizetype length)
{
    if (length < 0)
        throw Error(ErrorCode::InvalidProcedureCall);
    return text.right(length);
}

QString Strings::TrimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == u' ')
        ++first;
    while (end > first && text[end - 1] == u' ')
        --end;
    return text.sliced(first, end - first);
}

QString Strings::ReplaceAll(const QString& text, const QString& find, const QString& replacement)
{
    if (find.isEmpty())
        return text;
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    while (true) {
        qsizetype at = text.indexOf(find, from, Qt::CaseSensitive);
        if (at < 0)
            break;
        result.append(QStringView(text).sliced(from, at - from));
        result.append(replacement);
        from = at + find.size();
    }
    result.append(QStringView(text).sliced(from));
    return result;
}

QString Strings::FolderPrefix(const QString& path, QChar separator)
{
    const QString single(separator);
    const QString doubled = single + single;
    const QString withSeparator = path + single;
    if (separator == u'\\' && path.startsWith(doubled)) {
        // The share's first separator is set aside, so the collapse leaves exactly two.
        return single + ReplaceAll(withSeparator.sliced(1), doubled, single);
    }
    return ReplaceAll(withSeparator, doubled, single);
}

QString Strings::FolderPrefix(const QString& path)
{
    return FolderPrefix(path, NativeSeparator());
}

QChar Strings::NativeSeparator()
{
    return QDir::separator();
}

} // namespace platform
