#include "MaterialLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>

namespace Orvane {

namespace {

const char* const settingsArray = "Tool/MaterialQuantities/MaterialLibrary";
const QString header = QStringLiteral("name\tpatterns\tdensity\tsource\twaste_code\tcategory\toutlet");
constexpr int columnCount = 7;

/// Characters a pattern fixes: the more, the more specific.
int fixedCharacters(const QString& pattern)
{
    return pattern.size() - pattern.count(QLatin1Char('*')) - pattern.count(QLatin1Char('?'));
}

/// Qt's own wildcards are file globs, whose * stops at a slash: names such
/// as "C25/30" need it to match anything.
bool wildcardMatches(const QString& pattern, const QString& folded)
{
    QString expression;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*')) {
            expression += QStringLiteral(".*");
        } else if (c == QLatin1Char('?')) {
            expression += QLatin1Char('.');
        } else {
            expression += QRegularExpression::escape(QString(c));
        }
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression)).match(folded).hasMatch();
}

} // namespace

bool MaterialLibrary::Entry::operator==(const Entry& other) const
{
    return name == other.name && patterns == other.patterns && density == other.density && source == other.source &&
           wasteCode == other.wasteCode && category == other.category && outlet == other.outlet && user == other.user;
}

QString MaterialLibrary::Match::description() const
{
    if (!entry) {
        return tr("No entry of the material library");
    }
    if (how == ExactName) {
        return tr("\"%1\" by name").arg(entry->name);
    }
    return tr("\"%1\" by the pattern \"%2\"").arg(entry->name, pattern);
}

QString MaterialLibrary::folded(const QString& name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_KD).toLower();
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing) {
            continue;
        }
        out.append(c == QLatin1Char('-') || c == QLatin1Char('_') || c.isSpace() ? QChar(QLatin1Char(' ')) : c);
    }
    return out.simplified();
}

QString MaterialLibrary::shippedFile()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/orvane/materials/materials.tsv"));
}

MaterialLibrary MaterialLibrary::shipped(QString* error)
{
    QFile file(shippedFile());
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = tr("The material library %1 cannot be read: %2").arg(file.fileName(), file.errorString());
        }
        return {};
    }
    QStringList errors;
    MaterialLibrary library = parse(QString::fromUtf8(file.readAll()), &errors);
    if (error && !errors.isEmpty()) {
        *error = tr("%1: %2").arg(file.fileName(), errors.join(QStringLiteral("; ")));
    }
    return library;
}

MaterialLibrary MaterialLibrary::withSettings(QSettings& store, QString* error)
{
    MaterialLibrary library = shipped(error);
    library.addUserEntries(userEntries(store));
    return library;
}

MaterialLibrary MaterialLibrary::parse(const QString& text, QStringList* errors)
{
    MaterialLibrary library;
    bool headerSeen = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int number = 1; number <= lines.size(); ++number) {
        QString line = lines.at(number - 1);
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (!headerSeen) {
            headerSeen = true;
            if (line != header) {
                if (errors) {
                    errors->append(tr("line %1: the first line is not the columns' header \"%2\"")
                                       .arg(number)
                                       .arg(QString(header).replace(QLatin1Char('\t'), QLatin1Char(' '))));
                }
                return library;
            }
            continue;
        }
        const QStringList cells = line.split(QLatin1Char('\t'));
        const auto refuse = [&](const QString& why) {
            if (errors) {
                errors->append(tr("line %1: %2").arg(number).arg(why));
            }
        };
        if (cells.size() != columnCount) {
            refuse(tr("%1 columns instead of %2").arg(cells.size()).arg(columnCount));
            continue;
        }
        Entry entry;
        entry.name = cells.at(0).trimmed();
        for (const QString& pattern : cells.at(1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            entry.patterns.append(folded(pattern));
        }
        bool isNumber = false;
        entry.density = cells.at(2).trimmed().toDouble(&isNumber);
        entry.source = cells.at(3).trimmed();
        entry.wasteCode = cells.at(4).trimmed();
        if (entry.name.isEmpty()) {
            refuse(tr("no name"));
        } else if (!isNumber || entry.density < 0.0) {
            refuse(tr("the density \"%1\" is not a non-negative number").arg(cells.at(2)));
        } else if (!categoryFromKey(cells.at(5).trimmed(), &entry.category)) {
            refuse(tr("unknown category \"%1\"").arg(cells.at(5)));
        } else if (!outletFromKey(cells.at(6).trimmed(), &entry.outlet)) {
            refuse(tr("unknown outlet \"%1\"").arg(cells.at(6)));
        } else {
            library.m_entries.append(entry);
        }
    }
    return library;
}

QString MaterialLibrary::format(const QList<Entry>& entries)
{
    QStringList lines{header};
    for (const Entry& entry : entries) {
        lines.append(QStringList{entry.name, entry.patterns.join(QLatin1Char(';')),
                                 QString::number(entry.density, 'g', 10), entry.source, entry.wasteCode,
                                 categoryKey(entry.category), outletKey(entry.outlet)}
                         .join(QLatin1Char('\t')));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QList<MaterialLibrary::Entry> MaterialLibrary::userEntries(QSettings& store)
{
    QStringList errors;
    MaterialLibrary library = parse(store.value(QLatin1String(settingsArray)).toString(), &errors);
    for (Entry& entry : library.m_entries) {
        entry.user = true;
    }
    return library.m_entries;
}

void MaterialLibrary::saveUserEntries(QSettings& store, const QList<Entry>& entries)
{
    if (entries.isEmpty()) {
        store.remove(QLatin1String(settingsArray));
        return;
    }
    // One text as the shipped table writes it: readable and diffable in
    // the settings file too.
    store.setValue(QLatin1String(settingsArray), format(entries));
}

void MaterialLibrary::addUserEntries(const QList<Entry>& entries)
{
    for (Entry entry : entries) {
        entry.user = true;
        const QString name = folded(entry.name);
        bool replaced = false;
        for (Entry& existing : m_entries) {
            if (folded(existing.name) == name) {
                existing = entry;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            m_entries.append(entry);
        }
    }
}

const MaterialLibrary::Entry* MaterialLibrary::exactMatch(const QString& name, bool user) const
{
    for (const Entry& entry : m_entries) {
        if (entry.user == user && folded(entry.name) == name) {
            return &entry;
        }
    }
    return nullptr;
}

MaterialLibrary::Match MaterialLibrary::patternMatch(const QString& name, bool user) const
{
    Match best;
    int bestFixed = -1;
    for (const Entry& entry : m_entries) {
        if (entry.user != user) {
            continue;
        }
        for (const QString& pattern : entry.patterns) {
            const int fixed = fixedCharacters(pattern);
            if (fixed > bestFixed && wildcardMatches(pattern, name)) {
                best.how = Match::Pattern;
                best.entry = &entry;
                best.pattern = pattern;
                bestFixed = fixed;
            }
        }
    }
    return best;
}

MaterialLibrary::Match MaterialLibrary::match(const QString& materialName) const
{
    const QString name = folded(materialName);
    if (name.isEmpty()) {
        return {};
    }
    for (const bool user : {true, false}) {
        if (const Entry* entry = exactMatch(name, user)) {
            Match exact;
            exact.how = Match::ExactName;
            exact.entry = entry;
            return exact;
        }
    }
    for (const bool user : {true, false}) {
        if (Match byPattern = patternMatch(name, user)) {
            return byPattern;
        }
    }
    return {};
}

QString MaterialLibrary::categoryKey(Category category)
{
    switch (category) {
    case Category::Inert:
        return QStringLiteral("inert");
    case Category::NonHazardous:
        return QStringLiteral("non-hazardous");
    case Category::Hazardous:
        return QStringLiteral("hazardous");
    }
    return {};
}

QString MaterialLibrary::outletKey(Outlet outlet)
{
    switch (outlet) {
    case Outlet::Reuse:
        return QStringLiteral("reuse");
    case Outlet::Recycling:
        return QStringLiteral("recycling");
    case Outlet::EnergyRecovery:
        return QStringLiteral("energy-recovery");
    case Outlet::Disposal:
        return QStringLiteral("disposal");
    }
    return {};
}

bool MaterialLibrary::categoryFromKey(const QString& key, Category* category)
{
    for (const Category candidate : {Category::Inert, Category::NonHazardous, Category::Hazardous}) {
        if (key == categoryKey(candidate)) {
            *category = candidate;
            return true;
        }
    }
    return false;
}

bool MaterialLibrary::outletFromKey(const QString& key, Outlet* outlet)
{
    for (const Outlet candidate : {Outlet::Reuse, Outlet::Recycling, Outlet::EnergyRecovery, Outlet::Disposal}) {
        if (key == outletKey(candidate)) {
            *outlet = candidate;
            return true;
        }
    }
    return false;
}

QString MaterialLibrary::categoryText(Category category)
{
    switch (category) {
    case Category::Inert:
        return tr("Inert");
    case Category::NonHazardous:
        return tr("Non-hazardous");
    case Category::Hazardous:
        return tr("Hazardous");
    }
    return {};
}

QString MaterialLibrary::outletText(Outlet outlet)
{
    switch (outlet) {
    case Outlet::Reuse:
        return tr("Reuse");
    case Outlet::Recycling:
        return tr("Recycling");
    case Outlet::EnergyRecovery:
        return tr("Energy recovery");
    case Outlet::Disposal:
        return tr("Disposal");
    }
    return {};
}

} // namespace Orvane
