#include "TypeInputsColumns.h"

#include <algorithm>
#include <array>

namespace Orvane {

namespace {

struct Texts
{
    const char* english;
    /// As the French catalogue translates it: a workbook exported in French
    /// reads back under any language.
    const char* french;
};

const Texts sheetTexts = {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Type inputs"), "Données des types"};

const std::array<Texts, TypeInputsColumns::Count> headerTexts = {{
    {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "GlobalId"), "GlobalId"},
    {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Type"), "Type"},
    {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Entity"), "Entité"},
    {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Instances"), "Instances"},
    {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Functional unit"), "Unité fonctionnelle"},
    {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Mass per functional unit"), "Masse par unité fonctionnelle"},
    {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Reused"), "Réemployé"},
    {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Status"), "Statut"},
}};

const std::array<Texts, TypeInputsColumns::SuggestionCount> suggestionTexts = {{
    {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Suggested functional unit"), "Unité fonctionnelle suggérée"},
    {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Suggested mass per functional unit"),
     "Masse par unité fonctionnelle suggérée"},
    {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Suggestion sources"), "Origine des suggestions"},
}};

const Texts shareTexts = {QT_TRANSLATE_NOOP("Orvane::TypeInputsColumns", "Suggested share: %1"), "Part suggérée : %1"};

bool names(const Texts& texts, const QString& text)
{
    const QString wanted = text.trimmed();
    const auto same = [&](const QString& candidate) { return wanted.compare(candidate, Qt::CaseInsensitive) == 0; };
    return same(QString::fromUtf8(texts.english)) || same(QString::fromUtf8(texts.french)) ||
           same(TypeInputsColumns::tr(texts.english));
}

} // namespace

QString TypeInputsColumns::sheetName()
{
    return tr(sheetTexts.english);
}

bool TypeInputsColumns::isSheetName(const QString& name)
{
    return names(sheetTexts, name);
}

QString TypeInputsColumns::header(Column column)
{
    return tr(headerTexts.at(std::size_t(column)).english);
}

QString TypeInputsColumns::header(SuggestionColumn column)
{
    return tr(suggestionTexts.at(std::size_t(column)).english);
}

QString TypeInputsColumns::suggestedShareHeader(const QString& material)
{
    return tr(shareTexts.english).arg(material);
}

bool TypeInputsColumns::isSuggestionHeader(const QString& header)
{
    const bool named = std::any_of(suggestionTexts.cbegin(), suggestionTexts.cend(),
                                   [&](const Texts& texts) { return names(texts, header); });
    const QString trimmed = header.trimmed();
    const auto sharePrefix = [&](const QString& pattern) {
        return trimmed.startsWith(pattern.left(pattern.indexOf(QLatin1String("%1"))), Qt::CaseInsensitive);
    };
    return named || sharePrefix(QString::fromUtf8(shareTexts.english)) ||
           sharePrefix(QString::fromUtf8(shareTexts.french)) || sharePrefix(tr(shareTexts.english));
}

std::optional<TypeInputsColumns::Column> TypeInputsColumns::columnOf(const QString& header)
{
    for (int column = 0; column < Count; ++column) {
        if (names(headerTexts.at(std::size_t(column)), header)) {
            return Column(column);
        }
    }
    return std::nullopt;
}

bool TypeInputsColumns::isRequired(Column column)
{
    return column == GlobalId || column == FunctionalUnit || column == MassPerFunctionalUnit || column == Reused;
}

QString TypeInputsColumns::letters(int column)
{
    QString text;
    for (int rest = column; rest > 0; rest = (rest - 1) / 26) {
        text.prepend(QChar('A' + (rest - 1) % 26));
    }
    return text;
}

} // namespace Orvane
