#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace platform {

// One legacy code page as this program reads and writes it: the notes of a folder, and its
// names, may each be in another, so every part of the program that decodes text or names in
// a legacy code page goes through here. Qt reaches the code pages through ICU, whose tables
// differ from those of the desktops the files come from in two ways a reader would see:
//   - ICU gives U+001A (SUB) for a byte that some code pages leave unassigned, as Shift_JIS
//     and EUC-JP do 0x80, where the other code pages give U+FFFD;
//   - ICU's Shift_JIS follows IBM's table for three control bytes and rotates them: 0x1A reads
//     as U+001C, 0x1C as U+007F and 0x7F as U+001A, where Windows-31J reads each as itself.
// What a code page's converter does is learnt once per process by asking it, so the program
// keeps no table of its own and follows whatever ICU it runs on.
class CodePage {
public:
    // The code pages one process tells apart; each gets an Index below this.
    static constexpr int Capacity = 127;

    // The code page of that name (one QStringDecoder accepts), learnt when first asked for and
    // kept for the life of the process. Safe from any thread. Past Capacity different names,
    // which no caller comes near, the fallback code page stands in (or the first one asked for).
    static const CodePage& Named(const char* name);
    // The code page whose Index is index, or null when no code page has it.
    static const CodePage* AtIndex(int index);

    const char* Name() const { return m_name.constData(); }
    // A small number, the same for the life of the process, that tells this code page apart
    // from the others asked for: 0 for the first, up to Capacity - 1.
    int Index() const { return m_index; }
    // Whether this Qt can convert both ways; a Qt without ICU converts none.
    bool Converts() const { return m_converts; }
    // Whether decoded text can hold a U+001A that no 0x1A byte gave, so that every decoded line
    // must pass through ReplaceSubstitutes; otherwise only a line whose bytes hold 0x1A needs to.
    // ICU substitutes U+001A only in a code page with a one-byte substitution character, and
    // only for one invalid byte: Shift_JIS, EUC-JP, EUC-KR and EUC-TW do; GB18030, Big5,
    // Big5-HKSCS, Windows-949 and the single-byte code pages do not.
    bool Substitutes() const { return m_substitutes; }

    // Stateless converters, since every line or name is converted on its own: the calling
    // thread's own, made when the thread first asks, since opening an ICU converter costs more
    // than decoding a note's first lines with it. They live as long as the thread and are used
    // by it alone.
    QStringDecoder& ThreadDecoder() const;
    QStringEncoder& ThreadEncoder() const;

    // Turns bytes of this code page, in place, into those the converter reads as the desktops
    // did, so that every control byte decodes as itself. A control byte is never part of a
    // multi-byte character in any code page read here, so the change touches nothing else.
    void ForDecoder(char* begin, char* end) const
    {
        if (m_rotatesControls)
            Turn(m_forDecoder, begin, end);
    }
    // Turns what the encoder gave back into the bytes of this code page: ForDecoder undone.
    void FromEncoder(QByteArray& bytes) const
    {
        if (m_rotatesControls)
            Turn(m_fromEncoder, bytes.data(), bytes.data() + bytes.size());
    }

    // ICU's U+001A for a byte that does not decode shows as U+FFFD, like every byte that does
    // not decode. A real 0x1A, the end-of-file mark of old DOS files, is no text either and
    // shows the same in every legacy code page.
    static void ReplaceSubstitutes(QString& text);

private:
    CodePage(const char* name, int index);
    QStringDecoder Decoder() const;
    void LearnControls();
    void LearnSubstitutes();
    static void Turn(const std::array<unsigned char, 0x80>& into, char* begin, char* end);

    QByteArray m_name;
    int m_index;
    bool m_converts;
    bool m_substitutes {false};
    bool m_rotatesControls {false};
    // For each control byte (0x00 to 0x1F and 0x7F, by value below 0x80), the byte the decoder
    // must be given for it and what the encoder's byte stands for; the identity elsewhere.
    std::array<unsigned char, 0x80> m_forDecoder {};
    std::array<unsigned char, 0x80> m_fromEncoder {};
};

} // namespace platform
