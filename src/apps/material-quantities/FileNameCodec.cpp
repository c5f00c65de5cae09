#include "FileNameCodec.h"

#include "Step/Utf8.h"

namespace {

constexpr char16_t escapeBase = 0xDC00;
constexpr int privateMib = -3001; // not a registered character set

/// Length of the valid UTF-8 sequence at pos, 0 when there is none.
int validSequenceLength(const std::string& text, std::size_t pos)
{
    std::size_t end = pos;
    const char32_t value = Step::Utf8::next(text, end);
    const auto length = static_cast<int>(end - pos);
    // The decoder answers U+FFFD for what it cannot decode; it may also be
    // written as such.
    if (value == 0xFFFD && text.compare(pos, length, "\xEF\xBF\xBD") != 0) {
        return 0;
    }
    static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    return value < smallest[length] ? 0 : length; // an overlong form is not valid
}

} // namespace

void FileNameCodec::installForUtf8Locale()
{
    QTextCodec* current = QTextCodec::codecForLocale();
    if (current && current->mibEnum() == 106) {
        // Codecs register themselves and live as long as the program.
        QTextCodec::setCodecForLocale(new FileNameCodec);
    }
}

QByteArray FileNameCodec::name() const
{
    return QByteArrayLiteral("UTF-8 with escaped bytes");
}

int FileNameCodec::mibEnum() const
{
    return privateMib;
}

QString FileNameCodec::convertToUnicode(const char* in, int length, ConverterState*) const
{
    const std::string bytes(in, static_cast<std::size_t>(length));
    QString text;
    text.reserve(length);
    int runStart = 0; // the valid bytes not yet decoded start there
    for (int i = 0; i < length;) {
        const int sequence = validSequenceLength(bytes, static_cast<std::size_t>(i));
        if (sequence > 0) {
            i += sequence;
            continue;
        }
        text.append(QString::fromUtf8(in + runStart, i - runStart));
        text.append(QChar(escapeBase + static_cast<unsigned char>(bytes[i])));
        runStart = ++i;
    }
    text.append(QString::fromUtf8(in + runStart, length - runStart));
    return text;
}

QByteArray FileNameCodec::convertFromUnicode(const QChar* in, int length, ConverterState*) const
{
    QByteArray bytes;
    bytes.reserve(length);
    for (int i = 0; i < length; ++i) {
        const char16_t unit = in[i].unicode();
        const bool pair = in[i].isHighSurrogate() && i + 1 < length && in[i + 1].isLowSurrogate();
        if (pair) {
            bytes.append(QString(in + i, 2).toUtf8());
            ++i;
        } else if (unit >= escapeBase + 0x80 && unit <= escapeBase + 0xFF) {
            bytes.append(static_cast<char>(unit - escapeBase));
        } else {
            bytes.append(QString(in + i, 1).toUtf8());
        }
    }
    return bytes;
}
