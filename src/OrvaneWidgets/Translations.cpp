#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Orvane {

namespace {

bool installCatalogue(QCoreApplication& application, const QLocale& locale, const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(&application);
    if (translator->load(locale, name, QStringLiteral("_"), folder)) {
        QCoreApplication::installTranslator(translator);
        return true;
    }
    delete translator;
    return false;
}

} // namespace

int installTranslations(QCoreApplication& application, const QLocale& locale)
{
    int installed = 0;
    installed += installCatalogue(application, locale, QStringLiteral("qtbase"),
                                  QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    const QString folder =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orvane/translations"));
    for (const QString& catalogue : {QStringLiteral("orvane"), QStringLiteral("material_quantities")}) {
        installed += installCatalogue(application, locale, catalogue, folder);
    }
    return installed;
}

} // namespace Orvane
