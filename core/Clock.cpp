#include "core/Clock.h"

#include <QDateTime>
#include <QLocale>

namespace korvane {

DateTime SystemClock::now() const {
    return std::chrono::system_clock::now();
}

std::string SystemClock::format(DateTime when) const {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch());
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(ms.count());
    return QLocale::system().toString(local, QLocale::ShortFormat).toStdString();
}

}  // namespace korvane
