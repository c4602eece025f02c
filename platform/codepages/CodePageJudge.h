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
    // What a character other than ASCII costs at most on average, in quarter bits, in text
    // that reads so well in the prior that no other page is tried: 11 bits in a page of two
    // bytes a character (a common Han character costs 7 to 11), 5 in a page of one byte (a
    // letter costs 3 to 6 after the one before it). Measured on the tuning half of the accuracy
    // bench's notes: at 13 bits, Japanese kana in EUC-JP, which Big5 reads as common Han
    // characters of about 12, read well enough in Big5 for no other page to be tried.
    static constexpr int ReadsWellWide = 11 * 4;
    static constexpr int ReadsWellNarrow = 5 * 4;

    // A name QStringDecoder accepts: prior, or a candidate's.
    static const char* Best(QByteArrayView bytes, const char* prior);
};

} // namespace platform::codepages
