#include "platform/help/help_qt.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace help {

void QtHelpOpener::open(const std::string& url) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

}  // namespace help
