#include "unshowncharacters.h"

#include "documentfonts.h"
#include "windows1252.h"

namespace quorvale {

UnshownCharacters unshownCharacters(const QStringList& texts, const std::string& fontname)
{
    DocumentFonts fonts(fontname);
    UnshownCharacters unshown;
    for (const QString& text : texts) {
        for (const char32_t character : text.toUcs4()) {
            if (character == U'?' || windows1252Byte(character) != '?' || fonts.shows(character))
                continue;
            const QString shown = QString::fromUcs4(&character, 1);
            if (!unshown.lacking.contains(shown))
                unshown.lacking << shown;
        }
    }
    for (const std::string& script : fonts.rightToLeftScripts())
        unshown.rightToLeft << QString::fromStdString(script);
    return unshown;
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
