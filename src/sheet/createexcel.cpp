#include "createexcel.h"

#include "fileexists.h"
#include "platform.h"
#include "runchartworkbook.h"

#include <QFile>


namespace quorvale {

namespace {

WorkbookResult replaceWorkbook(const std::string& path, const WorkbookProperties& properties)
{
    // A zero-byte file does not count as present; the save replaces it.
    if (const std::error_code error = DeleteIfExists(path))
        return {WorkbookResult::Status::Failed, "The older file could not be deleted: " + error.message()};
    return WriteRunChartWorkbook(path, properties);
}

} // namespace

void CreateExcel(Platform& platform, QWidget* owner, const QString& outputfile, const QString& TextTitle,
                 const QString& TextSubject, const QString& TextAuthor, const QString& TextKeywords,
                 const QString& TextComments)
{
    const WorkbookResult result =
        replaceWorkbook(QFile::encodeName(outputfile).toStdString(),
                        {TextTitle.toStdString(), TextSubject.toStdString(), TextAuthor.toStdString(),
                         TextKeywords.toStdString(), TextComments.toStdString()});

    if (!result.saved()) {
        platform.showMessage(owner, {QStringLiteral("Unable to Create Excel File."), QStringLiteral("Quorvale v1.0"),
                                     MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok});
        // Without a workbook at all the program ends; after a failed save the user may pick another name.
        if (result.status == WorkbookResult::Status::NotStarted)
            platform.endProgram();
        return;
    }

    const Message done{QStringLiteral("RunChart --- EXCEL --- file is done.\r\rDo you want to open the file?"),
                       QStringLiteral("Quorvale"), MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No};
    if (platform.showMessage(owner, done) == MessageAnswer::Yes) {
        platform.openDocument(outputfile);
        platform.endProgram();
    }
}

} // namespace quorvale
