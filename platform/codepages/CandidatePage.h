#pragma once

#include "platform/codepages/LanguageModel.h"

#include <QByteArrayView>
#include <QChar>
#include <QStringView>
#include <QVarLengthArray>

#include <span>
#include <vector>

namespace platform::codepages {

// A code page a note or a name may have been written in, with the languages written in it,
// whose models judge how well the bytes read in it.
class CandidatePage {
public:
    // Every code page judged, those of the table in CandidatePage.cpp.
    static std::span<const CandidatePage> All();

    // The candidate of that QStringDecoder name, or nullptr.
    static const CandidatePage* Find(const char* name);

    // A code page no candidate is, judged by every language, so that a locale's code page
    // that is no candidate (Hebrew's, Thai's) can still be the prior.
    static CandidatePage Other(const char* name);

    // Where a reading is decoded to: on the stack for a note's window and a few names, since
    // a note that reads well in the prior is judged by one decoding, which should cost no more
    // than the decoding itself.
    using Text = QVarLengthArray<QChar, 1200>;

    const char* Name() const { return m_name; }
    // Whether its characters other than ASCII take two bytes or more.
    bool Wide() const { return m_wide; }

    // The bytes in this code page, and the cost of that text in the language it reads best in.
    // A character cut short by the end of the bytes does not decode (NoteWindow cuts where
    // no character can be cut). Thread-safe: each thread decodes with converters of its own.
    QStringView Decode(QByteArrayView bytes, Text& text) const;
    int Cost(QStringView text, LanguageModel::Parts* parts = nullptr,
        LanguageModel::Scope scope = LanguageModel::Scope::Everything) const;

    CandidatePage(const char* name, bool wide, std::vector<const LanguageModel*> languages, int slot);

private:
    const char* m_name;
    bool m_wide;
    std::vector<const LanguageModel*> m_languages;
    int m_slot; // of this thread's converters
};

} // namespace platform::codepages
