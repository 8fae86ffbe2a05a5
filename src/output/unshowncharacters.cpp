#include "unshowncharacters.h"

#include "windows1252.h"

namespace quorvale {

QStringList charactersOutsideWindows1252(const QStringList& texts)
{
    QStringList lacking;
    for (const QString& text : texts) {
        for (const char32_t character : text.toUcs4()) {
            if (character == U'?' || windows1252Byte(character) != '?')
                continue;
            const QString shown = QString::fromUcs4(&character, 1);
            if (!lacking.contains(shown))
                lacking << shown;
        }
    }
    return lacking;
}

QStringList recordTexts(const RunChartRecord& record)
{
    QStringList texts;
    for (const std::string* text :
         {&record.PartNumber, &record.CustomerName, &record.Description, &record.Inspector, &record.OperationNumber,
          &record.DateInspector, &record.DateApprovedBy, &record.ApprovedBy, &record.Department,
          &record.DrawingRevision, &record.RunChartRevision, &record.UpperTolerance, &record.LowerTolerance,
          &record.Frequency, &record.Check, &record.InspectionTool, &record.Sheet, &record.SheetOf, &record.Comments})
        texts << QString::fromStdString(*text);
    return texts;
}

} // namespace quorvale
