#pragma once

#include <QTextCodec>

/// UTF-8 that keeps the bytes it cannot decode: each becomes a lone low
/// surrogate (U+DC80 to U+DCFF) and is written back as the byte it was.
/// Made the locale's codec, it lets QFile::encodeName and decodeName, and
/// with them the command-line arguments, carry file names that are not
/// UTF-8 (a Latin-1 "è") without changing them.
class FileNameCodec : public QTextCodec
{
public:
    /// Makes a FileNameCodec the locale's codec when that one is UTF-8.
    static void installForUtf8Locale();

    QByteArray name() const override;
    int mibEnum() const override;

protected:
    QString convertToUnicode(const char* in, int length, ConverterState* state) const override;
    QByteArray convertFromUnicode(const QChar* in, int length, ConverterState* state) const override;
};
