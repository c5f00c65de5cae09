#include "ISettingsPage.h"

namespace Orvane {

ISettingsPage::ISettingsPage(QObject* parent) : QObject(parent) {}

ISettingsPage::~ISettingsPage() = default;

const QPixmap* ISettingsPage::getLogo() const
{
    return nullptr;
}

void ISettingsPage::accept()
{
    apply();
}

void ISettingsPage::reject() {}

} // namespace Orvane
