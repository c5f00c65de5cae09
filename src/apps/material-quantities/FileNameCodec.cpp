#include "FileNameCodec.h"

namespace {

constexpr char16_t escapeBase = 0xDC00;
constexpr int privateMib = -3001; // not a registered character set

/// Length of the valid UTF-8 sequence at in, 0 when there is none.
int validSequenceLength(const unsigned char* in, int available)
{
    const unsigned char lead = in[0];
    int length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (available < length) {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if ((in[i] & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (in[i] & 0x3F);
    }
    static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool overlong = value < smallest[length];
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return overlong || surrogate || value > 0x10FFFF ? 0 : length;
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
    const auto* bytes = reinterpret_cast<const unsigned char*>(in);
    QString text;
    text.reserve(length);
    int runStart = 0; // the valid bytes not yet decoded start there
    for (int i = 0; i < length;) {
        const int sequence = validSequenceLength(bytes + i, length - i);
        if (sequence > 0) {
            i += sequence;
            continue;
        }
        text.append(QString::fromUtf8(in + runStart, i - runStart));
        text.append(QChar(escapeBase + bytes[i]));
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
