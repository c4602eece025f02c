#include "platform/files/GuardedListing.h"

#include "platform/files/FolderScanner.h"
#include "platform/hang/GuardedCall.h"
#include "platform/names/NameOrder.h"
#include "platform/runtime/Error.h"

#include <QHash>

#include <memory>
#include <optional>
#include <vector>

namespace platform {

namespace {

using Link = FolderScanner::Link;

// The links of one drive, judged on one thread; what it found is read only once it returned.
struct Judgement {
    QList<Link> links;
    std::shared_ptr<QStringList> kept {std::make_shared<QStringList>()};
};

// The names of the links that lead to what is wanted, judged apart from the listing. A drive
// whose links do not answer in time keeps those it judged before.
QStringList judged(const QString& folder, const QList<Link>& links, FolderScanner::Kind wanted)
{
    QHash<QString, Judgement> byDrive;
    for (const Link& link : links)
        byDrive[Charge::To(link.target).drive].links.append(link);
    std::vector<std::pair<Judgement, std::optional<GuardedCall::Started>>> started;
    for (auto drive = byDrive.cbegin(); drive != byDrive.cend(); ++drive) {
        Judgement judgement = drive.value();
        // One place per folder and drive: listing the folder again while its links into a dead
        // share are still out costs nothing more.
        const GuardedCall call(Charge {drive.key(), folder + QStringLiteral(" -> ") + drive.key()});
        try {
            started.emplace_back(judgement, call.Start([links = judgement.links, kept = judgement.kept, wanted] {
                for (const Link& link : links) {
                    if (FolderScanner::KindOf(link.path) == wanted)
                        kept->append(link.name);
                }
            }));
        } catch (const Error&) {
            // A drive that may not be asked now: its links are left out.
        }
    }
    QStringList names;
    for (auto& [judgement, call] : started) {
        try {
            call->Wait();
        } catch (const Error&) {
            continue;
        }
        names.append(*judgement.kept);
    }
    return names;
}

// The folder's own entries and its links' judged names, in the order of the user's locale.
QStringList withLinks(QStringList names, const QString& folder, const QList<Link>& links, FolderScanner::Kind wanted)
{
    if (links.isEmpty())
        return names;
    NameOrder order;
    for (QString& name : names)
        order.Add(std::move(name));
    for (QString& name : judged(folder, links, wanted))
        order.Add(std::move(name));
    return order.Sorted();
}

struct Read {
    QStringList names;
    QList<Link> links;
};

} // namespace

QStringList GuardedListing::Files(const QString& folder, const QString& pattern)
{
    const Read read = GuardedCall(Charge::To(folder)).Run<Read>([folder, pattern] {
        Read found;
        found.names = FolderScanner::ListFiles(folder, pattern, found.links);
        return found;
    });
    QStringList names = withLinks(read.names, folder, read.links, FolderScanner::Kind::File);
    if (names.size() > FolderScanner::MaxFiles)
        names.resize(FolderScanner::MaxFiles);
    return names;
}

QStringList GuardedListing::Subfolders(const QString& folder)
{
    const Read read = GuardedCall(Charge::To(folder)).Run<Read>([folder] {
        Read found;
        found.names = FolderScanner::ListSubfolders(folder, found.links);
        return found;
    });
    return withLinks(read.names, folder, read.links, FolderScanner::Kind::Folder);
}

} // namespace platform
