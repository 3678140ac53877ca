#include "platform/help/help_qt.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace help {

bool QtHelpOpener::open(const std::string& url) { return QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); }

}  // namespace help
