#pragma once

#include "platform/codepages/LanguageModel.h"

#include <QByteArrayView>

namespace platform::codepages {

// Which candidate code page reads some bytes best, with the locale's code page as the prior.
// Each candidate decodes the bytes and its languages' models cost the text; the prior keeps
// the bytes unless another reading costs clearly less, and when the prior's own reading reads
// well nothing else is decoded at all, which is the common case and costs one decoding.
class CodePageJudge {
public:
    // How much less, in quarter bits, another reading must cost than the prior's to be taken:
    // PriorMargin, and for a note the prior reads as mostly characters that are not ASCII,
    // ShortMargin shared out over them. The models judge each character as if it stood alone,
    // which makes them surer of a short text than they should be: a note of two Chinese
    // characters in the prior's page must stay in it however well another page reads them. A
    // note of Latin letters with an accent or two is told by its letters, and gets no more.
    // Text mostly of ASCII gets nothing when the prior reads a byte of it as no character
    // ("Café" before a line end in GB18030): the prior has said against itself what no margin
    // should outweigh. Chinese text with one character cut short keeps its margin.
    static constexpr int PriorMargin = 12 * 4;
    static constexpr int ShortMargin = 16 * 4;
    static int Margin(const LanguageModel::Parts& prior);
    // A note of Latin letters whose reading in the prior holds a letter none of the prior's
    // languages writes leaves half of its margin to another page that reads every letter of
    // it as one its languages write: a Turkish note's "ı", "ş" and "ğ" read in Windows-1252 as
    // "ý", "þ" and "ð", which German, French and their neighbours never write, yet such a
    // letter costs a language only what a letter its text used once or twice does, and one of
    // them in a line of English words was outweighed by the margin. Not all of it: a German
    // note that is an Icelandic place name ("Norðurland eystra") holds those letters too, and
    // with none of the margin one such name in ten read as Turkish. A note with fewer than
    // ForeignLettersLeast characters of ASCII besides is most often such a name and keeps
    // the whole margin.
    static int ForeignMargin(const LanguageModel::Parts& prior, const LanguageModel::Parts& other, int margin);
    static constexpr int ForeignMarginShare = 2;
    static constexpr int ForeignLettersLeast = 8;
    // Another page that reads the bytes as the prior does gets this fraction of the margin, a
    // third: its languages judge the prior's text, but the margin is what the locale says for
    // its own. In full, Czech ("bulunamadý", Windows-1250) outweighed a Turkish note of
    // Windows-1254 by what the locale says for German; with none, a German note holding a
    // Czech name ("Žu") lost to Shift_JIS.
    static constexpr int AlikeMarginShare = 3;
    // What a character other than ASCII costs at most on average, in quarter bits, in text
    // that reads so well in the prior that no other page is tried: 11 bits in a page of two
    // bytes a character (a common Han character costs 7 to 11), 5 in a page of one byte (a
    // letter costs 3 to 6 after the one before it). Measured on the tuning half of the accuracy
    // bench's notes: at 13 bits, Japanese kana in EUC-JP, which Big5 reads as common Han
    // characters of about 12, read well enough in Big5 for no other page to be tried.
    static constexpr int ReadsWellWide = 11 * 4;
    static constexpr int ReadsWellNarrow = 5 * 4;

    // Whether the bytes come from one source, as a note does, or may mix several, as a
    // folder's names do: there a page that cannot read the few names from elsewhere (Big5
    // names read as GBK hold characters of its user-defined area) can still be the page most
    // of them use.
    enum class Sources { One, Several };

    // A name QStringDecoder accepts: prior, or a candidate's.
    static const char* Best(QByteArrayView bytes, const char* prior, Sources sources);
};

} // namespace platform::codepages
