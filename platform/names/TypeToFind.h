#pragma once

#include "platform/names/TypedPrefix.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <vector>

namespace platform {

// Finding a name in a list by typing its start, as in the lists of every desktop. What is
// typed within a pause of each other key makes one text, and the list goes to the first name,
// from the selected one on and round the end, that begins with it (TypedPrefix); so typing on
// narrows the search while the selection stays where it still fits. A key after a pause
// starts a new text, looked for from the name after the selected one, and the same letter typed
// again and again steps on to each next name that begins with it. Under a locale that orders
// names as Chinese, a Chinese name is also found by its pinyin.
class TypeToFind {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // About a second, longer than the desktop's default for lists of words: a reader typing
    // the pinyin of a name thinks of the next syllable between keys.
    static constexpr std::chrono::milliseconds Pause {1000};

    TypeToFind();
    TypeToFind(TypedPrefix::Sound sound, Clock clock);

    // The row to select once `text` is typed into the list of `names` (as decoded) with
    // `selected` selected (-1 for none), or -1 when no name begins with what was typed.
    int Type(const QString& text, const QStringList& names, int selected);

    // Learns a list's names ahead of its first key, which would otherwise learn them.
    void Learn(const QStringList& names);

    // Forgets what was typed, as a pause would, and the names learnt: the list holds other
    // names now.
    void Forget();

private:
    int find(const TypedPrefix& prefix, int start) const;

    TypedPrefix::Sound m_sound;
    Clock m_clock;
    QString m_typed;
    std::chrono::steady_clock::time_point m_lastKey;
    // The names as shown, and the first character of each. A key that no name begins with
    // looks at every name of the list, tens of thousands of them, and their texts lie all over
    // the memory: most are passed over by their first character, read from one array.
    QStringList m_names;
    QStringList m_shown;
    std::vector<TypedPrefix::First> m_firsts;
};

} // namespace platform
