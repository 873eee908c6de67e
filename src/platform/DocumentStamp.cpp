#include "DocumentStamp.h"

#include <QCoreApplication>
#include <QTimeZone>
#include <cstdlib>

namespace sekora {

QDateTime DocumentTime() {
  bool given = false;
  const qint64 seconds = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&given);
  if (given && seconds >= 0) return QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc());
  return QDateTime::currentDateTime();
}

std::string ProgramName() {
  return "Sekora " + QCoreApplication::applicationVersion().toStdString();
}

ReportStamp HeaderStamp(const QDateTime& time) {
  const QDate date = time.date();
  return {ReportDateText(date.year(), date.month(), date.day()), ProgramName()};
}

PdfDocumentInfo DocumentInfo(const std::string& title, const QDateTime& time) {
  // A PDF date gives the offset from UTC as +hh'mm'.
  const int offset = time.offsetFromUtc() / 60;
  const QString zone = offset == 0 ? QStringLiteral("Z")
                                   : QStringLiteral("%1%2'%3'")
                                         .arg(offset < 0 ? '-' : '+')
                                         .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
                                         .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'));
  const std::string date =
      "D:" + time.toString(QStringLiteral("yyyyMMddHHmmss")).toStdString() + zone.toStdString();
  const std::string program = ProgramName();
  return {title, program, program, program + " (Qt " + qVersion() + ")", date, "ja"};
}

}  // namespace sekora
