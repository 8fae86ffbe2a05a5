#include "newrun.h"

#include <QLocale>

namespace quorvale {

RunChartRecord RecordDatedOn(RunChartRecord record, QDate day)
{
    const QString date = QLocale::c().toString(day, QStringLiteral("d MMM yyyy"));
    record.DateInspector = record.DateApprovedBy = date.toStdString();
    return record;
}

} // namespace quorvale
