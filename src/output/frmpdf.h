// The output window: PDF and workbook properties, the output names, and Finish, Back and Cancel.
#pragma once

#include "outputformats.h"
#include "outputnames.h"
#include "pdfwriter.h"
#include "runchartrecord.h"

#include <QPointer>
#include <QWidget>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvale {

class Platform;

class frmPDF final : public QWidget {
    Q_OBJECT

public:
    // The window deletes itself when it is unloaded. entryWindow is shown again by Back and unloaded by Cancel.
    // dataSheetPath is the system's bytes for the path, whatever their encoding.
    // record is what the entry window held when the user went on: the workbook charts its readings.
    frmPDF(Platform& platform, OutputFormats formats, RunChartRecord record, std::string dataSheetPath,
           QWidget* entryWindow, PdfWriter::Clock clock = PdfWriter::localTimestamp);

    // The common Save As dialog; Filter is "description|pattern|...". Returns the chosen full path, or
    // an empty text when the user cancels.
    QString SaveDialog(QWidget* Form1, const QString& Filter, const QString& Title, const QString& InitDir,
                       const QString& DefaultFilename);

    // The run took more readings while the window is open: Finish makes the outputs of this record.
    void setRecord(RunChartRecord record) { m_record = std::move(record); }
    // Says how many gauge readings arrived while the window is open: those Finish includes, and
    // those that came after Finish, which went into a new run.
    void showGaugeReadings(int included, int afterFinish);

signals:
    // The window was unloaded (closed for good): the data sheet is no longer needed.
    void unloaded();
    // Finish is about to make the named outputs: the run is done.
    void finishing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPdfFrame();
    void buildExcelFrame();
    void buildButtons();
    void setTabOrder();
    void placeTopmost();

    void finish();
    // Says which characters the PDF will show as "?"; false when the user goes back to the window.
    bool goOnWithoutCharacters();
    void convertPdf();
    void CreateExcel();
    // Hands a finished document to the desktop's viewer, or says that the desktop could not open it.
    void openFinished(const QString& path);
    void back();
    void cancel();
    void browse();
    // Asks before the derived names replace existing files; false when the user says No.
    bool confirmReplacing(const OutputNames& names, const QString& chosen);
    void unload();

    Platform& m_platform;
    const OutputFormats m_formats;
    RunChartRecord m_record;
    const std::string m_dataSheetPath; // txtFilename shows it as text, which need not keep every byte
    QPointer<QWidget> m_entryWindow;
    PdfWriter m_writer;
    bool m_unloading = false;

    QGroupBox* Frame1 = nullptr;
    QComboBox* cmbFont = nullptr;
    QComboBox* cmbFontSize = nullptr;
    QComboBox* cmbRotation = nullptr;
    QComboBox* cmbPageSize = nullptr;
    QLineEdit* txtAuthor = nullptr;
    QLineEdit* txtCreator = nullptr;
    QLineEdit* txtKeywords = nullptr;
    QLineEdit* txtSubject = nullptr;
    QLineEdit* txtTitle = nullptr;
    QLineEdit* txtFilename = nullptr;
    QLineEdit* txtOutputFile = nullptr;
    QPushButton* btnSave = nullptr;

    QGroupBox* Frame2 = nullptr;
    QLineEdit* txtXlsOutputFile = nullptr;
    QLineEdit* txtXlsTitle = nullptr;
    QLineEdit* txtXlsSubject = nullptr;
    QLineEdit* txtXlsAuthor = nullptr;
    QLineEdit* txtXlsKeywords = nullptr;
    QLineEdit* txtXlsComments = nullptr;

    QPushButton* cmdBack = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* btnConvert = nullptr;
    QLabel* lblGaugeReadings = nullptr;
};

} // namespace quorvale
