#pragma once

#include "DueSchedule.h"

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>

#include <functional>

class QPageLayout;
class QTextDocument;
class QWidget;

// The six header and footer texts of the due-list report, named after the
// template elements that show them.
struct DueReportValues
{
    QString memCaption;  // report title
    QString memAccount;  // open account book
    QString memDate;     // period text
    QString memCharge;   // income total as displayed
    QString memPayment;  // expense total as displayed
    QString memEndValue; // ending balance as displayed
};

// The report text: the template with the content of each value element
// replaced and its row template repeated once per row, in the order given.
// Every value is HTML-escaped; amounts are shown with "#,###.##" and dates in
// the locale's short format.
QString RenderDueReport(const QString &templateHtml, const DueReportValues &values, const QList<DueRow> &rows,
                        const QLocale &locale = QLocale());

// Holder of one due-list print: owns a copy of the rows, fills the template
// and shows the print preview. Never shown itself.
class TFrmReportForm : public QObject
{
    Q_OBJECT
public:
    // Receives the filled document instead of the preview dialog.
    using PreviewHook = std::function<void(QTextDocument &document, const QString &html)>;
    static void SetPreviewHook(PreviewHook hook);
    // Asks for the PDF file name in the preview; empty when cancelled. Replaceable for tests.
    using FileChooser = std::function<QString(QWidget *parent)>;
    static void SetPdfFileChooser(FileChooser chooser);

    // Prints the due rows (in the order to print) with the period and the three
    // totals as the window shows them; returns after the preview has closed.
    static void Print(QWidget *owner, const QList<DueRow> &rows, const QString &period, const QString &income,
                      const QString &expense, const QString &endingBalance);

    // ReportTitle of ini/app.ini, "Due List" when the file or key is missing.
    static QString ReportTitle();
    static QString TemplateFileName();
    // Writes the document as a PDF file laid out on the given page.
    static bool SavePdf(const QTextDocument &document, const QPageLayout &layout, const QString &fileName);

    explicit TFrmReportForm(QWidget *owner = nullptr);
    ~TFrmReportForm() override;

    // The rows handed over for this print.
    QList<DueRow> cds;

    // Loads the template, sets the six values and previews. False when the
    // template is missing, which has been reported to the user.
    bool ShowReport(const QString &period, const QString &income, const QString &expense,
                    const QString &endingBalance);

private:
    void preview(QTextDocument &document, const QString &html);

    QWidget *m_owner = nullptr;
};
