#include "XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QXmlStreamReader>

#include <minizip/unzip.h>

#include <limits>
#include <vector>

namespace Orvane {

namespace {

// Part names of a package are not case-sensitive.
constexpr int caseInsensitive = 2;

/// The current entry of an archive as a sequential device, so that a large
/// sheet is parsed as it inflates rather than held whole.
class ZipEntryDevice : public QIODevice
{
public:
    explicit ZipEntryDevice(unzFile file) : m_file(file) {}
    ~ZipEntryDevice() override { close(); }

    bool open(OpenMode mode) override { return unzOpenCurrentFile(m_file) == UNZ_OK && QIODevice::open(mode); }
    void close() override
    {
        if (isOpen()) {
            // Also checks the entry's CRC once it was read to the end.
            m_damaged = unzCloseCurrentFile(m_file) != UNZ_OK || m_damaged;
            QIODevice::close();
        }
    }
    bool isSequential() const override { return true; }
    bool isDamaged() const { return m_damaged; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const int count = unzReadCurrentFile(m_file, data, static_cast<unsigned>(qMin<qint64>(maxSize, 1 << 20)));
        if (count < 0) {
            m_damaged = true;
            return -1;
        }
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    unzFile m_file;
    bool m_damaged = false;
};

struct Relationship
{
    QString type;
    QString target; // a part name, resolved
};

/// The relationships part of a package part.
QString relationshipsPartOf(const QString& part)
{
    const int slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

QHash<QString, Relationship> readRelationships(const QByteArray& data, const QString& sourcePart)
{
    const QString base = sourcePart.left(sourcePart.lastIndexOf(QLatin1Char('/')) + 1);
    QHash<QString, Relationship> relationships;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("Relationship")) {
            continue;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.value(QLatin1String("TargetMode")) == QLatin1String("External")) {
            continue;
        }
        QString target = attributes.value(QLatin1String("Target")).toString();
        target = target.startsWith(QLatin1Char('/')) ? target.mid(1) : QDir::cleanPath(base + target);
        relationships.insert(attributes.value(QLatin1String("Id")).toString(),
                             {attributes.value(QLatin1String("Type")).toString(), target});
    }
    return relationships;
}

/// Excel writes characters that XML cannot carry as _xHHHH_.
QString unescapeText(const QString& text)
{
    if (!text.contains(QLatin1String("_x"))) {
        return text;
    }
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('_') && i + 6 < text.size() && text.at(i + 1) == QLatin1Char('x') &&
            text.at(i + 6) == QLatin1Char('_')) {
            bool ok = false;
            const ushort code = text.midRef(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out.append(QChar(code));
                i += 6;
                continue;
            }
        }
        out.append(text.at(i));
    }
    return out;
}

/// The text of a shared or inline string (the reader is on <si> or <is>):
/// its runs joined, phonetic hints left out.
QString readStringItem(QXmlStreamReader& xml)
{
    const QString element = xml.name().toString();
    QString text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rPh")) {
                ++phonetic;
            } else if (xml.name() == QLatin1String("t") && phonetic == 0) {
                text += xml.readElementText();
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("rPh")) {
                --phonetic;
            } else if (xml.name() == element) {
                break;
            }
        }
    }
    return unescapeText(text);
}

/// "BC12" to column 55 and row 12; false when it is not a cell reference.
bool parseCellReference(QStringRef reference, int* row, int* column)
{
    int i = 0;
    int c = 0;
    for (; i < reference.size(); ++i) {
        const ushort letter = reference.at(i).toUpper().unicode();
        if (letter < 'A' || letter > 'Z') {
            break;
        }
        c = c * 26 + (letter - 'A' + 1);
        if (c > 16384) {
            return false;
        }
    }
    bool ok = false;
    const int r = reference.mid(i).toInt(&ok);
    if (i == 0 || !ok || r < 1) {
        return false;
    }
    *row = r;
    *column = c;
    return true;
}

struct Sheet
{
    QString name;
    QString part;
};

} // namespace

struct XlsxReader::Private
{
    QString path;
    unzFile file = nullptr;
    std::vector<Sheet> sheets;
    QStringList sharedStrings;
    QString error;

    bool fail(const QString& message)
    {
        error = message;
        return false;
    }

    /// A small part, read whole.
    bool readPart(const QString& name, QByteArray* data)
    {
        if (unzLocateFile(file, name.toUtf8().constData(), caseInsensitive) != UNZ_OK) {
            return false;
        }
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(file, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
            info.uncompressed_size > static_cast<ZPOS64_T>(std::numeric_limits<int>::max() / 2)) {
            return false;
        }
        ZipEntryDevice entry(file);
        if (!entry.open(QIODevice::ReadOnly)) {
            return false;
        }
        *data = entry.readAll();
        entry.close();
        return !entry.isDamaged();
    }

    bool readCells(QXmlStreamReader& xml, const CellVisitor& visit);
};

XlsxReader::XlsxReader(const QString& path) : d(std::make_unique<Private>())
{
    d->path = path;
}

XlsxReader::~XlsxReader()
{
    if (d->file) {
        unzClose(d->file);
    }
}

bool XlsxReader::open()
{
    d->file = unzOpen64(QFile::encodeName(d->path).constData());
    if (!d->file) {
        return d->fail(QStringLiteral("%1 is not a workbook").arg(d->path));
    }
    QByteArray data;
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (d->readPart(QStringLiteral("_rels/.rels"), &data)) {
        for (const Relationship& relationship : readRelationships(data, QString())) {
            if (relationship.type.endsWith(QLatin1String("/officeDocument"))) {
                workbookPart = relationship.target;
            }
        }
    }
    QByteArray workbook;
    if (!d->readPart(workbookPart, &workbook)) {
        return d->fail(QStringLiteral("%1 is not a workbook").arg(d->path));
    }
    QHash<QString, Relationship> relationships;
    if (d->readPart(relationshipsPartOf(workbookPart), &data)) {
        relationships = readRelationships(data, workbookPart);
    }
    for (const Relationship& relationship : relationships) {
        if (!relationship.type.endsWith(QLatin1String("/sharedStrings"))) {
            continue;
        }
        if (!d->readPart(relationship.target, &data)) {
            return d->fail(QStringLiteral("%1: cannot read %2").arg(d->path, relationship.target));
        }
        QXmlStreamReader xml(data);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si")) {
                d->sharedStrings.append(readStringItem(xml));
            }
        }
    }

    QXmlStreamReader xml(workbook);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("sheet")) {
            continue;
        }
        QString id;
        // r:id, in whichever namespace version the writer used.
        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
            if (attribute.name() == QLatin1String("id") && !attribute.namespaceUri().isEmpty()) {
                id = attribute.value().toString();
            }
        }
        const Relationship relationship = relationships.value(id);
        // Chart sheets and the like hold no cells.
        if (relationship.type.endsWith(QLatin1String("/worksheet"))) {
            d->sheets.push_back({xml.attributes().value(QLatin1String("name")).toString(), relationship.target});
        }
    }
    if (xml.hasError()) {
        return d->fail(QStringLiteral("%1: %2").arg(d->path, xml.errorString()));
    }
    return true;
}

QStringList XlsxReader::sheetNames() const
{
    QStringList names;
    for (const Sheet& sheet : d->sheets) {
        names.append(sheet.name);
    }
    return names;
}

QString XlsxReader::errorString() const
{
    return d->error;
}

bool XlsxReader::readSheet(int sheet, const CellVisitor& visit)
{
    if (!d->file || sheet < 0 || sheet >= static_cast<int>(d->sheets.size())) {
        return d->fail(QStringLiteral("No sheet %1 in %2").arg(sheet).arg(d->path));
    }
    const Sheet& wanted = d->sheets[static_cast<std::size_t>(sheet)];
    if (unzLocateFile(d->file, wanted.part.toUtf8().constData(), caseInsensitive) != UNZ_OK) {
        return d->fail(QStringLiteral("%1: no part %2").arg(d->path, wanted.part));
    }
    ZipEntryDevice entry(d->file);
    if (!entry.open(QIODevice::ReadOnly)) {
        return d->fail(QStringLiteral("%1: cannot read %2").arg(d->path, wanted.part));
    }
    QXmlStreamReader xml(&entry);
    d->error.clear();
    const bool complete = d->readCells(xml, visit);
    // The checksum is only compared once the entry was read to its end.
    while (complete && entry.read(1 << 16).size() > 0) {
    }
    entry.close();
    if (!complete || entry.isDamaged()) {
        if (d->error.isEmpty()) {
            d->error = xml.hasError() ? xml.errorString() : QStringLiteral("damaged data");
        }
        return d->fail(QStringLiteral("%1: cannot read the sheet \"%2\": %3").arg(d->path, wanted.name, d->error));
    }
    return true;
}

bool XlsxReader::Private::readCells(QXmlStreamReader& xml, const CellVisitor& visit)
{
    int row = 0;
    int nextColumn = 1;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("row")) {
            bool ok = false;
            const int r = xml.attributes().value(QLatin1String("r")).toInt(&ok);
            row = ok ? r : row + 1;
            nextColumn = 1;
            continue;
        }
        if (xml.name() != QLatin1String("c")) {
            continue;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        int cellRow = row;
        int column = nextColumn;
        const QStringRef reference = attributes.value(QLatin1String("r"));
        if (!reference.isEmpty() && !parseCellReference(reference, &cellRow, &column)) {
            return fail(QStringLiteral("bad cell reference \"%1\"").arg(reference));
        }
        nextColumn = column + 1;
        const QString type = attributes.value(QLatin1String("t")).toString();
        QString raw;
        QString inlineText;
        bool hasInline = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == QLatin1String("c")) {
                break;
            }
            if (!xml.isStartElement()) {
                continue;
            }
            if (xml.name() == QLatin1String("v")) {
                raw = xml.readElementText();
            } else if (xml.name() == QLatin1String("is")) {
                inlineText = readStringItem(xml);
                hasInline = true;
            } else {
                xml.skipCurrentElement();
            }
        }
        QVariant value;
        if (type.isEmpty() || type == QLatin1String("n")) {
            if (!raw.isEmpty()) {
                bool ok = false;
                const double number = raw.toDouble(&ok);
                value = ok ? QVariant(number) : QVariant(raw);
            }
        } else if (type == QLatin1String("s")) {
            bool ok = false;
            const int index = raw.toInt(&ok);
            if (!ok || index < 0 || index >= sharedStrings.size()) {
                return fail(QStringLiteral("bad shared string index \"%1\"").arg(raw));
            }
            value = sharedStrings.at(index);
        } else if (type == QLatin1String("inlineStr")) {
            value = hasInline ? inlineText : unescapeText(raw);
        } else if (type == QLatin1String("b")) {
            value = raw.trimmed() == QLatin1String("1") || raw.trimmed() == QLatin1String("true");
        } else {
            // "str" (a formula's text), "e" (an error such as #DIV/0!), "d" (a date)
            value = unescapeText(raw);
        }
        if (!value.isValid() || (value.userType() == QMetaType::QString && value.toString().isEmpty())) {
            continue;
        }
        if (!visit(cellRow, column, value)) {
            return fail(QStringLiteral("stopped at row %1, column %2").arg(cellRow).arg(column));
        }
    }
    return !xml.hasError();
}

} // namespace Orvane
